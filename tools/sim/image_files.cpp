#include "tools/sim/image_files.h"

#include <algorithm>
#include <map>

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

std::string png_encode(const Picture& picture)
{
    std::string header;
    put32_big(header, uint32_t(picture.width));
    put32_big(header, uint32_t(picture.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, no interlace
    std::string raw;
    raw.reserve(size_t(picture.height) * (size_t(picture.width) * 3 + 1));
    for (int32_t y = 0; y < picture.height; ++y) {
        raw += '\0';  // no filter
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)];
            raw += char((p >> 16) & 0xFF);
            raw += char((p >> 8) & 0xFF);
            raw += char(p & 0xFF);
        }
    }
    std::string out = "\x89PNG\r\n\x1A\n";
    png_chunk(out, "IHDR", header);
    png_chunk(out, "IDAT", zlib_stored(raw));
    png_chunk(out, "IEND", "");
    return out;
}

std::string gif_encode(const std::vector<Picture>& frames, int delay_cs)
{
    std::map<uint32_t, uint8_t> index;
    for (const Picture& frame : frames)
        for (const uint32_t p : frame.pixels)
            if (index.size() <= 256)
                index.emplace(p & 0xFFFFFF, 0);
    const bool reduce = index.size() > 256;
    std::vector<uint32_t> palette;
    if (reduce) {
        for (uint32_t i = 0; i < 256; ++i)
            palette.push_back(((i >> 5) * 255 / 7) << 16 | (((i >> 2) & 7) * 255 / 7) << 8 | ((i & 3) * 255 / 3));
    } else {
        for (auto& [colour, i] : index) {
            i = uint8_t(palette.size());
            palette.push_back(colour);
        }
    }
    palette.resize(256, 0);
    auto index_of = [&](uint32_t p) -> uint8_t {
        if (!reduce)
            return index[p & 0xFFFFFF];
        return uint8_t(((p >> 21) & 7) << 5 | ((p >> 13) & 7) << 2 | ((p >> 6) & 3));
    };

    const int32_t width = frames.empty() ? 1 : frames[0].width;
    const int32_t height = frames.empty() ? 1 : frames[0].height;
    std::string out = "GIF89a";
    put16(out, uint32_t(width));
    put16(out, uint32_t(height));
    out += char(0xF7);  // global table of 256 entries
    out += std::string(2, '\0');
    for (const uint32_t c : palette) {
        out += char((c >> 16) & 0xFF);
        out += char((c >> 8) & 0xFF);
        out += char(c & 0xFF);
    }
    out += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);  // loop for ever
    for (const Picture& frame : frames) {
        out += std::string("\x21\xF9\x04\x00", 4);
        put16(out, uint32_t(delay_cs));
        out += std::string("\x00\x00", 2);
        out += ',';
        put16(out, 0);
        put16(out, 0);
        put16(out, uint32_t(width));
        put16(out, uint32_t(height));
        out += '\0';
        out += char(8);  // minimum code size
        // Every pixel a literal 9-bit code, with a clear code before the
        // table would grow to 10 bits: simple and valid, if not small.
        std::string data;
        uint32_t bits = 0;
        int count = 0;
        auto emit = [&](uint32_t code) {
            bits |= code << count;
            count += 9;
            while (count >= 8) {
                data += char(bits & 0xFF);
                bits >>= 8;
                count -= 8;
            }
        };
        int run = 0;
        emit(256);
        for (const uint32_t p : frame.pixels) {
            if (run == 250) {
                emit(256);
                run = 0;
            }
            emit(index_of(p));
            ++run;
        }
        emit(257);
        if (count > 0)
            data += char(bits & 0xFF);
        for (size_t at = 0; at < data.size(); at += 255) {
            const size_t length = std::min<size_t>(255, data.size() - at);
            out += char(length);
            out.append(data, at, length);
        }
        out += '\0';
    }
    out += ';';
    return out;
}
