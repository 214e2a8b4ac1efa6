// The check every outline must pass: strips one pixel wide, in column order
// and top to bottom, each a maximal run, together exactly the cell's inside
// pixels by the mask (mirrored when asked).
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "graphics/outline.h"
#include "graphics/sprites.h"

inline void expect_outline_matches_mask(const Sprites& sprites, const Outline* outline, int32_t image, int32_t mirrored)
{
    const int S = cell_side(sprites);
    int32_t x0 = image % sprites.mask_columns * S, y0 = image / sprites.mask_columns * S;
    bool any_inside = false;
    for (int y = 0; y < S && !any_inside; ++y)
        for (int x = 0; x < S && !any_inside; ++x)
            any_inside = mask_inside(sprites, x0 + x, y0 + y);
    if (!any_inside) {
        EXPECT_EQ(outline, nullptr) << "image " << image;
        return;
    }
    ASSERT_NE(outline, nullptr) << "image " << image;
    std::vector<std::vector<bool>> covered(size_t(S), std::vector<bool>(size_t(S), false));
    const OutlineRect* previous = nullptr;
    for (const OutlineRect& r : outline->rects) {
        ASSERT_EQ(r.right, r.left + 1);
        ASSERT_TRUE(r.left >= 0 && r.left < S && r.top >= 0 && r.top < r.bottom && r.bottom <= S);
        if (previous) {
            bool same_column = previous->left == r.left;
            bool next_column = mirrored ? r.left < previous->left : r.left > previous->left;
            ASSERT_TRUE(next_column || (same_column && r.top > previous->bottom)) << "image " << image << " order";
        }
        for (int y = r.top; y < r.bottom; ++y)
            covered[size_t(y)][size_t(r.left)] = true;
        previous = &r;
    }
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            int window_x = mirrored ? S - 1 - x : x;
            ASSERT_EQ(covered[size_t(y)][size_t(window_x)], mask_inside(sprites, x0 + x, y0 + y))
                << "image " << image << " mirrored " << mirrored << " cell pixel " << x << "," << y;
        }
}
