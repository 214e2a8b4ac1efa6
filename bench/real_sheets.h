// The real artwork (a synthetic sheet of the same layout when it is missing),
// attached as the program attaches it, for the benchmarks.
#pragma once

#include <string>
#include <vector>

#include "graphics/bmp.h"
#include "graphics/sprites.h"

namespace {

constexpr int32_t IMAGE_COUNT = 108;
constexpr int S = SPRITE_SIZE;

struct Sheets {
    Bitmap sheet;
    Sprites sprites{};  // drawn from sheet and bits
    std::vector<uint8_t> bits;
    bool real = true;  // false: the artwork was not found

    Sheets()
    {
        std::string error;
        Bitmap mask;
        std::string dir = std::string(DORRABEE_SOURCE_DIR) + "/resources/";
        if (!bmp_read_file((dir + "sprites.bmp").c_str(), &sheet, &error) ||
            !bmp_read_file((dir + "mask.bmp").c_str(), &mask, &error)) {
            synthesize(&mask);
            real = false;
        }
        sheet_attach(sprites, sheet.width, sheet.height, sheet.pixels.data(), IMAGE_COUNT);
        sprites.mask_width = mask.width;
        sprites.mask_height = mask.height;
        sprites.mask_columns = sprites.mask_width / S;
        sprites.mask_rows = sprites.mask_height / S;
        sprites.mask_stride = mask_stride_for(sprites.mask_width);
        bits.assign(size_t(sprites.mask_stride) * size_t(sprites.mask_height), 0);
        sprites.mask_bits = bits.data();
        fetch_mask_bits(sprites, mask);
    }

    // A disc per cell whose size varies, so every column has a run or two.
    void synthesize(Bitmap* mask)
    {
        const int32_t w = 840, h = 252;
        sheet = Bitmap{w, h, 4, std::vector<uint32_t>(size_t(w * h)), {}, {}};
        *mask = Bitmap{w, h, 1, {}, std::vector<uint8_t>(size_t(w * h)), {0x000000, 0xFFFFFF}};
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                int cell = (y / S) * 20 + x / S, dx = x % S - 21, dy = y % S - 21, r = 8 + cell % 12;
                bool inside = dx * dx + dy * dy < r * r || (dy > 12 && (x % 5) == 0);
                sheet.pixels[size_t(y * w + x)] = inside ? 0x5A5A5A : KEY_COLOUR;
                mask->indices[size_t(y * w + x)] = inside;
            }
    }
};

Sheets& sheets()
{
    static Sheets instance;
    return instance;
}

}  // namespace
