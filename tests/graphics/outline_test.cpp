// Outlines on synthetic masks whose bits are set directly in the stored
// layout (bottom row first), so the reading side is checked on its own.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/bmp.h"
#include "graphics/outline.h"
#include "graphics/outline_bands.h"
#include "graphics/sprites.h"
#include "tests/graphics/outline_check.h"

namespace {

constexpr int S = SPRITE_SIZE;

struct OutlineTest : testing::Test {
    Sprites sprites{};
    std::vector<uint8_t> bits;

    // A mask of columns x rows cells, nothing inside.
    void make_mask(int32_t columns, int32_t rows, int32_t extra_width = 0, int32_t side = S)
    {
        sprites.cell = side;
        sprites.mask_width = columns * side + extra_width;
        sprites.mask_height = rows * side;
        sprites.mask_columns = columns;
        sprites.mask_rows = rows;
        sprites.mask_stride = mask_stride_for(sprites.mask_width);
        bits.assign(size_t(sprites.mask_stride) * size_t(sprites.mask_height), 0);
        sprites.mask_bits = bits.data();
        sprites.mask_inverted = 0;
    }
    void set_inside(int32_t x, int32_t y)
    {
        bits[size_t(sprites.mask_height - 1 - y) * size_t(sprites.mask_stride) + size_t(x / 8)] |=
            uint8_t(0x80 >> (x % 8));
    }
    std::unique_ptr<Outline> build(int32_t image, int32_t mirrored) const
    {
        return std::unique_ptr<Outline>(build_outline(sprites, image, mirrored));
    }
};

TEST_F(OutlineTest, StripsOfSingleColumns)
{
    make_mask(3, 2);
    // Image 4 (row 1, column 1); cell column 6: pixels 10 to 41; column 9:
    // 5 to 7 and 20 to 22; column 0: rows 0 and 41 only.
    int32_t x0 = S, y0 = S;
    for (int j = 10; j < S; ++j)
        set_inside(x0 + 6, y0 + j);
    for (int j : {5, 6, 7, 20, 21, 22})
        set_inside(x0 + 9, y0 + j);
    set_inside(x0, y0);
    set_inside(x0, y0 + 41);

    auto plain = build(4, 0);
    ASSERT_TRUE(plain);
    std::vector<OutlineRect> expected = {{0, 0, 1, 1}, {0, 41, 1, 42}, {6, 10, 7, 42}, {9, 5, 10, 8}, {9, 20, 10, 23}};
    EXPECT_EQ(plain->rects, expected);

    auto mirrored = build(4, 1);
    ASSERT_TRUE(mirrored);
    std::vector<OutlineRect> reflected = {
        {41, 0, 42, 1}, {41, 41, 42, 42}, {35, 10, 36, 42}, {32, 5, 33, 8}, {32, 20, 33, 23}};
    EXPECT_EQ(mirrored->rects, reflected);

    // The neighbouring cells are untouched by this one's pixels.
    EXPECT_EQ(build(3, 0), nullptr);
    EXPECT_EQ(build(5, 0), nullptr);
    EXPECT_EQ(build(1, 1), nullptr);
}

TEST_F(OutlineTest, EveryCellOfAScatteredMask)
{
    // Widths that put cells at every bit offset within a byte, plus unused
    // pixels to the right of the last whole cell; cells at the ends of the
    // sizes a pet may have, and either side of the largest read a word a row.
    for (const int32_t side : {S, MIN_CELL, 57, 58, MAX_CELL}) {
        make_mask(5, 3, 11, side);
        uint32_t state = 99;
        for (int32_t y = 0; y < sprites.mask_height; ++y)
            for (int32_t x = 0; x < sprites.mask_width; ++x) {
                state = state * 214013 + 2531011;
                if ((state >> 16) % 3 == 0 || (x / side + y / side) % 4 == 0)
                    set_inside(x, y);
            }
        for (int32_t inverted : {0, 1}) {
            sprites.mask_inverted = inverted;
            for (int32_t image = 0; image < 15; ++image)
                for (int32_t mirrored : {0, 1})
                    expect_outline_matches_mask(sprites, build(image, mirrored).get(), image, mirrored);
        }
    }
}

TEST_F(OutlineTest, FullAndEmptyCells)
{
    make_mask(2, 1);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            set_inside(x, y);
    auto full = build(0, 0);
    ASSERT_TRUE(full);
    ASSERT_EQ(full->rects.size(), size_t(S));
    EXPECT_EQ(full->rects[0], (OutlineRect{0, 0, 1, S}));
    EXPECT_EQ(build(1, 0), nullptr);  // no inside pixel: no outline at all
    sprites.mask_inverted = 1;
    EXPECT_EQ(build(0, 1), nullptr);
    EXPECT_TRUE(build(1, 1));
}

TEST_F(OutlineTest, NothingIsReadOutsideTheMask)
{
    make_mask(2, 2);
    for (int y = 0; y < sprites.mask_height; ++y)
        for (int x = 0; x < sprites.mask_width; ++x)
            set_inside(x, y);
    EXPECT_TRUE(build(3, 0));
    EXPECT_EQ(build(4, 0), nullptr);
    EXPECT_EQ(build(-1, 0), nullptr);
    sprites.mask_bits = nullptr;  // never fetched
    EXPECT_EQ(build(0, 0), nullptr);
}

TEST_F(OutlineTest, AFailedFetchLeavesEveryOutlineAbsent)
{
    make_mask(20, 6);
    Bitmap not_a_mask;  // what a failed fetch hands over
    fetch_mask_bits(sprites, not_a_mask);
    std::vector<Outline*> plain(108, nullptr), mirrored(108, nullptr);
    fill_outline_tables(sprites, plain.data(), mirrored.data(), 108);
    for (int i = 0; i < 108; ++i) {
        ASSERT_EQ(plain[size_t(i)], nullptr);
        ASSERT_EQ(mirrored[size_t(i)], nullptr);
    }
}

TEST_F(OutlineTest, TablesFilledAndFreed)
{
    make_mask(2, 2);
    for (int y = 0; y < S; ++y)
        set_inside(5, y);  // image 0: one strip
    for (int x = S; x < 2 * S; ++x)
        set_inside(x, 3);  // image 1: 42 strips; images 2 and 3 empty
    std::vector<Outline*> plain(4, nullptr), mirrored(4, nullptr);
    fill_outline_tables(sprites, plain.data(), mirrored.data(), 4);
    for (int i = 0; i < 4; ++i) {
        expect_outline_matches_mask(sprites, plain[size_t(i)], i, 0);
        expect_outline_matches_mask(sprites, mirrored[size_t(i)], i, 1);
    }

    free_outline_table(plain.data(), 4);
    free_outline_table(mirrored.data(), 4);
    EXPECT_EQ(plain, std::vector<Outline*>(4, nullptr));
    EXPECT_EQ(mirrored, std::vector<Outline*>(4, nullptr));
}

}  // namespace

