// The PNG decoder on any bytes: a picture it accepts is whole (as many pixels
// as its sides say, within the bounds), one it refuses comes with a message.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AlphaPicture picture;
    std::string error;
    const bool accepted = png_decode(data, size, &picture, &error);
    const bool whole = picture.width > 0 && picture.height > 0 && picture.width <= PNG_MAX_SIDE &&
                       picture.height <= PNG_MAX_SIDE &&
                       picture.pixels.size() == size_t(picture.width) * size_t(picture.height);
    if (accepted ? !whole : error.empty() || !picture.pixels.empty()) {
        std::fprintf(stderr, "broken: %s\n", accepted ? "a picture that is not whole" : "a refusal without a message");
        std::abort();
    }
    return 0;
}
