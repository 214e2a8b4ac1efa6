// A sheet's alpha, two ways: thresholded (alpha 50 % or more is the pet, at
// its own colour; the rest the key colour) for outlines, shapes and the key
// paths, and premultiplied for the windows the system blends.
#pragma once

#include <cstdint>
#include <vector>

struct AlphaPicture;

// Whether a pixel (0xAARRGGBB, straight alpha) is the pet where alpha
// cannot be drawn.
inline bool opaque_enough(uint32_t argb)
{
    return argb >> 24 >= 0x80;
}

// The pixel on the thresholded sheet: the key colour when it is not the pet,
// else its own colour at full strength (one that happens to be the key
// colour moved off it by one step of red), so the edge is clean and of no
// other colour.
uint32_t thresholded_pixel(uint32_t argb);

// The pixel with its colour multiplied by its alpha (rounded), as blending
// windows take it: alpha 0 gives 0, alpha 255 the pixel unchanged.
uint32_t premultiplied_pixel(uint32_t argb);

// The picture's pixels premultiplied, for a picture with alpha; empty for one
// without (it draws as its thresholded sheet).
std::vector<uint32_t> premultiplied_sheet(const AlphaPicture& picture);
