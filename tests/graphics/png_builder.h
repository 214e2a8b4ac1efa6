// Builds PNG files byte by byte (stored deflate blocks), so the tests can make
// every colour type and bit depth, and break them, without artwork.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct PngParts {
    PngParts(int32_t width, int32_t height, uint8_t bit_depth, uint8_t colour_type, std::vector<std::string> rows = {},
             std::string palette = {}, std::string transparency = {})
        : width(width),
          height(height),
          bit_depth(bit_depth),
          colour_type(colour_type),
          rows(std::move(rows)),
          palette(std::move(palette)),
          transparency(std::move(transparency))
    {
    }
    int32_t width;
    int32_t height;
    uint8_t bit_depth;
    uint8_t colour_type;            // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    std::vector<std::string> rows;  // each row's packed samples, without the filter byte
    std::string palette;            // PLTE: RGB triples
    std::string transparency;       // tRNS as stored
};

std::vector<uint8_t> build_png(const PngParts& parts);
