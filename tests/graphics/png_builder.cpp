#include "tests/graphics/png_builder.h"

#include "graphics/png.h"

std::vector<uint8_t> build_png(const PngParts& parts)
{
    std::string scanlines;
    for (const std::string& row : parts.rows)
        scanlines += '\0' + row;
    const std::string file = png_file(parts.width, parts.height, parts.bit_depth, parts.colour_type, scanlines,
                                      parts.palette, parts.transparency);
    return std::vector<uint8_t>(file.begin(), file.end());
}
