// PNG pictures, decoded by stb_image (Debian's libstb-dev): every colour type
// and bit depth, alpha kept; and PNG files written plainly, for the tools. Hostile input is refused with a message, and a
// picture larger than PNG_MAX_PIXELS is refused before any of it is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t PNG_MAX_SIDE = 8192;
constexpr int64_t PNG_MAX_PIXELS = int64_t(4096) * 4096;

struct AlphaPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, straight (not premultiplied) alpha, top row first
    bool has_alpha = false;        // some pixel is not wholly opaque
};

bool png_decode(const uint8_t* data, size_t size, AlphaPicture* out, std::string* error);

// A PNG file of the given header fields and scanlines (each row with its
// filter byte), in stored deflate blocks: valid, if not small. With PLTE and
// tRNS chunks when given.
std::string png_file(int32_t width, int32_t height, uint8_t bit_depth, uint8_t colour_type,
                     const std::string& scanlines, const std::string& palette = {},
                     const std::string& transparency = {});
