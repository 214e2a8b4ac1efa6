// Builds BMP files byte by byte, so the tests can make every depth and
// encoding (and every way of breaking them) without artwork.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BmpParts {
    int32_t width = 0;
    int32_t height = 0;  // negative: top row first
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t colours_used = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    std::vector<uint8_t> pixels;    // the encoded pixel bytes, as stored
    std::vector<uint32_t> masks;    // written after a 40-byte header (bit fields)
};

std::vector<uint8_t> build_dib(const BmpParts& parts);
std::vector<uint8_t> build_bmp(const BmpParts& parts);

// Stored rows (padded to 4 bytes) of indices or 0x00RRGGBB pixels given top row first.
std::vector<uint8_t> pack_indexed(const std::vector<uint8_t>& indices, int32_t width, int32_t height, int bits,
                                  bool top_down);
std::vector<uint8_t> pack_true_colour(const std::vector<uint32_t>& pixels, int32_t width, int32_t height, int bits,
                                      bool top_down);
// RLE4 / RLE8 stream of indices given top row first, with end-of-picture.
std::vector<uint8_t> encode_rle(const std::vector<uint8_t>& indices, int32_t width, int32_t height, int bits);

std::vector<uint8_t> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<uint8_t>& data);
