// Cell layout, plain and mirrored copies, the key composite and the mask's
// bit layout, on synthetic sheets whose every pixel names its own position.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/bmp.h"
#include "graphics/sprites.h"

namespace {

constexpr int S = SPRITE_SIZE;

uint32_t position_colour(int32_t x, int32_t y)
{
    return uint32_t(x) << 10 | uint32_t(y);
}

std::vector<uint32_t> position_sheet(int32_t width, int32_t height)
{
    std::vector<uint32_t> out(size_t(width) * size_t(height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            out[size_t(y) * size_t(width) + size_t(x)] = position_colour(x, y);
    return out;
}

TEST(SpriteSheet, CellPositionsPlainAndMirrored)
{
    Sprites sprites{};
    std::vector<uint32_t> sheet = position_sheet(840, 252);
    ASSERT_EQ(sheet_attach(sprites, 840, 252, sheet.data(), 108), 1);
    EXPECT_EQ(sprites.sheet_columns, 20);
    EXPECT_EQ(sprites.sheet_rows, 6);
    struct Case {
        int image, x, y;
    };
    for (Case c : {Case{0, 0, 0}, Case{19, 798, 0}, Case{20, 0, 42}, Case{107, 294, 210}}) {
        uint32_t plain[CELL_PIXELS], mirrored[CELL_PIXELS];
        copy_cell(sprites, plain, c.image, 0);
        copy_cell(sprites, mirrored, c.image, 1);
        for (int y = 0; y < S; ++y) {
            for (int x = 0; x < S; ++x) {
                ASSERT_EQ(plain[y * S + x], position_colour(c.x + x, c.y + y)) << c.image;
                ASSERT_EQ(mirrored[y * S + x], position_colour(c.x + S - 1 - x, c.y + y)) << c.image;
            }
        }
    }
}

TEST(SpriteSheet, GridChecks)
{
    Sprites sprites{};
    std::vector<uint32_t> narrow = position_sheet(839, 252);
    ASSERT_EQ(sheet_attach(sprites, 839, 252, narrow.data(), 108), 1);  // 19 x 6 = 114 cells
    EXPECT_EQ(sprites.sheet_columns, 19);
    uint32_t cell[CELL_PIXELS];
    copy_cell(sprites, cell, 19, 0);
    EXPECT_EQ(cell[0], position_colour(0, 42));
    EXPECT_EQ(cell[CELL_PIXELS - 1], position_colour(41, 83));

    std::vector<uint32_t> short_sheet = position_sheet(840, 251);
    EXPECT_EQ(sheet_attach(sprites, 840, 251, short_sheet.data(), 108), 0);  // 20 x 5 = 100 cells
    EXPECT_EQ(sheet_attach(sprites, 840, 251, short_sheet.data(), 100), 1);
    EXPECT_EQ(sheet_attach(sprites, 0, 252, narrow.data(), 0), 0);
    EXPECT_EQ(sheet_attach(sprites, 840, 252, nullptr, 1), 0);
}

TEST(SpriteSheet, CopyOutsideTheGridLeavesTheTarget)
{
    Sprites sprites{};
    std::vector<uint32_t> sheet = position_sheet(84, 42);
    ASSERT_EQ(sheet_attach(sprites, 84, 42, sheet.data(), 2), 1);
    std::vector<uint32_t> cell(CELL_PIXELS, 7);
    copy_cell(sprites, cell.data(), 2, 0);
    copy_cell(sprites, cell.data(), -1, 1);
    EXPECT_EQ(cell, std::vector<uint32_t>(CELL_PIXELS, 7));
}

TEST(KeyComposite, OnlyExactYellowShowsTheBackdrop)
{
    uint32_t backdrop[CELL_PIXELS], cell[CELL_PIXELS], frame[CELL_PIXELS];
    const uint32_t near_keys[] = {0xFFFFFF, 0x000000, 0xFEFF00, 0xFFFE00, 0xFFFF01, 0x00FFFF00 ^ 0x00010000, 0x123456};
    for (int p = 0; p < CELL_PIXELS; ++p) {
        backdrop[p] = 0x800000u + uint32_t(p);
        cell[p] = p % 3 == 0 ? KEY_COLOUR : near_keys[size_t(p) % std::size(near_keys)];
    }
    cell[1] = 0xFFFFFF00;  // a set top byte is not colour
    key_composite(frame, backdrop, cell);
    for (int p = 0; p < CELL_PIXELS; ++p) {
        bool key = (cell[p] & 0xFFFFFF) == KEY_COLOUR;
        ASSERT_EQ(frame[p], key ? backdrop[p] : cell[p]) << p;
    }
    EXPECT_EQ(frame[1], backdrop[1]);
}

// ---- the mask's bits

struct MaskFixture : testing::Test {
    Sprites sprites{};
    std::vector<uint8_t> bits;

    void set_up_mask(int32_t width, int32_t height)
    {
        sprites.mask_width = width;
        sprites.mask_height = height;
        sprites.mask_columns = width / S;
        sprites.mask_rows = height / S;
        sprites.mask_stride = mask_stride_for(width);
        bits.assign(size_t(sprites.mask_stride) * size_t(height), 0);
        sprites.mask_bits = bits.data();
        sprites.mask_inverted = 0;
    }
};

Bitmap one_bit(int32_t width, int32_t height, std::vector<uint32_t> palette)
{
    Bitmap b;
    b.width = width;
    b.height = height;
    b.bits_per_pixel = 1;
    b.palette = std::move(palette);
    b.indices.resize(size_t(width) * size_t(height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            b.indices[size_t(y) * size_t(width) + size_t(x)] = uint8_t((x * x + 3 * y) % 7 < 3);
    return b;
}

TEST(MaskBits, Stride)
{
    EXPECT_EQ(mask_stride_for(840), 108);
    EXPECT_EQ(mask_stride_for(1), 4);
    EXPECT_EQ(mask_stride_for(32), 4);
    EXPECT_EQ(mask_stride_for(33), 8);
}

TEST_F(MaskFixture, BottomRowFirstLeftmostPixelInTheHighBit)
{
    set_up_mask(45, 43);
    Bitmap mask = one_bit(45, 43, {0x000000, 0xFFFFFF});
    fetch_mask_bits(sprites, mask);
    EXPECT_EQ(sprites.mask_inverted, 0);
    for (int32_t y = 0; y < 43; ++y) {
        for (int32_t x = 0; x < 45; ++x) {
            uint8_t index = mask.indices[size_t(y) * 45 + size_t(x)];
            int bit = bits[size_t(42 - y) * size_t(sprites.mask_stride) + size_t(x / 8)] >> (7 - x % 8) & 1;
            ASSERT_EQ(bit, index) << x << "," << y;
            ASSERT_EQ(mask_inside(sprites, x, y), index == 1) << x << "," << y;
        }
    }
    // Row padding stays zero.
    for (int32_t row = 0; row < 43; ++row)
        for (int32_t byte = 6; byte < sprites.mask_stride; ++byte)
            ASSERT_EQ(bits[size_t(row) * size_t(sprites.mask_stride) + size_t(byte)], 0);
    EXPECT_FALSE(mask_inside(sprites, -1, 0));
    EXPECT_FALSE(mask_inside(sprites, 45, 0));
    EXPECT_FALSE(mask_inside(sprites, 0, 43));
}

TEST_F(MaskFixture, WhiteFirstMeansInvertedAndZeroBitsInside)
{
    set_up_mask(42, 42);
    Bitmap mask = one_bit(42, 42, {0xFFFFFF, 0x000000});
    fetch_mask_bits(sprites, mask);
    EXPECT_EQ(sprites.mask_inverted, 1);
    for (int32_t y = 0; y < 42; ++y)
        for (int32_t x = 0; x < 42; ++x)
            ASSERT_EQ(mask_inside(sprites, x, y), mask.indices[size_t(y) * 42 + size_t(x)] == 0);
    // Any colour but black first counts: the sense follows the table.
    mask.palette = {0x000100, 0x000000};
    set_up_mask(42, 42);
    fetch_mask_bits(sprites, mask);
    EXPECT_EQ(sprites.mask_inverted, 1);
}

TEST_F(MaskFixture, AnUnsuitablePictureLeavesEverythingZero)
{
    Bitmap wrong_size = one_bit(84, 42, {0xFFFFFF, 0x000000});
    Bitmap wrong_depth = one_bit(42, 42, {0xFFFFFF, 0x000000});
    wrong_depth.bits_per_pixel = 4;
    for (const Bitmap* mask : {&wrong_size, &wrong_depth}) {
        set_up_mask(42, 42);
        fetch_mask_bits(sprites, *mask);
        EXPECT_EQ(sprites.mask_inverted, 0);
        EXPECT_EQ(bits, std::vector<uint8_t>(bits.size(), 0));
    }
}

}  // namespace
