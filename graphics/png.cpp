#include "graphics/png.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

// One well-kept decoder, PNG only, from memory only; its functions stay in
// this file.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS PNG_MAX_SIDE
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wconversion"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace {

constexpr uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

// What stb_image must not be given, from the chunks' lengths alone (null when
// nothing): a chunk longer than the bytes left, for which it would reserve the
// memory first (a chunk cut short by the end of the file included); an empty
// image data chunk, copied from a null pointer when it comes first. No encoder
// writes either, and every encoder ends the file with its end chunk.
const char* unfit_chunk(const uint8_t* data, size_t size)
{
    for (size_t at = sizeof SIGNATURE; size - at >= 12;) {
        const uint32_t length =
            uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 | data[at + 3];
        if (std::equal(data + at + 4, data + at + 8, "IEND"))
            return nullptr;  // what follows is not read
        if (length > size - at - 12)
            return "a chunk runs past the end of the file";
        if (length == 0 && std::equal(data + at + 4, data + at + 8, "IDAT"))
            return "an empty image data chunk";
        at += 12 + size_t(length);
    }
    return "the file ends before its end chunk";
}

}  // namespace

bool png_decode(const uint8_t* data, size_t size, AlphaPicture* out, std::string* error)
{
    *out = AlphaPicture{};
    if (size < sizeof SIGNATURE || !std::equal(SIGNATURE, SIGNATURE + sizeof SIGNATURE, data))
        return fail(error, "Not a PNG file");
    if (size > size_t(INT_MAX))
        return fail(error, "PNG file too large");
    if (const char* unfit = unfit_chunk(data, size))
        return fail(error, std::string("Broken PNG file (") + unfit + ")");
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, int(size), &width, &height, &channels))
        return fail(error, std::string("Broken PNG file (") + stbi_failure_reason() + ")");
    if (width <= 0 || height <= 0 || int64_t(width) * height > PNG_MAX_PIXELS)
        return fail(error, "PNG picture too large: " + std::to_string(width) + " x " + std::to_string(height));
    stbi_uc* rgba = stbi_load_from_memory(data, int(size), &width, &height, &channels, 4);
    if (!rgba)
        return fail(error, std::string("Broken PNG file (") + stbi_failure_reason() + ")");
    out->width = width;
    out->height = height;
    out->pixels.resize(size_t(width) * size_t(height));
    for (size_t p = 0; p < out->pixels.size(); ++p) {
        const stbi_uc* px = rgba + p * 4;
        out->pixels[p] = uint32_t(px[3]) << 24 | uint32_t(px[0]) << 16 | uint32_t(px[1]) << 8 | px[2];
        // An alpha channel or a transparency chunk: seen in the pixels alike.
        out->has_alpha = out->has_alpha || px[3] != 0xFF;
    }
    stbi_image_free(rgba);
    return true;
}
