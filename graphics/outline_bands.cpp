// Outlines come as vertical strips; regions want bands sorted top to bottom,
// left to right. Rasterising the window's square and reading it back row by
// row gives those bands in one pass, with no union per strip.
#include "graphics/outline_bands.h"

#include <algorithm>
#include <array>
#include <bit>

namespace {

constexpr int ROW_WORDS = (MAX_OUTLINE_SIDE + 63) / 64;
using BitRow = std::array<uint64_t, ROW_WORDS>;

// The first pixel at or after x whose bit is `inside`; MAX_OUTLINE_SIDE when none.
int next_pixel(const BitRow& row, int x, bool inside)
{
    while (x < MAX_OUTLINE_SIDE) {
        const uint64_t word = (inside ? row[x / 64] : ~row[x / 64]) >> (x % 64);
        if (word)
            return std::min(x + std::countr_zero(word), MAX_OUTLINE_SIDE);
        x = (x / 64 + 1) * 64;
    }
    return MAX_OUTLINE_SIDE;
}

}  // namespace

int outline_bands(const Outline& outline, OutlineBand* bands, int32_t side)
{
    side = std::clamp(side, 0, MAX_OUTLINE_SIDE);
    std::array<BitRow, MAX_OUTLINE_SIDE> rows{};
    for (const OutlineRect& r : outline.rects) {
        const int32_t left = std::max(r.left, 0), right = std::min(r.right, side);
        const int32_t top = std::max(r.top, 0), bottom = std::min(r.bottom, side);
        for (int32_t x = left; x < right;) {
            const int32_t stop = std::min(right, (x / 64 + 1) * 64);
            const uint64_t span = (stop - x == 64 ? ~0ull : ((1ull << (stop - x)) - 1)) << (x % 64);
            for (int32_t y = top; y < bottom; ++y)
                rows[y][x / 64] |= span;
            x = stop;
        }
    }
    int count = 0;
    for (int y = 0; y < side;) {
        int end = y + 1;
        while (end < side && rows[end] == rows[y])
            ++end;
        for (int start = next_pixel(rows[y], 0, true); start < MAX_OUTLINE_SIDE;) {
            const int stop = next_pixel(rows[y], start, false);
            bands[count++] = OutlineBand{static_cast<int16_t>(start), static_cast<int16_t>(y),
                                         static_cast<uint16_t>(stop - start), static_cast<uint16_t>(end - y)};
            start = next_pixel(rows[y], stop, true);
        }
        y = end;
    }
    return count;
}
