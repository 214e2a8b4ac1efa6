// A sheet's alpha: premultiplied for the windows that blend, thresholded at
// one half for every other path, the two agreeing on which pixels are the pet.
#include <gtest/gtest.h>

#include "graphics/alpha_sheet.h"
#include "graphics/sprites.h"

namespace {

TEST(AlphaSheet, PremultipliesRoundedAndThresholdsAtOneHalf)
{
    struct Case {
        uint32_t straight, premultiplied, thresholded;
    };
    const Case cases[] = {
        {0x00FFFF00, 0x00000000, KEY_COLOUR},  // clear: nothing at all, whatever its colour
        {0x7FC02020, 0x7F601010, KEY_COLOUR},  // just under half: see-through where alpha cannot be drawn
        {0x80C02020, 0x80601010, 0xC02020},    // half: the pet, at its own colour
        {0xFFFFFF00, 0xFFFFFF00, 0xFEFF00},    // the key colour itself moves off the key, and only there
    };
    for (const Case& c : cases) {
        EXPECT_EQ(premultiplied_pixel(c.straight), c.premultiplied) << std::hex << c.straight;
        EXPECT_EQ(thresholded_pixel(c.straight), c.thresholded) << std::hex << c.straight;
    }
    // Every alpha and colour value: exact rounding of x a / 255, and the
    // threshold decided by the same alpha the blending path shows.
    for (uint32_t alpha = 0; alpha < 256; ++alpha)
        for (uint32_t value = 0; value < 256; value += 5) {
            const uint32_t pixel = alpha << 24 | value << 16 | value << 8 | value;
            const uint32_t expected = (value * alpha * 2 + 255) / 510;
            const uint32_t got = premultiplied_pixel(pixel);
            ASSERT_EQ(got & 0xFF, expected) << alpha << " " << value;
            ASSERT_EQ(got >> 24, alpha);
            ASSERT_EQ(thresholded_pixel(pixel) != KEY_COLOUR, (got >> 24) >= 0x80) << alpha;
        }
}

}  // namespace
