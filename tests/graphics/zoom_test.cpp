// Zoom: the rule that picks z, the conversions at the screen's edge, and
// scaled frames, outlines and backdrops checked pixel by pixel against the
// unscaled ones.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/backdrop.h"
#include "graphics/outline.h"
#include "graphics/sprites.h"
#include "graphics/zoom.h"
#include "tests/graphics/outline_check.h"

namespace {

constexpr int S = SPRITE_SIZE;

TEST(Zoom, FromScreenScalingAndTheKey)
{
    struct Case {
        int32_t key, dpi, zoom;
    };
    const Case cases[] = {
        {0, 96, 1}, {0, 120, 1}, {0, 143, 1}, {0, 144, 2}, {0, 192, 2}, {0, 288, 3}, {0, 384, 4},  {0, 960, 4},
        {0, 0, 1},  {0, -96, 1}, {1, 192, 1}, {4, 96, 4},  {3, 192, 3}, {5, 192, 2}, {-1, 288, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zoom_choose(c.key, c.dpi), c.zoom) << c.key << " " << c.dpi;
}

TEST(Zoom, ScreenAndPetPixels)
{
    struct Case {
        int32_t screen, z, in, margin;
    };
    const Case cases[] = {
        {0, 2, 0, 0},   {7, 1, 7, 7},    {7, 2, 3, 4},        {8, 2, 4, 4},
        {-1, 2, -1, 0}, {-4, 3, -2, -1}, {1366, 3, 455, 456}, {2147483647, 4, 536870911, 536870912},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(screen_to_pet(c.screen, c.z), c.in) << c.screen << " at " << c.z;
        if (c.screen >= 0) {  // margins are never negative
            EXPECT_EQ(margin_to_pet(c.screen, c.z), c.margin) << c.screen << " at " << c.z;
        }
    }
    // A pet at the far end of a screen not divisible by z stays on it.
    EXPECT_LE(pet_to_screen(screen_to_pet(1366, 3) - S, 3) + S * 3, 1366);
}

uint32_t position_colour(int32_t x, int32_t y)
{
    return uint32_t(x) << 10 | uint32_t(y);
}

TEST(Zoom, FrameIsTheCellInBlocks)
{
    std::vector<uint32_t> sheet(size_t(3 * S) * size_t(2 * S));
    for (int32_t y = 0; y < 2 * S; ++y)
        for (int32_t x = 0; x < 3 * S; ++x)
            sheet[size_t(y * 3 * S + x)] = position_colour(x, y);
    Sprites sprites{};
    ASSERT_EQ(sheet_attach(sprites, 3 * S, 2 * S, sheet.data(), 6), 1);
    uint32_t cell[CELL_PIXELS];
    for (int32_t z : {1, 2, 3, MAX_ZOOM})
        for (int32_t mirrored : {0, 1}) {
            copy_cell(sprites, cell, 4, mirrored);
            std::vector<uint32_t> frame(size_t(CELL_PIXELS) * size_t(z * z)), blocks(frame.size());
            copy_cell_zoomed(sprites, frame.data(), 4, mirrored, z);
            zoom_pixels(blocks.data(), cell, S, S, z);
            for (int32_t y = 0; y < S * z; ++y)
                for (int32_t x = 0; x < S * z; ++x)
                    ASSERT_EQ(frame[size_t(y * S * z + x)], cell[(y / z) * S + x / z]) << z << " " << mirrored;
            EXPECT_EQ(frame, blocks);
        }
}

TEST(Zoom, OutlineIsTheMaskInBlocks)
{
    // A mask of two cells with a few runs per column, scaled at every zoom.
    Sprites sprites{};
    sprites.mask_width = 2 * S;
    sprites.mask_height = S;
    sprites.mask_columns = 2;
    sprites.mask_rows = 1;
    sprites.mask_stride = mask_stride_for(sprites.mask_width);
    std::vector<uint8_t> bits(size_t(sprites.mask_stride) * size_t(sprites.mask_height));
    sprites.mask_bits = bits.data();
    sprites.mask_inverted = 0;
    for (int32_t y = 0; y < S; ++y)
        for (int32_t x = S; x < 2 * S; ++x)
            if ((x * 7 + y * 3) % 5 < 2 || y == 0 || x == 2 * S - 1)
                bits[size_t(S - 1 - y) * size_t(sprites.mask_stride) + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    for (int32_t z : {2, 3, MAX_ZOOM})
        for (int32_t mirrored : {0, 1}) {
            std::unique_ptr<Outline> outline(build_outline(sprites, 1, mirrored));
            ASSERT_TRUE(outline);
            zoom_outline(outline.get(), z);
            std::vector<char> covered(size_t(S * z) * size_t(S * z), 0);
            for (const OutlineRect& r : outline->rects) {
                ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= S * z && r.bottom <= S * z);
                for (int32_t y = r.top; y < r.bottom; ++y)
                    for (int32_t x = r.left; x < r.right; ++x)
                        covered[size_t(y * S * z + x)] = 1;
            }
            for (int32_t y = 0; y < S * z; ++y)
                for (int32_t x = 0; x < S * z; ++x) {
                    const int32_t cell_x = mirrored ? S - 1 - x / z : x / z;
                    ASSERT_EQ(covered[size_t(y * S * z + x)] != 0, mask_inside(sprites, S + cell_x, y / z))
                        << z << " " << x << "," << y;
                }
        }
}

TEST(Zoom, BackdropPatchOfALargerBlock)
{
    // Blocks of 84: the fresh capture shows the window (0) where the blocks
    // overlap; after the patch every pixel shows the desktop.
    constexpr int32_t side = 2 * S;
    auto desktop = [](int32_t x, int32_t y) { return uint32_t(x) << 12 | uint32_t(y) | 0x800000; };
    for (int32_t dx : {-side, -50, -1, 0, 3, side - 1})
        for (int32_t dy : {-7, 0, 83}) {
            const int32_t ox = 300, oy = 200, nx = ox + dx, ny = oy + dy;
            std::vector<uint32_t> old_block(side * side), fresh(side * side), expected(side * side);
            for (int32_t j = 0; j < side; ++j)
                for (int32_t i = 0; i < side; ++i) {
                    old_block[size_t(j * side + i)] = desktop(ox + i, oy + j);
                    const bool under = nx + i >= ox && nx + i < ox + side && ny + j >= oy && ny + j < oy + side;
                    fresh[size_t(j * side + i)] = under ? 0 : desktop(nx + i, ny + j);
                    expected[size_t(j * side + i)] = desktop(nx + i, ny + j);
                }
            patch_backdrop_block(fresh.data(), old_block.data(), ox, oy, nx, ny, side);
            EXPECT_EQ(fresh, expected) << dx << "," << dy;
        }
}

}  // namespace
