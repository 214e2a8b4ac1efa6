#include "graphics/png.h"

#include <algorithm>

namespace {

void put16(std::string& out, uint32_t value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void put32_big(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((value >> shift) & 0xFF);
}

uint32_t crc32(const std::string& data, size_t from)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < data.size(); ++i) {
        crc ^= uint8_t(data[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void png_chunk(std::string& out, const char* kind, const std::string& data)
{
    put32_big(out, uint32_t(data.size()));
    const size_t start = out.size();
    out += kind;
    out += data;
    put32_big(out, crc32(out, start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string zlib_stored(const std::string& raw)
{
    std::string out = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (const char c : raw) {
        a = (a + uint8_t(c)) % 65521;
        b = (b + a) % 65521;
    }
    size_t at = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - at, 65535);
        out += char(at + length == raw.size() ? 1 : 0);
        put16(out, uint32_t(length));
        put16(out, uint32_t(~length & 0xFFFF));
        out.append(raw, at, length);
        at += length;
    } while (at < raw.size());
    put32_big(out, (b << 16) | a);
    return out;
}

}  // namespace

std::string png_file(int32_t width, int32_t height, uint8_t bit_depth, uint8_t colour_type,
                     const std::string& scanlines, const std::string& palette, const std::string& transparency)
{
    std::string header;
    put32_big(header, uint32_t(width));
    put32_big(header, uint32_t(height));
    header += char(bit_depth);
    header += char(colour_type);
    header += std::string(3, '\0');  // deflate, adaptive filters, no interlace
    std::string out = "\x89PNG\r\n\x1A\n";
    png_chunk(out, "IHDR", header);
    if (!palette.empty())
        png_chunk(out, "PLTE", palette);
    if (!transparency.empty())
        png_chunk(out, "tRNS", transparency);
    png_chunk(out, "IDAT", zlib_stored(scanlines));
    png_chunk(out, "IEND", "");
    return out;
}
