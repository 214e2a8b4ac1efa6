// Where the old and new window rectangles overlap, the fresh capture shows
// the pet window itself; the old backdrop still knows what lies beneath.
#include "graphics/backdrop.h"

#include <algorithm>
#include <cstring>

#include "engine/shared.h"

void patch_backdrop(uint32_t* backdrop, const uint32_t* old_backdrop, int32_t old_x, int32_t old_y, int32_t new_x,
                    int32_t new_y)
{
    patch_backdrop_block(backdrop, old_backdrop, old_x, old_y, new_x, new_y, SPRITE_SIZE);
}

void patch_backdrop_block(uint32_t* backdrop, const uint32_t* old_backdrop, int32_t old_x, int32_t old_y, int32_t new_x,
                          int32_t new_y, int32_t side)
{
    // 64-bit so that positions near the ends of the int32 range cannot wrap
    // into a false overlap.
    int64_t ix = std::max<int64_t>(old_x, new_x), iy = std::max<int64_t>(old_y, new_y);
    int64_t width = std::min<int64_t>(old_x, new_x) + side - ix;
    int64_t height = std::min<int64_t>(old_y, new_y) + side - iy;
    if (width <= 0 || height <= 0)
        return;
    const uint32_t* source = old_backdrop + (iy - old_y) * side + (ix - old_x);
    uint32_t* target = backdrop + (iy - new_y) * side + (ix - new_x);
    for (int64_t row = 0; row < height; ++row)
        std::memcpy(target + row * side, source + row * side, size_t(width) * sizeof *target);
}
