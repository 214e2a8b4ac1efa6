// The rules on the real artwork: cell positions, mirroring, the composite,
// every outline against the mask, and the About scene's tiles.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "graphics/about_scene.h"
#include "graphics/bmp.h"
#include "graphics/outline.h"
#include "graphics/sprites.h"
#include "tests/graphics/outline_check.h"

namespace {

constexpr int S = SPRITE_SIZE;
constexpr int32_t IMAGE_COUNT = 108;

std::string resource(const char* name)
{
    return std::string(DORRABEE_SOURCE_DIR) + "/resources/" + name;
}

struct Artwork : testing::Test {
    Bitmap sheet_bitmap, mask;
    Sprites sprites{};
    std::vector<uint8_t> bits;

    void SetUp() override
    {
        if (!std::filesystem::exists(resource("sprites.bmp")) || !std::filesystem::exists(resource("mask.bmp")))
            GTEST_SKIP() << "no artwork yet";
        std::string error;
        ASSERT_TRUE(bmp_read_file(resource("sprites.bmp").c_str(), &sheet_bitmap, &error)) << error;
        ASSERT_TRUE(bmp_read_file(resource("mask.bmp").c_str(), &mask, &error)) << error;
        ASSERT_EQ(
            sheet_attach(sprites, sheet_bitmap.width, sheet_bitmap.height, sheet_bitmap.pixels.data(), IMAGE_COUNT), 1);
        // What the shell does in the region modes.
        sprites.mask_width = mask.width;
        sprites.mask_height = mask.height;
        sprites.mask_columns = sprites.mask_width / S;
        sprites.mask_rows = sprites.mask_height / S;
        ASSERT_GE(sprites.mask_columns * sprites.mask_rows, IMAGE_COUNT);
        sprites.mask_stride = mask_stride_for(sprites.mask_width);
        bits.assign(size_t(sprites.mask_stride) * size_t(sprites.mask_height), 0);
        sprites.mask_bits = bits.data();
        sprites.mask_inverted = 0;
        fetch_mask_bits(sprites, mask);
    }

