// The backdrop patch against a model screen: after a move, every pixel of the
// new backdrop must show what lies under the window, whether it came from the
// fresh capture or from the old backdrop.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/backdrop.h"
#include "graphics/sprites.h"

namespace {

constexpr int S = SPRITE_SIZE;
constexpr uint32_t WINDOW_PIXEL = 0xFF00FF;  // what a capture shows where the window stands

uint32_t desktop(int32_t x, int32_t y)
{
    return uint32_t(x & 0xFFF) << 12 | uint32_t(y & 0xFFF);
}

// The backdrop at (x, y) as captured while the window stands at (wx, wy).
std::vector<uint32_t> capture(int32_t x, int32_t y, int32_t wx, int32_t wy)
{
    std::vector<uint32_t> out(CELL_PIXELS);
    for (int32_t j = 0; j < S; ++j)
        for (int32_t i = 0; i < S; ++i) {
            bool under_window = x + i >= wx && x + i < wx + S && y + j >= wy && y + j < wy + S;
            out[size_t(j * S + i)] = under_window ? WINDOW_PIXEL : desktop(x + i, y + j);
        }
    return out;
}

std::vector<uint32_t> move(int32_t old_x, int32_t old_y, int32_t new_x, int32_t new_y)
{
    std::vector<uint32_t> old_backdrop = capture(old_x, old_y, -1000, -1000);  // true desktop
    std::vector<uint32_t> backdrop = capture(new_x, new_y, old_x, old_y);
    patch_backdrop(backdrop.data(), old_backdrop.data(), old_x, old_y, new_x, new_y);
    return backdrop;
}

TEST(PatchBackdrop, EveryPixelShowsTheDesktopAfterAnyMove)
{
    const int32_t steps[] = {-43, -42, -41, -30, -10, -1, 0, 1, 5, 10, 41, 42, 43, 100};
    for (int32_t dx : steps)
        for (int32_t dy : steps) {
            std::vector<uint32_t> backdrop = move(500, 300, 500 + dx, 300 + dy);
            EXPECT_EQ(backdrop, capture(500 + dx, 300 + dy, -1000, -1000)) << dx << "," << dy;
        }
}

// Which pixels the patch wrote (1) and which it left as captured (0).
std::vector<int> patched_area(int32_t dx, int32_t dy)
{
    std::vector<uint32_t> old_backdrop(CELL_PIXELS, 1), backdrop(CELL_PIXELS, 0);
    patch_backdrop(backdrop.data(), old_backdrop.data(), 100, 100, 100 + dx, 100 + dy);
    return std::vector<int>(backdrop.begin(), backdrop.end());
}

int count(const std::vector<int>& area)
{
    int n = 0;
    for (int v : area)
        n += v;
    return n;
}

TEST(PatchBackdrop, TheCasesByDirection)
{
    // Right 10, down 5: the old block at (10, 5), 32 x 37, lands at (0, 0);
    // the right 10 columns and bottom 5 rows stay as captured.
    std::vector<uint32_t> old_backdrop(CELL_PIXELS), backdrop(CELL_PIXELS, 0);
    for (int p = 0; p < CELL_PIXELS; ++p)
        old_backdrop[size_t(p)] = uint32_t(p) + 1;
    patch_backdrop(backdrop.data(), old_backdrop.data(), 100, 100, 110, 105);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            uint32_t expected = x < 32 && y < 37 ? old_backdrop[size_t((y + 5) * S + x + 10)] : 0;
            ASSERT_EQ(backdrop[size_t(y * S + x)], expected) << x << "," << y;
        }

    EXPECT_EQ(count(patched_area(42, 0)), 0);
    EXPECT_EQ(count(patched_area(0, -42)), 0);
    EXPECT_EQ(count(patched_area(-50, 3)), 0);
    EXPECT_EQ(count(patched_area(41, 0)), S);  // a strip one pixel wide
    EXPECT_EQ(patched_area(41, 0)[0], 1);
    EXPECT_EQ(count(patched_area(0, -41)), S);  // one pixel high, at the bottom
    EXPECT_EQ(patched_area(0, -41)[size_t(41 * S)], 1);
    EXPECT_EQ(count(patched_area(0, 7)), S * 35);   // purely vertical: full width
    EXPECT_EQ(count(patched_area(-7, 0)), S * 35);  // purely horizontal: full height
    EXPECT_EQ(patched_area(-7, 0)[size_t(S - 1)], 1);
    EXPECT_EQ(patched_area(-7, 0)[0], 0);
}

TEST(PatchBackdrop, FarCoordinatesDoNotWrapIntoAnOverlap)
{
    std::vector<uint32_t> old_backdrop(CELL_PIXELS, 1), backdrop(CELL_PIXELS, 0);
    patch_backdrop(backdrop.data(), old_backdrop.data(), INT32_MAX - 10, 0, INT32_MIN + 10, 0);
    patch_backdrop(backdrop.data(), old_backdrop.data(), INT32_MIN, INT32_MIN, INT32_MAX - 41, INT32_MAX - 41);
    EXPECT_EQ(backdrop, std::vector<uint32_t>(CELL_PIXELS, 0));
}

}  // namespace
