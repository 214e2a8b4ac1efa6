// The sprite sheet's cells, the two per-frame drawing rules and the mask's
// bits. The per-frame rules are straight loops over one cell.
#include "graphics/sprites.h"

#include <cstring>

#include "graphics/bmp.h"
#include "graphics/zoom.h"

int sheet_attach(Sprites& sprites, int32_t width, int32_t height, const uint32_t* pixels, int32_t image_count)
{
    bool usable = width > 0 && height > 0 && pixels;
    sprites.sprite_sheet = {usable ? width : 0, usable ? height : 0, usable ? pixels : nullptr};
    sprites.sheet_columns = sprites.sprite_sheet.width / cell_side(sprites);
    sprites.sheet_rows = sprites.sprite_sheet.height / cell_side(sprites);
    return usable && int64_t(sprites.sheet_columns) * sprites.sheet_rows >= image_count ? 1 : 0;
}

void copy_cell(const Sprites& sprites, uint32_t* target, int32_t image, int32_t mirrored)
{
    // A refused or missing sheet has no cells; leave the target as it is.
    if (image < 0 || int64_t(image) >= int64_t(sprites.sheet_columns) * sprites.sheet_rows)
        return;
    const int32_t side = cell_side(sprites);
    int32_t row = image / sprites.sheet_columns;
    int32_t col = image % sprites.sheet_columns;
    const uint32_t* source = sprites.sprite_sheet.pixels +
                             size_t(row) * size_t(side) * size_t(sprites.sprite_sheet.width) +
                             size_t(col) * size_t(side);
    for (int y = 0; y < side; ++y, source += sprites.sprite_sheet.width, target += side) {
        if (mirrored) {
            for (int x = 0; x < side; ++x)
                target[x] = source[side - 1 - x];
        } else {
            std::memcpy(target, source, size_t(side) * sizeof *target);
        }
    }
}

void copy_cell_fitted(const Sprites& sprites, uint32_t* target, int32_t side, int32_t image, int32_t mirrored)
{
    const int32_t cell = cell_side(sprites);
    if (cell == side) {
        copy_cell(sprites, target, image, mirrored);
        return;
    }
    if (image < 0 || int64_t(image) >= int64_t(sprites.sheet_columns) * sprites.sheet_rows)
        return;
    const int32_t left = image % sprites.sheet_columns * cell, top = image / sprites.sheet_columns * cell;
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x) {
            const int32_t sx = int32_t(int64_t{mirrored ? side - 1 - x : x} * cell / side);
            const int32_t sy = int32_t(int64_t{y} * cell / side);
            target[size_t(y) * size_t(side) + size_t(x)] =
                sprites.sprite_sheet.pixels[size_t(top + sy) * size_t(sprites.sprite_sheet.width) + size_t(left + sx)];
        }
}

void key_composite(uint32_t* frame, const uint32_t* backdrop, const uint32_t* cell)
{
    key_composite_pixels(frame, backdrop, cell, CELL_PIXELS);
}

int32_t mask_stride_for(int32_t width)
{
    return width > 0 ? ((width + 7) / 8 + 3) / 4 * 4 : 0;
}

void fetch_mask_bits(Sprites& sprites, const Bitmap& mask)
{
    if (!sprites.mask_bits || mask.bits_per_pixel != 1 || mask.width != sprites.mask_width ||
        mask.height != sprites.mask_height || sprites.mask_stride < mask_stride_for(sprites.mask_width) ||
        mask.indices.size() != size_t(mask.width) * size_t(mask.height)) {
        sprites.mask_inverted = 0;
        return;
    }
    for (int32_t y = 0; y < sprites.mask_height; ++y) {
        uint8_t* row = sprites.mask_bits + size_t(sprites.mask_height - 1 - y) * size_t(sprites.mask_stride);
        const uint8_t* index = &mask.indices[size_t(y) * size_t(sprites.mask_width)];
        for (int32_t x = 0; x < sprites.mask_width; ++x)
            if (index[x])
                row[x / 8] |= uint8_t(0x80 >> (x % 8));
    }
    sprites.mask_inverted = !mask.palette.empty() && (mask.palette[0] & 0xFFFFFF) != 0 ? 1 : 0;
}

bool mask_inside(const Sprites& sprites, int32_t x, int32_t y)
{
    if (!sprites.mask_bits || x < 0 || y < 0 || x >= sprites.mask_width || y >= sprites.mask_height)
        return false;
    uint8_t byte = sprites.mask_bits[size_t(sprites.mask_height - 1 - y) * size_t(sprites.mask_stride) + size_t(x / 8)];
    return ((byte >> (7 - x % 8)) & 1) != (sprites.mask_inverted ? 1u : 0u);
}
