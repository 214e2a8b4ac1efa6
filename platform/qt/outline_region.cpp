// The pet window's outline as a Qt region, from its bands.
#include <array>

#include "graphics/outline_bands.h"
#include "platform/qt/qt_host.h"

QRegion outline_region(const Outline& outline, int32_t side)
{
    std::array<OutlineBand, MAX_OUTLINE_BANDS> bands;
    const int count = outline_bands(outline, bands.data(), side);
    std::array<QRect, MAX_OUTLINE_BANDS> rects;
    for (int i = 0; i < count; ++i)
        rects[i] = QRect(bands[i].x, bands[i].y, bands[i].width, bands[i].height);
    QRegion region;
    region.setRects(rects.data(), count);
    return region;
}

// A shape request from the bands costs about what copying a kept region
// would, so nothing is kept here.
void platform_keep_window_outlines(Window*, Outline* const*, Outline* const*, int32_t) {}
