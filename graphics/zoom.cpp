// Nearest-neighbour scaling and the conversions between screen and pet pixels.
#include "graphics/zoom.h"

#include <cstring>

#include "graphics/outline.h"
#include "graphics/sprites.h"

int32_t zoom_for_dpi(int32_t dpi)
{
    if (dpi < DPI_PER_ZOOM + DPI_PER_ZOOM / 2)
        return 1;  // also nonsense: zero or below
    if (dpi >= MAX_ZOOM * DPI_PER_ZOOM - DPI_PER_ZOOM / 2)
        return MAX_ZOOM;
    return (dpi + DPI_PER_ZOOM / 2) / DPI_PER_ZOOM;
}

int32_t zoom_choose(int32_t key, int32_t dpi)
{
    return key >= 1 && key <= MAX_ZOOM ? key : zoom_for_dpi(dpi);
}

int32_t zoom_for_cell(int32_t zoom, int32_t side)
{
    while (zoom > 1 && int64_t{side} * zoom > MAX_WINDOW_SIDE)
        --zoom;
    return zoom < 1 ? 1 : zoom;
}

int32_t screen_to_pet(int32_t screen_pixels, int32_t z)
{
    int32_t quotient = screen_pixels / z;
    return quotient * z > screen_pixels ? quotient - 1 : quotient;
}

int32_t margin_to_pet(int32_t screen_pixels, int32_t z)
{
    // 64-bit: a margin near the top of the int32 range must not wrap.
    return int32_t((int64_t{screen_pixels} + z - 1) / z);
}

int32_t pet_to_screen(int32_t pet_pixels, int32_t z)
{
    return pet_pixels * z;
}

namespace {

// Writes one source row z times wider, then repeats it for the block's other rows.
void zoom_row(uint32_t* target, const uint32_t* source, int32_t width, int32_t z, bool mirrored)
{
    uint32_t* out = target;
    for (int32_t x = 0; x < width; ++x) {
        const uint32_t pixel = source[mirrored ? width - 1 - x : x];
        for (int32_t k = 0; k < z; ++k)
            *out++ = pixel;
    }
    const size_t row_pixels = size_t(width) * size_t(z);
    for (int32_t k = 1; k < z; ++k)
        std::memcpy(target + row_pixels * size_t(k), target, row_pixels * sizeof *target);
}

}  // namespace

void zoom_pixels(uint32_t* target, const uint32_t* source, int32_t width, int32_t height, int32_t z)
{
    if (z == 1) {
        std::memcpy(target, source, size_t(width) * size_t(height) * sizeof *target);
        return;
    }
    const size_t block = size_t(width) * size_t(z) * size_t(z);
    for (int32_t y = 0; y < height; ++y)
        zoom_row(target + block * size_t(y), source + size_t(width) * size_t(y), width, z, false);
}

void copy_cell_zoomed(const Sprites& sprites, uint32_t* target, int32_t image, int32_t mirrored, int32_t z)
{
    if (z == 1) {
        copy_cell(sprites, target, image, mirrored);
        return;
    }
    const Sprites& s = sprites;
    if (image < 0 || int64_t(image) >= int64_t(s.sheet_columns) * s.sheet_rows)
        return;
    const int32_t side = cell_side(s);
    const uint32_t* source = s.sprite_sheet.pixels +
                             size_t(image / s.sheet_columns) * size_t(side) * size_t(s.sprite_sheet.width) +
                             size_t(image % s.sheet_columns) * size_t(side);
    const size_t block = size_t(side) * size_t(z) * size_t(z);
    for (int y = 0; y < side; ++y, source += s.sprite_sheet.width)
        zoom_row(target + block * size_t(y), source, side, z, mirrored != 0);
}

void key_composite_pixels(uint32_t* frame, const uint32_t* backdrop, const uint32_t* cell, int32_t count)
{
    // The top byte is not colour (some toolkits keep it set), so it never
    // decides transparency.
    for (int32_t p = 0; p < count; ++p)
        frame[p] = (cell[p] & 0xFFFFFF) == KEY_COLOUR ? backdrop[p] : cell[p];
}

void zoom_outline(Outline* outline, int32_t z)
{
    if (!outline || z == 1)
        return;
    for (OutlineRect& r : outline->rects)
        r = {r.left * z, r.top * z, r.right * z, r.bottom * z};
}
