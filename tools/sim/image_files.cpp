#include "tools/sim/image_files.h"

#include <algorithm>
#include <map>

#include "graphics/png.h"

namespace {

void put16(std::string& out, uint32_t value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

}  // namespace

std::string png_encode(const Picture& picture)
{
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
    return png_file(picture.width, picture.height, 8, 2, raw);  // 8 bits, RGB
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