// The bands every window region is made from: sorted top to bottom, left to
// right, apart, and covering exactly the strips' union inside the window.
TEST(OutlineBands, CoverTheStripsInsideTheWindowInOrder)
{
    std::vector<OutlineRect> full_cell;
    for (int32_t x = 0; x < S; ++x)
        full_cell.push_back({x, 0, x + 1, S});
    const std::vector<std::vector<OutlineRect>> cases = {
        {{0, 10, 1, 42}, {1, 5, 2, 8}, {1, 20, 2, 23}, {2, 5, 3, 8}, {41, 0, 42, 1}, {20, 30, 21, 41}},
        {{40, -5, 41, 3}, {41, 40, 60, 50}},  // partly outside the window
        {},
        full_cell,
    };
    std::vector<OutlineBand> bands(MAX_OUTLINE_BANDS);
    for (size_t c = 0; c < cases.size(); ++c) {
        Outline outline;
        outline.rects = cases[c];
        const int count = outline_bands(outline, bands.data(), S);
        std::vector<int> covered(S * S, 0);
        for (int i = 0; i < count; ++i) {
            const OutlineBand& b = bands[size_t(i)];
            if (i > 0) {
                const OutlineBand& a = bands[size_t(i - 1)];
                EXPECT_TRUE(a.y < b.y ? a.y + a.height <= b.y : a.y == b.y && a.x + a.width < b.x) << c << ": " << i;
            }
            for (int y = b.y; y < b.y + b.height; ++y)
                for (int x = b.x; x < b.x + b.width; ++x)
                    ++covered[size_t(y * S + x)];
        }
        for (int y = 0; y < S; ++y)
            for (int x = 0; x < S; ++x) {
                bool inside = false;
                for (const OutlineRect& r : cases[c])
                    inside |= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                ASSERT_EQ(covered[size_t(y * S + x)], inside ? 1 : 0) << c << ": " << x << "," << y;
            }
        EXPECT_TRUE(c != 3 || count == 1) << "one band for a full cell, not " << count;
    }
}
