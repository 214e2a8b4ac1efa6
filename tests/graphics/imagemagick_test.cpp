// The decoder against ImageMagick: every resource file, our own hand-built
// files of each encoding (RLE4 included, which ImageMagick cannot write), and
// the files ImageMagick writes itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "graphics/bmp.h"
#include "tests/graphics/bmp_builder.h"

namespace {

namespace fs = std::filesystem;

const char* const CONVERT = "/usr/bin/convert";

std::string run(const std::string& command)
{
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[65536];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
            out.append(chunk, n);
        pclose(pipe);
    }
    return out;
}

// The picture as ImageMagick sees it: 8-bit R, G, B, top row first.
std::string convert_rgb(const fs::path& file)
{
    return run(std::string(CONVERT) + " '" + file.string() + "' -depth 8 rgb:- 2>/dev/null");
}

void expect_agreement(const fs::path& file)
{
    SCOPED_TRACE(file.string());
    Bitmap b;
    std::string error;
    ASSERT_TRUE(bmp_read_file(file.string().c_str(), &b, &error)) << error;
    std::string theirs = convert_rgb(file);
    ASSERT_EQ(theirs.size(), b.pixels.size() * 3);
    for (size_t i = 0; i < b.pixels.size(); ++i) {
        uint32_t p = b.pixels[i];
        uint32_t q = uint32_t(uint8_t(theirs[3 * i])) << 16 | uint32_t(uint8_t(theirs[3 * i + 1])) << 8 |
                     uint8_t(theirs[3 * i + 2]);
        ASSERT_EQ(p, q) << "pixel " << i % size_t(b.width) << "," << i / size_t(b.width);
    }
}

struct ImageMagick : testing::Test {
    fs::path dir;
    void SetUp() override
    {
        if (!fs::exists(CONVERT))
            GTEST_SKIP() << "ImageMagick's convert is not available here";
        // One folder per process and test, so concurrent builds do not meet.
        dir = fs::temp_directory_path() / ("dorrabee-bmp-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        std::error_code ignored;
        if (!dir.empty())
            fs::remove_all(dir, ignored);
    }
};

TEST_F(ImageMagick, AgreesOnEveryResourceBitmap)
{
    fs::path resources = fs::path(DORRABEE_SOURCE_DIR) / "resources";
    int files = 0;
    if (fs::exists(resources))
        for (const auto& entry : fs::directory_iterator(resources))
            if (entry.path().extension() == ".bmp") {
                expect_agreement(entry.path());
                ++files;
            }
    if (files == 0)
        GTEST_SKIP() << "no artwork yet";
}

TEST_F(ImageMagick, AgreesOnHandBuiltFiles)
{
    const int32_t w = 37, h = 23;
    std::vector<uint8_t> indices(size_t(w * h));
    std::vector<uint32_t> pixels(size_t(w * h)), palette;
    for (int32_t i = 0; i < w * h; ++i) {
        indices[size_t(i)] = uint8_t((i % w) / 5 + (i / w) % 3);
        pixels[size_t(i)] = uint32_t(i) * 0x030507 & 0xFFFFFF;
    }
    for (uint32_t i = 0; i < 16; ++i)
        palette.push_back(i * 0x0F0D0B + 0x100000);
    std::vector<uint8_t> mono(indices.size());
    for (size_t i = 0; i < mono.size(); ++i)
        mono[i] = indices[i] & 1;
    struct File {
        const char* name;
        BmpParts parts;
    };
    const File files[] = {
        {"rle4.bmp", {w, h, 4, 2, 16, palette, encode_rle(indices, w, h, 4), {}}},
        {"rle8.bmp", {w, h, 8, 1, 16, palette, encode_rle(indices, w, h, 8), {}}},
        {"plain4-top-down.bmp", {w, -h, 4, 0, 0, palette, pack_indexed(indices, w, h, 4, true), {}}},
        {"plain8-short-table.bmp", {w, h, 8, 0, 16, palette, pack_indexed(indices, w, h, 8, false), {}}},
        {"mono-white-first.bmp", {w, h, 1, 0, 0, {0xFFFFFF, 0x000000}, pack_indexed(mono, w, h, 1, false), {}}},
        {"true24.bmp", {w, h, 24, 0, 0, {}, pack_true_colour(pixels, w, h, 24, false), {}}},
        {"true32-top-down.bmp", {w, -h, 32, 0, 0, {}, pack_true_colour(pixels, w, h, 32, true), {}}},
    };
    for (const File& f : files) {
        write_file((dir / f.name).string(), build_bmp(f.parts));
        expect_agreement(dir / f.name);
    }
}

TEST_F(ImageMagick, AgreesOnFilesItWrites)
{
    fs::path base = dir / "base.bmp";
    run(std::string(CONVERT) + " -size 41x19 -seed 7 plasma:fractal BMP3:'" + base.string() + "'");
    ASSERT_TRUE(fs::exists(base));
    const std::pair<const char*, const char*> outputs[] = {
        {"-monochrome BMP3:", "m1.bmp"},
        {"-colors 16 -compress None BMP3:", "c16.bmp"},
        {"-colors 200 -compress None BMP3:", "c200.bmp"},
        {"-colors 200 -compress RLE BMP3:", "c200rle.bmp"},
        {"-alpha on -type TrueColorAlpha BMP:", "t32.bmp"},
    };
    for (auto [options, name] : outputs) {
        run(std::string(CONVERT) + " '" + base.string() + "' " + options + "'" + (dir / name).string() + "'");
        expect_agreement(dir / name);
    }
    expect_agreement(base);
}

}  // namespace
