#include "graphics/alpha_sheet.h"

#include "graphics/png.h"
#include "graphics/sprites.h"

uint32_t thresholded_pixel(uint32_t argb)
{
    const uint32_t colour = argb & 0xFFFFFF;
    if (!opaque_enough(argb))
        return KEY_COLOUR;
    return colour == KEY_COLOUR ? KEY_COLOUR - 0x010000 : colour;
}

uint32_t premultiplied_pixel(uint32_t argb)
{
    const uint32_t alpha = argb >> 24;
    uint32_t out = alpha << 24;
    for (int shift = 0; shift <= 16; shift += 8) {
        // x * a / 255, rounded, without a division.
        const uint32_t product = ((argb >> shift) & 0xFF) * alpha + 128;
        out |= ((product + (product >> 8)) >> 8) << shift;
    }
    return out;
}

std::vector<uint32_t> premultiplied_sheet(const AlphaPicture& picture)
{
    std::vector<uint32_t> out;
    if (!picture.has_alpha)
        return out;
    out.reserve(picture.pixels.size());
    for (const uint32_t pixel : picture.pixels)
        out.push_back(premultiplied_pixel(pixel));
    return out;
}
