// libFuzzer entry: both forms of the decoder on any bytes. Whatever they
// accept must be a whole picture.
#include <cstdlib>

#include "graphics/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bitmap b;
    std::string error;
    for (bool file : {true, false}) {
        bool ok = file ? bmp_decode(data, size, &b, &error) : bmp_decode_dib(data, size, &b, &error);
        if (ok && (b.pixels.size() != size_t(b.width) * size_t(b.height) ||
                   (b.bits_per_pixel <= 8 && b.indices.size() != b.pixels.size())))
            std::abort();
        if (!ok && error.empty())
            std::abort();
    }
    return 0;
}
