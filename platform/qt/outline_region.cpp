// Outlines come as vertical one-pixel strips; QRegion::setRects wants bands
// sorted top to bottom, left to right. Rasterising the 42 x 42 cell and
// reading it back row by row gives those bands in one pass, with no union
// per strip.
#include <array>
#include <bit>

#include "engine/shared.h"
#include "platform/qt/qt_host.h"

static_assert(SPRITE_SIZE <= 64, "one row of the cell is one 64-bit word");

QRegion outline_region(const Outline& outline) {
    std::array<uint64_t, SPRITE_SIZE> rows{};
    for (const OutlineRect& r : outline.rects) {
        const int32_t left = std::max(r.left, 0), right = std::min(r.right, SPRITE_SIZE);
        const int32_t top = std::max(r.top, 0), bottom = std::min(r.bottom, SPRITE_SIZE);
        if (left >= right) continue;
        const uint64_t span = (right - left == 64 ? ~0ull : ((1ull << (right - left)) - 1)) << left;
        for (int32_t y = top; y < bottom; ++y) rows[y] |= span;
    }
    // At most one span per two pixels of a row, in at most SPRITE_SIZE bands.
    std::array<QRect, SPRITE_SIZE*(SPRITE_SIZE / 2 + 1)> bands;
    int count = 0;
    for (int y = 0; y < SPRITE_SIZE;) {
        int end = y + 1;
        while (end < SPRITE_SIZE && rows[end] == rows[y]) ++end;
        uint64_t bits = rows[y];
        while (bits) {
            const int start = std::countr_zero(bits);
            const int width = std::countr_one(bits >> start);
            bands[count++] = QRect(start, y, width, end - y);
            bits &= width == 64 ? 0 : ~(((1ull << width) - 1) << start);
        }
        y = end;
    }
    QRegion region;
    region.setRects(bands.data(), count);
    return region;
}
