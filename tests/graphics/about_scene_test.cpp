// The About scene's layout, scrolling and drawing rules.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/about_scene.h"
#include "graphics/sprites.h"

namespace {

TEST(AboutLayout, PositionsFromTheClientSize)
{
    int32_t x, y;
    about_scene_position(364, 310, &x, &y);
    EXPECT_EQ(x, 277);
    EXPECT_EQ(y, 119);
    about_title_position(364, 310, 269, &x, &y);
    EXPECT_EQ(x, 47);
    EXPECT_EQ(y, 16);
    about_scene_position(220, 150, &x, &y);
    EXPECT_EQ(x, 168);
    EXPECT_EQ(y, 58);
    about_title_position(220, 150, 269, &x, &y);  // wider than the client area
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 8);
    about_title_position(269, 150, 269, &x, &y);
    EXPECT_EQ(x, 0);
    about_title_position(272, 150, 269, &x, &y);
    EXPECT_EQ(x, 1);
}

TEST(AboutScroll, StepsEightSixFourTwoZero)
{
    std::vector<int32_t> seen;
    int32_t offset = 0;  // as at program start
    for (int i = 0; i < 11; ++i)
        seen.push_back(offset = next_scroll_offset(offset));
    EXPECT_EQ(seen, (std::vector<int32_t>{8, 6, 4, 2, 0, 8, 6, 4, 2, 0, 8}));
    EXPECT_EQ(next_scroll_offset(1), 8);  // set, not wrapped by adding
}

constexpr int32_t SCENE_W = 70, SCENE_H = 65, TILE_W = 7, TILE_H = 5;
constexpr uint32_t BACKGROUND = 0x000000;

// A tile whose pixels name their row, so each drawn row shows which tile row it is.
std::vector<uint32_t> numbered_tile()
{
    std::vector<uint32_t> tile(TILE_W * TILE_H);
    for (int32_t y = 0; y < TILE_H; ++y)
        for (int32_t x = 0; x < TILE_W; ++x)
            tile[size_t(y * TILE_W + x)] = 0x100 * uint32_t(y + 1) + uint32_t(x);
    return tile;
}

// The tile row each scene row of a column shows, or -1.
std::vector<int> column_rows(const std::vector<uint32_t>& scene, int32_t column_x)
{
    std::vector<int> out;
    for (int32_t y = 0; y < SCENE_H; ++y) {
        uint32_t p = scene[size_t(y * SCENE_W + column_x)];
        out.push_back(p == BACKGROUND ? -1 : int(p >> 8) - 1);
    }
    return out;
}

std::vector<int> expected_rows(std::initializer_list<int> tops)
{
    std::vector<int> out(SCENE_H, -1);
    for (int top : tops)
        for (int r = 0; r < TILE_H; ++r)
            if (top + r >= 0 && top + r < SCENE_H)
                out[size_t(top + r)] = r;
    return out;
}

TEST(AboutTiles, ColumnsForOffsetsZeroAndEight)
{
    std::vector<uint32_t> tile = numbered_tile();
    struct Case {
        int32_t offset;
        std::initializer_list<int> tops;
    };
    for (Case c : {Case{0, {0, 10, 20, 30, 40, 50, 60}}, Case{8, {-2, 8, 18, 28, 38, 48, 58}}}) {
        std::vector<uint32_t> scene(SCENE_W * SCENE_H, BACKGROUND);
        draw_tile_columns(scene.data(), SCENE_W, SCENE_H, tile.data(), TILE_W, TILE_H, c.offset);
        for (int32_t column : {LEFT_COLUMN_X, RIGHT_COLUMN_X}) {
            EXPECT_EQ(column_rows(scene, column), expected_rows(c.tops)) << c.offset;
            // Full tile width, exactly, and nothing beside the columns.
            EXPECT_EQ(scene[size_t(c.offset * SCENE_W + column + TILE_W - 1)], tile[TILE_W - 1]);
            EXPECT_EQ(scene[size_t(c.offset * SCENE_W + column + TILE_W)], BACKGROUND);
            EXPECT_EQ(scene[size_t(c.offset * SCENE_W + column - 1)], BACKGROUND);
        }
    }
}

TEST(AboutTiles, ClippedToAnyScene)
{
    // A scene narrower and shorter than the tile pattern: nothing lands outside.
    std::vector<uint32_t> tile = numbered_tile();
    const int32_t w = 64, h = 3;
    std::vector<uint32_t> scene(size_t(w * h + 8), BACKGROUND);  // 8 guard pixels
    draw_tile_columns(scene.data(), w, h, tile.data(), TILE_W, TILE_H, 8);
    for (size_t i = size_t(w * h); i < scene.size(); ++i)
        EXPECT_EQ(scene[i], BACKGROUND);
    EXPECT_EQ(scene[size_t(RIGHT_COLUMN_X + 2)], tile[size_t(2 * TILE_W + 2)]);  // rows 2.. of the tile at -2
    EXPECT_EQ(scene[size_t(w + RIGHT_COLUMN_X + 2)], tile[size_t(3 * TILE_W + 2)]);
}

TEST(AboutLayKeyed, KeyPixelsLeaveTheTargetAndDrawsAreClipped)
{
    std::vector<uint32_t> target(10 * 6, 0x111111);
    std::vector<uint32_t> art = {KEY_COLOUR, 0xFFFFFF, 0x000000, 0xFEFF00, KEY_COLOUR, 0xFFFF00 | 0xFF000000u};
    lay_keyed(target.data(), 10, 6, 8, 4, art.data(), 3, 2, KEY_COLOUR);
    EXPECT_EQ(target[4 * 10 + 8], 0x111111u);
    EXPECT_EQ(target[4 * 10 + 9], 0xFFFFFFu);
    EXPECT_EQ(target[5 * 10 + 8], 0xFEFF00u);
    EXPECT_EQ(target[5 * 10 + 9], 0x111111u);
    int changed = 0;
    for (uint32_t p : target)
        changed += p != 0x111111;
    EXPECT_EQ(changed, 2);  // the third column fell outside

    // Black as the key, as for the title art, with the art partly above and left.
    std::vector<uint32_t> title = {0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF, 0x000000, 0x00FF00};
    lay_keyed(target.data(), 10, 6, -1, -1, title.data(), 3, 2, 0x000000);
    EXPECT_EQ(target[0], 0x111111u);
    EXPECT_EQ(target[1], 0x00FF00u);
    changed = 0;
    for (uint32_t p : target)
        changed += p != 0x111111;
    EXPECT_EQ(changed, 3);
    lay_keyed(target.data(), 10, 6, 10, 0, title.data(), 3, 2, 0);  // wholly outside
    lay_keyed(target.data(), 10, 6, 0, -2, title.data(), 3, 2, 0);
    changed = 0;
    for (uint32_t p : target)
        changed += p != 0x111111;
    EXPECT_EQ(changed, 3);
}

}  // namespace
