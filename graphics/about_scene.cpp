// The About scene's layout and drawing rules. Every draw is clipped to its
// target, so an image of an unexpected size can only look wrong, never write
// outside the buffer.
#include "graphics/about_scene.h"

#include <algorithm>
#include <cstring>

void about_scene_position(int32_t client_width, int32_t client_height, int32_t* scene_x, int32_t* scene_y)
{
    *scene_x = int32_t(int64_t{SCENE_LEFT} * client_width / LAYOUT_WIDTH);
    *scene_y = int32_t(int64_t{SCENE_TOP} * client_height / LAYOUT_HEIGHT);
}

void about_title_position(int32_t client_width, int32_t client_height, int32_t title_width, int32_t* title_x,
                          int32_t* title_y)
{
    *title_x = title_width <= client_width ? int32_t((int64_t{client_width} - title_width) / 2) : 0;
    *title_y = int32_t(int64_t{client_height} * TITLE_TOP / LAYOUT_HEIGHT);
}

int32_t next_scroll_offset(int32_t scroll_offset)
{
    // Set, not wrapped by adding: the offset always lands back on 8.
    int32_t next = scroll_offset - SCROLL_STEP;
    return next < 0 ? TILE_SPACING - SCROLL_STEP : next;
}

namespace {

// The part of a w x h source placed at (x, y) that lies on a dw x dh target.
struct Clip {
    int32_t src_x, src_y, dst_x, dst_y, width, height;
};

bool clip(int32_t dw, int32_t dh, int32_t x, int32_t y, int32_t w, int32_t h, Clip* c)
{
    int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    int64_t right = std::min<int64_t>(int64_t{x} + w, dw), bottom = std::min<int64_t>(int64_t{y} + h, dh);
    if (left >= right || top >= bottom)
        return false;
    *c = {int32_t(left - x), int32_t(top - y),      int32_t(left),
          int32_t(top),      int32_t(right - left), int32_t(bottom - top)};
    return true;
}

}  // namespace

void draw_tile_columns(uint32_t* scene, int32_t scene_width, int32_t scene_height, const uint32_t* tile,
                       int32_t tile_width, int32_t tile_height, int32_t scroll_offset)
{
    for (int64_t y = int64_t{scroll_offset} - TILE_SPACING; y < scene_height; y += TILE_SPACING) {
        for (int32_t x : {LEFT_COLUMN_X, RIGHT_COLUMN_X}) {
            Clip c;
            if (!clip(scene_width, scene_height, x, int32_t(y), tile_width, tile_height, &c))
                continue;
            for (int32_t row = 0; row < c.height; ++row)
                std::memcpy(scene + size_t(c.dst_y + row) * size_t(scene_width) + size_t(c.dst_x),
                            tile + size_t(c.src_y + row) * size_t(tile_width) + size_t(c.src_x),
                            size_t(c.width) * sizeof *scene);
        }
    }
}

void lay_keyed(uint32_t* dst, int32_t dst_width, int32_t dst_height, int32_t x, int32_t y, const uint32_t* src,
               int32_t width, int32_t height, uint32_t key)
{
    Clip c;
    if (!clip(dst_width, dst_height, x, y, width, height, &c))
        return;
    key &= 0xFFFFFF;  // the top byte is not colour
    for (int32_t row = 0; row < c.height; ++row) {
        uint32_t* target = dst + size_t(c.dst_y + row) * size_t(dst_width) + size_t(c.dst_x);
        const uint32_t* source = src + size_t(c.src_y + row) * size_t(width) + size_t(c.src_x);
        for (int32_t i = 0; i < c.width; ++i)
            if ((source[i] & 0xFFFFFF) != key)
                target[i] = source[i];
    }
}
