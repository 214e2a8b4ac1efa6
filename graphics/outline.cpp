// Outlines from the mask's bits. The cell is read a byte at a time and turned
// into one word per column, whose runs of inside pixels then come out of a
// few bit operations each.
#include "graphics/outline.h"

#include <bit>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "graphics/sprites.h"

// Cells up to this side are read a word a row; larger ones a pixel at a time.
constexpr int WORD_CELL_LIMIT = 57;
static_assert(SPRITE_SIZE <= WORD_CELL_LIMIT,
              "a cell row, at any bit offset within its first byte, must fit a 64-bit word");

namespace {

// The `side` bits of the cell row starting at pixel x0 of sheet row y
// (y from the top), the leftmost pixel in the highest bit, 1 meaning inside.
uint64_t cell_row(const Sprites& sprites, int32_t x0, int32_t y, int32_t side)
{
    const uint64_t row_bits = (uint64_t{1} << side) - 1;
    const uint8_t* line = sprites.mask_bits + size_t(sprites.mask_height - 1 - y) * size_t(sprites.mask_stride);
    int32_t first = x0 / 8, last = (x0 + side - 1) / 8;
    uint64_t word = 0;
    for (int32_t i = first; i <= last; ++i)
        word = word << 8 | line[i];
    int32_t spare = (last - first + 1) * 8 - (x0 % 8) - side;
    word = word >> spare & row_bits;
    return sprites.mask_inverted ? ~word & row_bits : word;
}

// The cell's runs, column by column, for a side of at most WORD_CELL_LIMIT.
void word_runs(const Sprites& sprites, int32_t x0, int32_t y0, int32_t side, int32_t mirrored,
               std::vector<OutlineRect>& rects)
{
    // columns[i] bit j: pixel (i, j) of the cell is inside.
    uint64_t columns[WORD_CELL_LIMIT] = {};
    for (int j = 0; j < side; ++j) {
        uint64_t row = cell_row(sprites, x0, y0 + j, side);
        for (int i = 0; i < side; ++i)
            columns[i] |= (row >> (side - 1 - i) & 1) << j;
    }
    size_t runs = 0;
    for (int i = 0; i < side; ++i)
        runs += size_t(std::popcount(columns[i] & ~(columns[i] << 1)));
    rects.reserve(runs);
    for (int i = 0; i < side; ++i) {
        int32_t left = mirrored ? side - 1 - i : i;
        uint64_t column = columns[i];
        while (column) {
            int top = std::countr_zero(column);
            int bottom = top + std::countr_one(column >> top);
            rects.push_back({left, top, left + 1, bottom});
            column &= ~uint64_t{0} << bottom;
        }
    }
}

// The same runs for any side, a pixel at a time.
void pixel_runs(const Sprites& sprites, int32_t x0, int32_t y0, int32_t side, int32_t mirrored,
                std::vector<OutlineRect>& rects)
{
    for (int32_t i = 0; i < side; ++i) {
        const int32_t left = mirrored ? side - 1 - i : i;
        int32_t top = -1;
        for (int32_t j = 0; j <= side; ++j) {
            const bool inside = j < side && mask_inside(sprites, x0 + i, y0 + j);
            if (inside && top < 0)
                top = j;
            if (!inside && top >= 0) {
                rects.push_back({left, top, left + 1, j});
                top = -1;
            }
        }
    }
}

}  // namespace

Outline* build_outline(const Sprites& sprites, int32_t image, int32_t mirrored)
{
    const int32_t side = cell_side(sprites);
    // Only cells wholly inside the mask are read; anything else has no pixels.
    if (!sprites.mask_bits || sprites.mask_columns <= 0 || image < 0 ||
        int64_t(image) >= int64_t(sprites.mask_columns) * sprites.mask_rows ||
        sprites.mask_width < sprites.mask_columns * side || sprites.mask_height < sprites.mask_rows * side ||
        sprites.mask_stride < mask_stride_for(sprites.mask_width))
        return nullptr;
    const int32_t x0 = image % sprites.mask_columns * side;
    const int32_t y0 = image / sprites.mask_columns * side;
    std::vector<OutlineRect> rects;
    if (side <= WORD_CELL_LIMIT)
        word_runs(sprites, x0, y0, side, mirrored, rects);
    else
        pixel_runs(sprites, x0, y0, side, mirrored, rects);
    if (rects.empty())
        return nullptr;
    Outline* outline = new (std::nothrow) Outline;
    if (!outline)
        return nullptr;
    outline->rects = std::move(rects);
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
