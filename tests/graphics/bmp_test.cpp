// The decoder on hand-made files of every depth and encoding, and on broken
// ones: each must be refused with a message, never read out of bounds (the
// sanitizer build runs these too).
#include <gtest/gtest.h>

#include "graphics/bmp.h"
#include "tests/graphics/bmp_builder.h"

namespace {

const std::vector<uint32_t> GREYS = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};

// Indices with a pattern that differs on every row and column.
std::vector<uint8_t> pattern(int32_t width, int32_t height, unsigned colours)
{
    std::vector<uint8_t> out(size_t(width) * size_t(height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            out[size_t(y) * size_t(width) + size_t(x)] = uint8_t((x * 7 + y * 3 + x * y) % colours);
    return out;
}

std::vector<uint32_t> palette_of(unsigned colours)
{
    std::vector<uint32_t> out;
    for (unsigned i = 0; i < colours; ++i)
        out.push_back((i * 0x010203 + 0x102030 * (i % 5)) & 0xFFFFFF);
    return out;
}

Bitmap decode_ok(const std::vector<uint8_t>& file)
{
    Bitmap b;
    std::string error;
    EXPECT_TRUE(bmp_decode(file.data(), file.size(), &b, &error)) << error;
    return b;
}

void expect_indexed(const Bitmap& b, const std::vector<uint8_t>& indices, const std::vector<uint32_t>& palette)
{
    ASSERT_EQ(b.indices.size(), indices.size());
    ASSERT_EQ(b.pixels.size(), indices.size());
    EXPECT_EQ(b.indices, indices);
    EXPECT_EQ(b.palette, palette);
    for (size_t i = 0; i < indices.size(); ++i)
        ASSERT_EQ(b.pixels[i], palette[indices[i]]) << i;
}

TEST(BmpDecode, PlainIndexedDepthsBothRowOrders)
{
    for (int bits : {1, 4, 8}) {
        for (bool top_down : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top_down " << top_down);
            // Widths that end mid-byte and need row padding.
            const int32_t width = 13, height = 5;
            unsigned colours = bits == 8 ? 200u : 1u << bits;
            std::vector<uint8_t> indices = pattern(width, height, colours);
            BmpParts parts{width,
                           top_down ? -height : height,
                           uint16_t(bits),
                           0,
                           bits == 8 ? colours : 0,
                           palette_of(colours),
                           pack_indexed(indices, width, height, bits, top_down),
                           {}};
            Bitmap b = decode_ok(build_bmp(parts));
            EXPECT_EQ(b.width, width);
            EXPECT_EQ(b.height, height);
            EXPECT_EQ(b.bits_per_pixel, bits);
            expect_indexed(b, indices, parts.palette);
        }
    }
}

TEST(BmpDecode, ShortColourTable)
{
    std::vector<uint8_t> indices = pattern(6, 3, 3);
    BmpParts parts{6, 3, 8, 0, 3, palette_of(3), pack_indexed(indices, 6, 3, 8, false), {}};
    Bitmap b = decode_ok(build_bmp(parts));
    EXPECT_EQ(b.palette.size(), 3u);
    expect_indexed(b, indices, parts.palette);
}

TEST(BmpDecode, TrueColourDepths)
{
    const int32_t width = 5, height = 3;
    std::vector<uint32_t> pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.push_back(uint32_t(i) * 0x0B1D2F);
    for (int bits : {24, 32}) {
        for (bool top_down : {false, true}) {
            BmpParts parts{width,
                           top_down ? -height : height,
                           uint16_t(bits),
                           0,
                           0,
                           {},
                           pack_true_colour(pixels, width, height, bits, top_down),
                           {}};
            Bitmap b = decode_ok(build_bmp(parts));
            EXPECT_EQ(b.pixels, pixels) << bits << " bits, top_down " << top_down;
            EXPECT_TRUE(b.indices.empty());
        }
    }
}

TEST(BmpDecode, ThirtyTwoBitsWithChannelMasks)
{
    // Blue in the high byte, red in the low one; alpha ignored.
    std::vector<uint8_t> stored = {0x11, 0x22, 0x33, 0x44};
    BmpParts parts{1, 1, 32, 3, 0, {}, stored, {0x000000FF, 0x0000FF00, 0x00FF0000}};
    EXPECT_EQ(decode_ok(build_bmp(parts)).pixels, std::vector<uint32_t>{0x112233});
    parts.masks = {0x0000F000, 0x00000F00, 0x000000F0};  // 4-bit channels scale to 8
    EXPECT_EQ(decode_ok(build_bmp(parts)).pixels, std::vector<uint32_t>{0x222211});
}

TEST(BmpDecode, RunLengthEncodingsRoundTrip)
{
    for (int bits : {4, 8}) {
        const int32_t width = 29, height = 7;
        std::vector<uint8_t> indices = pattern(width, height, bits == 4 ? 16 : 40);
        for (int32_t x = 3; x < 20; ++x)
            indices[size_t(2 * width + x)] = 5;  // a long run
        BmpParts parts{width,
                       height,
                       uint16_t(bits),
                       bits == 4 ? 2u : 1u,
                       0,
                       palette_of(bits == 4 ? 16 : 256),
                       encode_rle(indices, width, height, bits),
                       {}};
        expect_indexed(decode_ok(build_bmp(parts)), indices, parts.palette);
    }
}

TEST(BmpDecode, RunLengthEscapes)
{
    // 4 x 3 RLE8, bottom row first: a padded literal of 3, a delta one
    // right and one up, end of line, a run of 2, end of picture.
    std::vector<uint8_t> stream = {0, 3, 1, 2, 3, 0,  // bottom row: 1 2 3, x 3
                                   0, 2, 1, 1,        // to x 4 of the middle row
                                   0, 0,              // to x 0 of the top row
                                   2, 3,              // 3 3
                                   0, 1};
    BmpParts parts{4, 3, 8, 1, 4, {0x000000, 0x110000, 0x002200, 0x000033}, stream, {}};
    Bitmap b = decode_ok(build_bmp(parts));
    std::vector<uint8_t> expected = {3, 3, 0, 0,   // top row
                                     0, 0, 0, 0,   // skipped by the delta: index 0
                                     1, 2, 3, 0};  // bottom row
    expect_indexed(b, expected, parts.palette);

    // RLE4: a run alternates its two nibbles; an odd literal is padded to a word.
    std::vector<uint8_t> stream4 = {5, 0x12, 0, 1};
    BmpParts four{5, 1, 4, 2, 3, {0x0, 0x1, 0x2}, stream4, {}};
    EXPECT_EQ(decode_ok(build_bmp(four)).indices, (std::vector<uint8_t>{1, 2, 1, 2, 1}));
    four.pixels = {0, 3, 0x21, 0x00, 0, 0, 0, 1};  // 2 1 0, padded, end of line, end
    EXPECT_EQ(decode_ok(build_bmp(four)).indices, (std::vector<uint8_t>{2, 1, 0, 0, 0}));

    // Runs may cover the row's padding (ImageMagick writes them so); the
    // padding's pixels are dropped, whatever their index.
    BmpParts padded{5, 1, 8, 1, 2, {0x0, 0xFFFFFF}, {5, 1, 3, 9, 0, 1}, {}};
    EXPECT_EQ(decode_ok(build_bmp(padded)).indices, (std::vector<uint8_t>{1, 1, 1, 1, 1}));
    padded.pixels = {5, 1, 4, 1, 0, 1};
    Bitmap refused;
    std::string error;
    std::vector<uint8_t> file = build_bmp(padded);
    EXPECT_FALSE(bmp_decode(file.data(), file.size(), &refused, &error));
}

TEST(BmpDecode, PackedDibMatchesFile)
{
    std::vector<uint8_t> indices = pattern(9, 4, 16);
    BmpParts parts{9, 4, 4, 0, 0, palette_of(16), pack_indexed(indices, 9, 4, 4, false), {}};
    std::vector<uint8_t> dib = build_dib(parts);
    Bitmap b;
    std::string error;
    ASSERT_TRUE(bmp_decode_dib(dib.data(), dib.size(), &b, &error)) << error;
    expect_indexed(b, indices, parts.palette);
}

// ---- broken files

struct Broken {
    const char* what;
    std::vector<uint8_t> file;
};

BmpParts small_rle8(std::vector<uint8_t> stream)
{
    return BmpParts{4, 2, 8, 1, 2, {0x000000, 0xFFFFFF}, std::move(stream), {}};
}

void set32(std::vector<uint8_t>& file, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        file[at + size_t(i)] = uint8_t(v >> (8 * i));
}

std::vector<Broken> broken_files()
{
    std::vector<Broken> out;
    std::vector<uint8_t> indices = pattern(8, 4, 2);
    BmpParts mono{8, 4, 1, 0, 0, {0x000000, 0xFFFFFF}, pack_indexed(indices, 8, 4, 1, false), {}};
    std::vector<uint8_t> good = build_bmp(mono);

    out.push_back({"empty", {}});
    out.push_back({"not BM", {'B', 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}});
    auto f = good;
    f.resize(f.size() - 1);
    out.push_back({"last pixel byte missing", f});
    f = good, set32(f, 14 + 4, 0x7FFFFFFF), set32(f, 14 + 8, 0x7FFFFFFF);
    out.push_back({"size that overflows", f});
    f = good, set32(f, 14 + 4, 0x10000), set32(f, 14 + 8, 0x10000);
    out.push_back({"size that would take gigabytes", f});
    f = good, set32(f, 14 + 4, 0);
    out.push_back({"zero width", f});
    f = good, set32(f, 14 + 8, 0x80000000);
    out.push_back({"most negative height", f});
    f = good, set32(f, 14 + 32, 3);
    out.push_back({"colour table longer than 1 bit allows", f});
    f = good, set32(f, 10, 14 + 40 + 4);
    out.push_back({"pixels overlapping the colour table", f});
    f = good, set32(f, 10, uint32_t(good.size()));
    out.push_back({"pixels starting past the end", f});
    f = good, set32(f, 14, 1000);
    out.push_back({"header longer than the file", f});
    f = good, f[14 + 12] = 2;
    out.push_back({"two planes", f});
    f = good, set32(f, 14 + 16, 9);
    out.push_back({"unknown compression", f});
    f = good, set32(f, 14 + 16, 1);
    out.push_back({"RLE8 at 1 bit", f});

    BmpParts one_colour{8, 4, 1, 0, 1, {0x000000}, mono.pixels, {}};
    out.push_back({"pixel past a one-entry colour table", build_bmp(one_colour)});

    out.push_back({"run past the row", build_bmp(small_rle8({5, 1, 0, 1}))});
    out.push_back({"run after the last row", build_bmp(small_rle8({0, 0, 0, 0, 1, 1, 0, 1}))});
    out.push_back({"literal past the row", build_bmp(small_rle8({2, 1, 0, 3, 1, 1, 1, 0, 0, 1}))});
    out.push_back({"literal cut short", build_bmp(small_rle8({0, 4, 1, 1}))});
    out.push_back({"delta past the right edge", build_bmp(small_rle8({0, 2, 5, 0, 0, 1}))});
    out.push_back({"delta past the last row", build_bmp(small_rle8({0, 2, 0, 3, 0, 1}))});
    out.push_back({"delta cut short", build_bmp(small_rle8({0, 2, 1}))});
    out.push_back({"end of line past the last row", build_bmp(small_rle8({0, 0, 0, 0, 0, 0, 0, 1}))});
    out.push_back({"stream ends inside the picture", build_bmp(small_rle8({4, 1, 0, 0}))});
    out.push_back({"index past the colour table", build_bmp(small_rle8({1, 2, 0, 1}))});
    BmpParts top_down_rle = small_rle8({0, 1});
    top_down_rle.height = -2;
    out.push_back({"RLE stored top row first", build_bmp(top_down_rle)});
    BmpParts rle4_index{4, 1, 4, 2, 2, {0x0, 0xFFFFFF}, {2, 0x13, 0, 1}, {}};
    out.push_back({"RLE4 nibble past the colour table", build_bmp(rle4_index)});
    BmpParts masks{1, 1, 32, 3, 0, {}, {0, 0, 0, 0}, {0x00FF00FF, 0x0000FF00, 0x000000FF}};
    out.push_back({"colour mask with a gap", build_bmp(masks)});
    return out;
}

TEST(BmpDecode, RefusesBrokenFilesWithAMessage)
{
    for (const Broken& broken : broken_files()) {
        Bitmap b;
        b.width = 77;  // a refused file leaves the output alone
        std::string error;
        EXPECT_FALSE(bmp_decode(broken.file.data(), broken.file.size(), &b, &error)) << broken.what;
        EXPECT_FALSE(error.empty()) << broken.what;
        EXPECT_EQ(b.width, 77) << broken.what;
    }
}

TEST(BmpDecode, EveryTruncationOfAGoodFileIsRefused)
{
    std::vector<uint8_t> indices = pattern(21, 9, 16);
    std::vector<std::vector<uint8_t>> files = {
        build_bmp({21, 9, 4, 2, 0, palette_of(16), encode_rle(indices, 21, 9, 4), {}}),
        build_bmp({21, 9, 8, 1, 0, palette_of(256), encode_rle(indices, 21, 9, 8), {}}),
        build_bmp({21, -9, 4, 0, 0, palette_of(16), pack_indexed(indices, 21, 9, 4, true), {}}),
    };
    for (const auto& file : files) {
        for (size_t size = 0; size < file.size(); ++size) {
            // A copy of exactly `size` bytes, so the sanitizer sees any read past it.
            std::vector<uint8_t> cut(file.begin(), file.begin() + std::ptrdiff_t(size));
            Bitmap b;
            std::string error;
            EXPECT_FALSE(bmp_decode(cut.data(), cut.size(), &b, &error)) << size << " of " << file.size();
        }
    }
}

TEST(BmpDecode, SurvivesMutatedFiles)
{
    std::vector<uint8_t> indices = pattern(23, 11, 16);
    std::vector<std::vector<uint8_t>> seeds = {
        build_bmp({23, 11, 4, 2, 0, palette_of(16), encode_rle(indices, 23, 11, 4), {}}),
        build_bmp({23, 11, 8, 1, 16, palette_of(16), encode_rle(indices, 23, 11, 8), {}}),
        build_bmp({23, 11, 1, 0, 0, {0, 0xFFFFFF}, pack_indexed(pattern(23, 11, 2), 23, 11, 1, false), {}}),
    };
    uint32_t state = 12345;
    auto next = [&] { return (state = state * 214013 + 2531011) >> 16 & 0x7FFF; };
    int decoded = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> file = seeds[size_t(round) % seeds.size()];
        for (int edits = 1 + int(next() % 4); edits > 0; --edits)
            file[next() % file.size()] = uint8_t(next());
        file.resize(file.size() - next() % 3);
        Bitmap b;
        std::string error;
        if (bmp_decode(file.data(), file.size(), &b, &error)) {
            ++decoded;
            ASSERT_EQ(b.pixels.size(), size_t(b.width) * size_t(b.height));
        } else {
            ASSERT_FALSE(error.empty());
        }
    }
    EXPECT_GT(decoded, 0);  // the mutations did not all break the header
}

}  // namespace
