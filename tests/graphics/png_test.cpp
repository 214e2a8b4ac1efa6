// PNG pictures as artists save them: every colour type and bit depth the
// format has, alpha and transparency chunks, and files that are no pictures.
#include "graphics/png.h"

#include <gtest/gtest.h>

#include "tests/graphics/png_builder.h"

namespace {

using namespace std::string_literals;

struct Case {
    const char* what;
    PngParts parts;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB
};

std::vector<uint32_t> decoded(const PngParts& parts, std::string* error = nullptr)
{
    const std::vector<uint8_t> file = build_png(parts);
    AlphaPicture picture;
    std::string message;
    if (!png_decode(file.data(), file.size(), &picture, &message)) {
        if (error)
            *error = message;
        return {};
    }
    EXPECT_EQ(size_t(picture.width) * size_t(picture.height), picture.pixels.size());
    return picture.pixels;
}

}  // namespace

TEST(Png, EveryColourTypeAndDepth)
{
    const Case cases[] = {
        {"grey 1", {3, 1, 1, 0, {"\xA0"s}}, {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}},
        {"grey 2", {3, 1, 2, 0, {"\xD0"s}}, {0xFFFFFFFF, 0xFF555555, 0xFF000000}},
        {"grey 4", {2, 1, 4, 0, {"\xF8"s}}, {0xFFFFFFFF, 0xFF888888}},
        {"grey 8", {2, 1, 8, 0, {"\x12\xEE"s}}, {0xFF121212, 0xFFEEEEEE}},
        {"grey 16", {1, 1, 16, 0, {"\x12\x34"s}}, {0xFF121212}},
        {"grey 8, one value clear", {2, 1, 8, 0, {"\x12\xEE"s}, "", "\x00\x12"s}, {0x00121212, 0xFFEEEEEE}},
        {"RGB 8", {2, 1, 8, 2, {"\x10\x20\x30\xA0\xB0\xC0"s}}, {0xFF102030, 0xFFA0B0C0}},
        {"RGB 16", {1, 1, 16, 2, {"\x10\x01\x20\x02\x30\x03"s}}, {0xFF102030}},
        {"RGB 8, one colour clear",
         {2, 1, 8, 2, {"\x10\x20\x30\xA0\xB0\xC0"s}, "", "\x00\x10\x00\x20\x00\x30"s},
         {0x00102030, 0xFFA0B0C0}},
        {"palette 1", {2, 1, 1, 3, {"\x40"s}, "\x01\x02\x03\x04\x05\x06"s}, {0xFF010203, 0xFF040506}},
        {"palette 2", {2, 1, 2, 3, {"\x90"s}, "\x01\x02\x03\x04\x05\x06\x07\x08\x09"s}, {0xFF070809, 0xFF040506}},
        {"palette 4", {2, 1, 4, 3, {"\x10"s}, "\x01\x02\x03\x04\x05\x06"s}, {0xFF040506, 0xFF010203}},
        {"palette 8 with alphas",
         {2, 1, 8, 3, {"\x00\x01"s}, "\x01\x02\x03\x04\x05\x06"s, "\x80"s},
         {0x80010203, 0xFF040506}},
        {"grey and alpha 8", {1, 1, 8, 4, {"\x40\x7F"s}}, {0x7F404040}},
        {"grey and alpha 16", {1, 1, 16, 4, {"\x40\x00\x7F\x00"s}}, {0x7F404040}},
        {"RGBA 8", {2, 1, 8, 6, {"\x10\x20\x30\x00\xA0\xB0\xC0\xFF"s}}, {0x00102030, 0xFFA0B0C0}},
        {"RGBA 16", {1, 1, 16, 6, {"\x10\x00\x20\x00\x30\x00\x80\x00"s}}, {0x80102030}},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(decoded(c.parts, &error), c.pixels) << c.what << " " << error;
    }
    const std::vector<uint8_t> opaque = build_png({2, 1, 8, 2, {"\x10\x20\x30\xA0\xB0\xC0"s}});
    const std::vector<uint8_t> clear = build_png({1, 1, 8, 6, {"\x10\x20\x30\x80"s}});
    AlphaPicture picture;
    ASSERT_TRUE(png_decode(opaque.data(), opaque.size(), &picture, nullptr));
    EXPECT_FALSE(picture.has_alpha);
    ASSERT_TRUE(png_decode(clear.data(), clear.size(), &picture, nullptr));
    EXPECT_TRUE(picture.has_alpha);
}

TEST(Png, WhatIsNoPictureIsRefusedWithAMessage)
{
    struct Broken {
        const char* what;
        std::vector<uint8_t> file;
        const char* message;
    };
    std::vector<uint8_t> cut = build_png({2, 1, 8, 2, {"\x10\x20\x30\xA0\xB0\xC0"s}});
    cut.resize(cut.size() - 20);
    const Broken cases[] = {
        {"empty", {}, "Not a PNG file"},
        {"a BMP", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}, "Not a PNG file"},
        {"cut short", cut, "Broken PNG file"},
        {"huge", build_png({5000, 5000, 8, 6, {}}), "PNG picture too large: 5000 x 5000"},
        {"beyond the sides", build_png({9000, 1, 8, 6, {}}), "Broken PNG file"},
        {"palette index without a palette", build_png({1, 1, 8, 3, {"\x05"s}}), "Broken PNG file"},
        {"bad depth", build_png({1, 1, 3, 0, {"\x00"s}}), "Broken PNG file"},
    };
    for (const Broken& c : cases) {
        AlphaPicture picture;
        std::string error;
        EXPECT_FALSE(png_decode(c.file.data(), c.file.size(), &picture, &error)) << c.what;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.what << ": " << error;
        EXPECT_TRUE(picture.pixels.empty()) << c.what;
    }
}
