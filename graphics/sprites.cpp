// The sprite sheet's cells, the two per-frame drawing rules and the mask's
// bits. The per-frame rules are straight loops over one 42 x 42 cell.
#include "graphics/sprites.h"

#include <cstring>

#include "graphics/bmp.h"
#include "graphics/zoom.h"

int sheet_attach(Sprites& sprites, int32_t width, int32_t height, const uint32_t* pixels, int32_t image_count)
{
    bool usable = width > 0 && height > 0 && pixels;
    sprites.sprite_sheet = {usable ? width : 0, usable ? height : 0, usable ? pixels : nullptr};
    sprites.sheet_columns = sprites.sprite_sheet.width / SPRITE_SIZE;
    sprites.sheet_rows = sprites.sprite_sheet.height / SPRITE_SIZE;
    return usable && int64_t(sprites.sheet_columns) * sprites.sheet_rows >= image_count ? 1 : 0;
}

void copy_cell(const Sprites& sprites, uint32_t* target, int32_t image, int32_t mirrored)
{
    // A refused or missing sheet has no cells; leave the target as it is.
    if (image < 0 || int64_t(image) >= int64_t(sprites.sheet_columns) * sprites.sheet_rows)
        return;
    int32_t row = image / sprites.sheet_columns;
    int32_t col = image % sprites.sheet_columns;
    const uint32_t* source = sprites.sprite_sheet.pixels +
                             size_t(row) * SPRITE_SIZE * size_t(sprites.sprite_sheet.width) + size_t(col) * SPRITE_SIZE;
    for (int y = 0; y < SPRITE_SIZE; ++y, source += sprites.sprite_sheet.width, target += SPRITE_SIZE) {
        if (mirrored) {
            for (int x = 0; x < SPRITE_SIZE; ++x)
                target[x] = source[SPRITE_SIZE - 1 - x];
        } else {
            std::memcpy(target, source, SPRITE_SIZE * sizeof *target);
        }
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