    uint32_t sheet(int32_t x, int32_t y) const
    {
        return sheet_bitmap.pixels[size_t(y) * size_t(sheet_bitmap.width) + size_t(x)];
    }
};

TEST_F(Artwork, SheetsAsShipped)
{
    EXPECT_EQ(sheet_bitmap.width, 840);
    EXPECT_EQ(sheet_bitmap.height, 252);
    EXPECT_EQ(sheet_bitmap.bits_per_pixel, 4);
    EXPECT_EQ(mask.width, 840);
    EXPECT_EQ(mask.height, 252);
    EXPECT_EQ(mask.bits_per_pixel, 1);
    EXPECT_EQ(sprites.mask_inverted, 0);
}

TEST_F(Artwork, CellsPlainAndMirrored)
{
    struct Case {
        int image, x, y;
    };
    for (Case c : {Case{0, 0, 0}, Case{19, 798, 0}, Case{20, 0, 42}, Case{107, 294, 210}}) {
        uint32_t plain[CELL_PIXELS], mirrored[CELL_PIXELS];
        copy_cell(sprites, plain, c.image, 0);
        copy_cell(sprites, mirrored, c.image, 1);
        for (int y = 0; y < S; ++y)
            for (int x = 0; x < S; ++x) {
                ASSERT_EQ(plain[y * S + x], sheet(c.x + x, c.y + y)) << c.image;
                ASSERT_EQ(mirrored[y * S + x], sheet(c.x + S - 1 - x, c.y + y)) << c.image;
            }
    }
}

TEST_F(Artwork, SheetsCutShort)
{
    // One column short: 19 x 6 cells still hold every image, which reflow.
    std::vector<uint32_t> narrow;
    for (int32_t y = 0; y < sheet_bitmap.height; ++y)
        for (int32_t x = 0; x < 839; ++x)
            narrow.push_back(sheet(x, y));
    ASSERT_EQ(sheet_attach(sprites, 839, sheet_bitmap.height, narrow.data(), IMAGE_COUNT), 1);
    uint32_t cell[CELL_PIXELS];
    copy_cell(sprites, cell, 19, 0);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            ASSERT_EQ(cell[y * S + x], sheet(x, S + y));
    // One row short: 20 x 5 cells are too few.
    EXPECT_EQ(sheet_attach(sprites, sheet_bitmap.width, 251, sheet_bitmap.pixels.data(), IMAGE_COUNT), 0);
}

TEST_F(Artwork, CompositeShowsTheBackdropExactlyOnTheKey)
{
    uint32_t backdrop[CELL_PIXELS], cell[CELL_PIXELS], frame[CELL_PIXELS];
    for (int p = 0; p < CELL_PIXELS; ++p)
        backdrop[p] = 0x010203u * uint32_t(p % 80);
    for (int32_t image = 0; image < IMAGE_COUNT; ++image) {
        copy_cell(sprites, cell, image, image % 2);
        key_composite(frame, backdrop, cell);
        for (int p = 0; p < CELL_PIXELS; ++p)
            ASSERT_EQ(frame[p], cell[p] == 0xFFFF00 ? backdrop[p] : cell[p]) << image;
    }
}

TEST_F(Artwork, EveryOutlineCoversExactlyThePet)
{
    std::vector<Outline*> plain(IMAGE_COUNT), mirrored(IMAGE_COUNT);
    fill_outline_tables(sprites, plain.data(), mirrored.data(), IMAGE_COUNT);
    for (int32_t image = 0; image < IMAGE_COUNT; ++image) {
        expect_outline_matches_mask(sprites, plain[size_t(image)], image, 0);
        expect_outline_matches_mask(sprites, mirrored[size_t(image)], image, 1);
        // The mask marks exactly the sheet's pixels that are not the key.
        int32_t x0 = image % sprites.sheet_columns * S, y0 = image / sprites.sheet_columns * S;
        for (int y = 0; y < S; ++y)
            for (int x = 0; x < S; ++x)
                ASSERT_EQ(mask_inside(sprites, x0 + x, y0 + y), sheet(x0 + x, y0 + y) != KEY_COLOUR)
                    << image << " " << x << "," << y;
    }
    free_outline_table(plain.data(), IMAGE_COUNT);
    free_outline_table(mirrored.data(), IMAGE_COUNT);
}

TEST(ArtworkAbout, TilesOnTheRealScene)
{
    Bitmap scene, tile, title;
    std::string error;
    if (!std::filesystem::exists(resource("scene.bmp")))
        GTEST_SKIP() << "no artwork yet";
    ASSERT_TRUE(bmp_read_file(resource("scene.bmp").c_str(), &scene, &error)) << error;
    ASSERT_TRUE(bmp_read_file(resource("tile.bmp").c_str(), &tile, &error)) << error;
    ASSERT_TRUE(bmp_read_file(resource("title.bmp").c_str(), &title, &error)) << error;
    EXPECT_EQ(scene.width, 70);
    EXPECT_EQ(scene.height, 65);
    EXPECT_EQ(tile.width, 7);
    EXPECT_EQ(tile.height, 5);
    EXPECT_EQ(title.width, 269);
    EXPECT_EQ(title.height, 80);
    EXPECT_EQ(title.bits_per_pixel, 8);

    struct Case {
        int32_t offset;
        std::vector<int> tops;
    };
    for (const Case& c : {Case{0, {0, 10, 20, 30, 40, 50, 60}}, Case{8, {-2, 8, 18, 28, 38, 48, 58}}}) {
        std::vector<uint32_t> pixels = scene.pixels;
        draw_tile_columns(pixels.data(), scene.width, scene.height, tile.pixels.data(), tile.width, tile.height,
                          c.offset);
        for (int32_t column : {LEFT_COLUMN_X, RIGHT_COLUMN_X})
            for (int32_t y = 0; y < scene.height; ++y)
                for (int32_t x = column; x < column + tile.width; ++x) {
                    uint32_t expected = scene.pixels[size_t(y * scene.width + x)];
                    for (int top : c.tops)
                        if (y >= top && y < top + tile.height)
                            expected = tile.pixels[size_t((y - top) * tile.width + x - column)];
                    ASSERT_EQ(pixels[size_t(y * scene.width + x)], expected) << c.offset << " " << x << "," << y;
                }
    }
}

}  // namespace
