// Outlines come as vertical one-pixel strips; regions want bands sorted top
// to bottom, left to right. Rasterising the 42 x 42 cell and reading it back
// row by row gives those bands in one pass, with no union per strip.
#include <array>
#include <bit>

#include "platform/qt/outline_bands.h"
#include "platform/qt/qt_host.h"

static_assert(SPRITE_SIZE <= 64, "one row of the cell is one 64-bit word");

int outline_bands(const Outline& outline, OutlineBand* bands) {
    std::array<uint64_t, SPRITE_SIZE> rows{};
    for (const OutlineRect& r : outline.rects) {
        const int32_t left = std::max(r.left, 0), right = std::min(r.right, SPRITE_SIZE);
        const int32_t top = std::max(r.top, 0), bottom = std::min(r.bottom, SPRITE_SIZE);
        if (left >= right) continue;
        const uint64_t span = (right - left == 64 ? ~0ull : ((1ull << (right - left)) - 1)) << left;
        for (int32_t y = top; y < bottom; ++y) rows[y] |= span;
    }
    int count = 0;
    for (int y = 0; y < SPRITE_SIZE;) {
        int end = y + 1;
        while (end < SPRITE_SIZE && rows[end] == rows[y]) ++end;
        uint64_t bits = rows[y];
        while (bits) {
            const int start = std::countr_zero(bits);
            const int width = std::countr_one(bits >> start);
            bands[count++] = OutlineBand{static_cast<int16_t>(start), static_cast<int16_t>(y),
                                         static_cast<uint16_t>(width), static_cast<uint16_t>(end - y)};
            bits &= width == 64 ? 0 : ~(((1ull << width) - 1) << start);
        }
        y = end;
    }
    return count;
}

QRegion outline_region(const Outline& outline) {
    std::array<OutlineBand, MAX_OUTLINE_BANDS> bands;
    const int count = outline_bands(outline, bands.data());
    std::array<QRect, MAX_OUTLINE_BANDS> rects;
    for (int i = 0; i < count; ++i) rects[i] = QRect(bands[i].x, bands[i].y, bands[i].width, bands[i].height);
    QRegion region;
    region.setRects(rects.data(), count);
    return region;
}

// A shape request from the bands costs about what copying a kept region
// would, so nothing is kept here.
void platform_keep_window_outlines(Window*, Outline* const*, Outline* const*, int32_t) {}
