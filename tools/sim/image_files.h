// The two picture files the pet checker writes for an author to look at: a
// PNG (truecolour, stored without compression) and an animated GIF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

std::string png_encode(const Picture& picture);
// Frames of one size, shown `delay_cs` hundredths of a second each, looping.
// More than 256 colours are cut down to 3-3-2 bits of red, green and blue.
std::string gif_encode(const std::vector<Picture>& frames, int delay_cs);
