// Outlines from the mask's bits. The cell is read a byte at a time and turned
// into one word per column, whose runs of inside pixels then come out of a
// few bit operations each.
#include "graphics/outline.h"

#include <bit>
#include <cstddef>
#include <new>

#include "graphics/sprites.h"

static_assert(SPRITE_SIZE <= 57, "a cell row, at any bit offset within its first byte, must fit a 64-bit word");

namespace {

constexpr uint64_t CELL_ROW_BITS = (uint64_t{1} << SPRITE_SIZE) - 1;

// The SPRITE_SIZE bits of the cell row starting at pixel x0 of sheet row y
// (y from the top), the leftmost pixel in the highest bit, 1 meaning inside.
uint64_t cell_row(const Sprites& sprites, int32_t x0, int32_t y)
{
    const uint8_t* line = sprites.mask_bits + size_t(sprites.mask_height - 1 - y) * size_t(sprites.mask_stride);
    int32_t first = x0 / 8, last = (x0 + SPRITE_SIZE - 1) / 8;
    uint64_t word = 0;
    for (int32_t i = first; i <= last; ++i)
        word = word << 8 | line[i];
    int32_t spare = (last - first + 1) * 8 - (x0 % 8) - SPRITE_SIZE;
    word = word >> spare & CELL_ROW_BITS;
    return sprites.mask_inverted ? ~word & CELL_ROW_BITS : word;
}

}  // namespace

Outline* build_outline(const Sprites& sprites, int32_t image, int32_t mirrored)
{
    // Only cells wholly inside the mask are read; anything else has no pixels.
    if (!sprites.mask_bits || sprites.mask_columns <= 0 || image < 0 ||
        int64_t(image) >= int64_t(sprites.mask_columns) * sprites.mask_rows ||
        sprites.mask_width < sprites.mask_columns * SPRITE_SIZE ||
        sprites.mask_height < sprites.mask_rows * SPRITE_SIZE ||
        sprites.mask_stride < mask_stride_for(sprites.mask_width))
        return nullptr;
    int32_t x0 = image % sprites.mask_columns * SPRITE_SIZE;
    int32_t y0 = image / sprites.mask_columns * SPRITE_SIZE;

    // columns[i] bit j: pixel (i, j) of the cell is inside.
    uint64_t columns[SPRITE_SIZE] = {};
    for (int j = 0; j < SPRITE_SIZE; ++j) {
        uint64_t row = cell_row(sprites, x0, y0 + j);
        for (int i = 0; i < SPRITE_SIZE; ++i)
            columns[i] |= (row >> (SPRITE_SIZE - 1 - i) & 1) << j;
    }

    size_t runs = 0;
    for (uint64_t column : columns)
        runs += size_t(std::popcount(column & ~(column << 1)));
    if (runs == 0)
        return nullptr;

    Outline* outline = new (std::nothrow) Outline;
    if (!outline)
        return nullptr;
    outline->rects.reserve(runs);
    for (int i = 0; i < SPRITE_SIZE; ++i) {
        int32_t left = mirrored ? SPRITE_SIZE - 1 - i : i;
        uint64_t column = columns[i];
        while (column) {
            int top = std::countr_zero(column);
            int bottom = top + std::countr_one(column >> top);
            outline->rects.push_back({left, top, left + 1, bottom});
            column &= ~uint64_t{0} << bottom;
        }
    }
    return outline;
}

void fill_outline_tables(const Sprites& sprites, Outline** plain, Outline** mirrored, int32_t image_count)
{
    for (int32_t i = 0; i < image_count; ++i)
        plain[i] = build_outline(sprites, i, 0);
    for (int32_t i = 0; i < image_count; ++i)
        mirrored[i] = build_outline(sprites, i, 1);
}

void free_outline_table(Outline** table, int32_t image_count)
{
    for (int32_t i = 0; i < image_count; ++i) {
        delete table[i];
        table[i] = nullptr;
    }
}
