#include "tests/graphics/bmp_builder.h"

#include <cstdio>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> build_dib(const BmpParts& p)
{
    std::vector<uint8_t> out;
    put32(out, 40);
    put32(out, uint32_t(p.width));
    put32(out, uint32_t(p.height));
    put16(out, 1);
    put16(out, p.bits);
    put32(out, p.compression);
    put32(out, uint32_t(p.pixels.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, p.colours_used);
    put32(out, 0);
    for (uint32_t m : p.masks)
        put32(out, m);
    for (uint32_t c : p.palette)
        put32(out, c & 0xFFFFFF);
    out.insert(out.end(), p.pixels.begin(), p.pixels.end());
    return out;
}

std::vector<uint8_t> build_bmp(const BmpParts& p)
{
    std::vector<uint8_t> dib = build_dib(p);
    std::vector<uint8_t> out = {'B', 'M'};
    put32(out, uint32_t(14 + dib.size()));
    put32(out, 0);
    put32(out, uint32_t(14 + dib.size() - p.pixels.size()));
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

std::vector<uint8_t> pack_indexed(const std::vector<uint8_t>& indices, int32_t width, int32_t height, int bits,
                                  bool top_down)
{
    size_t stride = (size_t(width) * bits + 31) / 32 * 4;
    std::vector<uint8_t> out(stride * size_t(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = &out[stride * size_t(top_down ? y : height - 1 - y)];
        for (int32_t x = 0; x < width; ++x) {
            int bit = x * bits;
            row[bit / 8] |= uint8_t(indices[size_t(y) * size_t(width) + size_t(x)] << (8 - bits - bit % 8));
        }
    }
    return out;
}

std::vector<uint8_t> pack_true_colour(const std::vector<uint32_t>& pixels, int32_t width, int32_t height, int bits,
                                      bool top_down)
{
    size_t bytes = size_t(bits) / 8, stride = (size_t(width) * bits + 31) / 32 * 4;
    std::vector<uint8_t> out(stride * size_t(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = &out[stride * size_t(top_down ? y : height - 1 - y)];
        for (int32_t x = 0; x < width; ++x) {
            uint32_t c = pixels[size_t(y) * size_t(width) + size_t(x)];
            for (size_t b = 0; b < bytes; ++b)
                row[size_t(x) * bytes + b] = uint8_t(c >> (8 * b));
        }
    }
    return out;
}

std::vector<uint8_t> encode_rle(const std::vector<uint8_t>& indices, int32_t width, int32_t height, int bits)
{
    std::vector<uint8_t> out;
    for (int32_t y = height - 1; y >= 0; --y) {
        const uint8_t* row = &indices[size_t(y) * size_t(width)];
        int32_t x = 0;
        while (x < width) {
            int32_t run = 1;
            while (x + run < width && run < 255 && row[x + run] == row[x])
                ++run;
            int32_t literal = 0;
            if (run < 3) {  // gather pixels until the next run of three
                while (x + literal < width && literal < 254 &&
                       !(x + literal + 2 < width && row[x + literal] == row[x + literal + 1] &&
                         row[x + literal] == row[x + literal + 2]))
                    ++literal;
            }
            if (literal >= 3) {
                out.push_back(0);
                out.push_back(uint8_t(literal));
                size_t start = out.size();
                for (int32_t i = 0; i < literal; ++i) {
                    if (bits == 8)
                        out.push_back(row[x + i]);
                    else if (i % 2 == 0)
                        out.push_back(uint8_t(row[x + i] << 4));
                    else
                        out.back() |= row[x + i];
                }
                if ((out.size() - start) % 2)
                    out.push_back(0);
                x += literal;
            } else {
                out.push_back(uint8_t(run));
                out.push_back(bits == 8 ? row[x] : uint8_t(row[x] << 4 | row[x]));
                x += run;
            }
        }
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0);
    }
    return out;
}

std::vector<uint8_t> read_file(const std::string& path)
{
    std::vector<uint8_t> data;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            data.insert(data.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return data;
}

void write_file(const std::string& path, const std::vector<uint8_t>& data)
{
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
}
