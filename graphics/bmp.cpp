// BMP decoding for the depths and encodings our artwork uses. Every offset
// and length is checked against the bytes actually given before it is used,
// and every pixel write against the picture, so a broken or hostile file
// ends in a message rather than a stray read or write.
#include "graphics/bmp.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// Larger pictures are refused: nothing we ship comes near, and an RLE file of
// a few bytes could otherwise claim gigabytes.
constexpr int64_t MAX_DIMENSION = 16384;
constexpr int64_t MAX_PIXELS = int64_t{1} << 22;

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

uint16_t read16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t read32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool fail(std::string* error, const char* text)
{
    if (error)
        *error = text;
    return false;
}

// One colour channel described by a bit mask, scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
};

bool make_channel(uint32_t mask, Channel* channel)
{
    if (mask == 0)
        return false;
    int shift = 0;
    while (!(mask >> shift & 1))
        ++shift;
    uint32_t max = mask >> shift;
    if (max & (max + 1))
        return false;  // the bits must be contiguous
    *channel = {mask, shift, max};
    return true;
}

uint32_t channel_value(const Channel& c, uint32_t word)
{
    return uint32_t((uint64_t((word & c.mask) >> c.shift) * 255 + c.max / 2) / c.max);
}

struct Header {
    int32_t width = 0;
    int32_t height = 0;  // positive: bottom row first
    bool top_down = false;
    int32_t bits = 0;
    uint32_t compression = BI_RGB;
    uint32_t image_size = 0;
    uint32_t colours_used = 0;
    size_t header_size = 0;
    size_t entry_size = 4;  // colour-table entry: 3 bytes in the old core header
    uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
};

bool read_header(const uint8_t* dib, size_t size, Header* h, std::string* error)
{
    if (size < 4)
        return fail(error, "Bitmap header is truncated");
    h->header_size = read32(dib);
    if (h->header_size == 12) {
        if (size < 12)
            return fail(error, "Bitmap header is truncated");
        h->width = read16(dib + 4);
        h->height = read16(dib + 6);
        if (read16(dib + 8) != 1)
            return fail(error, "Bitmap has more than one plane");
        h->bits = read16(dib + 10);
        h->entry_size = 3;
    } else {
        if (h->header_size < 40 || h->header_size > 1024)
            return fail(error, "Bitmap header has an unknown size");
        if (size < h->header_size)
            return fail(error, "Bitmap header is truncated");
        h->width = int32_t(read32(dib + 4));
        int32_t height = int32_t(read32(dib + 8));
        if (height == INT32_MIN)
            return fail(error, "Bitmap size is out of range");
        h->top_down = height < 0;
        h->height = height < 0 ? -height : height;
        if (read16(dib + 12) != 1)
            return fail(error, "Bitmap has more than one plane");
        h->bits = read16(dib + 14);
        h->compression = read32(dib + 16);
        h->image_size = read32(dib + 20);
        h->colours_used = read32(dib + 32);
        if (h->compression == BI_BITFIELDS && h->header_size >= 52) {
            // Newer headers carry the channel masks inside themselves.
            for (int i = 0; i < 3; ++i)
                h->masks[i] = read32(dib + 40 + 4 * i);
        }
    }
    if (h->width <= 0 || h->height <= 0)
        return fail(error, "Bitmap has no pixels");
    if (h->width > MAX_DIMENSION || h->height > MAX_DIMENSION || int64_t(h->width) * h->height > MAX_PIXELS)
        return fail(error, "Bitmap is too large");

    bool depth_ok = false;
    switch (h->compression) {
        case BI_RGB:
            depth_ok = h->bits == 1 || h->bits == 4 || h->bits == 8 || h->bits == 24 || h->bits == 32;
            break;
        case BI_RLE8:
            depth_ok = h->bits == 8;
            break;
        case BI_RLE4:
            depth_ok = h->bits == 4;
            break;
        case BI_BITFIELDS:
            depth_ok = h->bits == 32;
            break;
        default:
            return fail(error, "Bitmap compression is not supported");
    }
    if (!depth_ok)
        return fail(error, "Bitmap depth does not suit its compression");
    if (h->top_down && (h->compression == BI_RLE4 || h->compression == BI_RLE8))
        return fail(error, "Compressed bitmap cannot be stored top row first");
    return true;
}

// The picture being filled, and where a stored row lands in it (top row first).
struct Canvas {
    Bitmap* out;
    bool top_down;

    size_t at(int32_t x, int32_t row) const
    {
        int32_t y = top_down ? row : out->height - 1 - row;
        return size_t(y) * size_t(out->width) + size_t(x);
    }
};

bool check_index(const Bitmap& b, unsigned index, std::string* error)
{
    if (index < b.palette.size())
        return true;
    return fail(error, "Bitmap pixel refers past its colour table");
}

size_t row_bytes(const Header& h)
{
    return ((size_t(h.width) * size_t(h.bits) + 31) / 32) * 4;
}

// The plain encodings: rows of row_bytes(h), all present (checked by the caller).
bool decode_plain_indexed(const Header& h, const uint8_t* bits, Canvas canvas, std::string* error)
{
    Bitmap& b = *canvas.out;
    size_t stride = row_bytes(h);
    int per_byte = 8 / h.bits;
    unsigned mask = (1u << h.bits) - 1;
    for (int32_t row = 0; row < h.height; ++row) {
        const uint8_t* line = bits + size_t(row) * stride;
        size_t base = canvas.at(0, row);
        for (int32_t x = 0; x < h.width; ++x) {
            int shift = 8 - h.bits * (x % per_byte + 1);
            unsigned index = line[x / per_byte] >> shift & mask;
            if (!check_index(b, index, error))
                return false;
            b.indices[base + size_t(x)] = uint8_t(index);
        }
    }
    return true;
}

bool decode_true_colour(const Header& h, const uint8_t* bits, Canvas canvas, std::string* error)
{
    Bitmap& b = *canvas.out;
    size_t bytes = size_t(h.bits / 8);
    size_t stride = row_bytes(h);
    Channel red, green, blue;
    if (h.compression == BI_BITFIELDS &&
        !(make_channel(h.masks[0], &red) && make_channel(h.masks[1], &green) && make_channel(h.masks[2], &blue)))
        return fail(error, "Bitmap colour masks are not usable");
    for (int32_t row = 0; row < h.height; ++row) {
        const uint8_t* p = bits + size_t(row) * stride;
        uint32_t* target = &b.pixels[canvas.at(0, row)];
        for (int32_t x = 0; x < h.width; ++x, p += bytes) {
            if (h.compression == BI_BITFIELDS) {
                uint32_t word = read32(p);
                target[x] =
                    channel_value(red, word) << 16 | channel_value(green, word) << 8 | channel_value(blue, word);
            } else {
                target[x] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            }
        }
    }
    return true;
}

// RLE4 and RLE8. Pixels the stream skips keep index 0. Runs may reach into
// the row's padding, as some writers (ImageMagick) encode it; those pixels
// are dropped.
bool decode_rle(const Header& h, const uint8_t* data, size_t size, Canvas canvas, std::string* error)
{
    Bitmap& b = *canvas.out;
    bool four = h.compression == BI_RLE4;
    int32_t padded_width = int32_t(((int64_t(h.width) * h.bits + 31) / 32) * 32 / h.bits);
    int32_t x = 0, row = 0;
    size_t pos = 0;
    auto put = [&](unsigned index) {
        if (x < h.width) {
            if (!check_index(b, index, error))
                return false;
            b.indices[canvas.at(x, row)] = uint8_t(index);
        }
        ++x;
        return true;
    };
    while (true) {
        if (size - pos < 2) {
            // Some writers stop after the last row's end of line.
            if (row >= h.height)
                return true;
            return fail(error, "Bitmap pixel data is truncated");
        }
        unsigned count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            if (row >= h.height || count > unsigned(padded_width - x))
                return fail(error, "Bitmap run goes past the end of a row");
            for (unsigned i = 0; i < count; ++i) {
                unsigned index = four ? (i % 2 ? value & 15 : value >> 4) : value;
                if (!put(index))
                    return false;
            }
        } else if (value == 0) {  // end of line
            x = 0;
            ++row;
            if (row > h.height)
                return fail(error, "Bitmap rows go past the end of the picture");
        } else if (value == 1) {  // end of picture
            return true;
        } else if (value == 2) {  // delta
            if (size - pos < 2)
                return fail(error, "Bitmap pixel data is truncated");
            unsigned dx = data[pos], dy = data[pos + 1];
            pos += 2;
            if (x > h.width || dx > unsigned(h.width - x) || dy > unsigned(h.height - row) ||
                (dy == unsigned(h.height - row) && (dx > 0 || x > 0)))
                return fail(error, "Bitmap delta goes past the end of the picture");
            x += int32_t(dx);
            row += int32_t(dy);
        } else {  // a literal run of `value` pixels, padded to a whole word
            size_t bytes = four ? (value + 1) / 2 : value;
            size_t padded = (bytes + 1) & ~size_t(1);
            if (size - pos < padded)
                return fail(error, "Bitmap pixel data is truncated");
            if (row >= h.height || value > unsigned(padded_width - x))
                return fail(error, "Bitmap run goes past the end of a row");
            for (unsigned i = 0; i < value; ++i) {
                unsigned index = four ? (i % 2 ? data[pos + i / 2] & 15 : data[pos + i / 2] >> 4) : data[pos + i];
                if (!put(index))
                    return false;
            }
            pos += padded;
        }
    }
}

// dib: the info header onward; bits_offset: where the pixels start within it,
// or 0 when they follow the colour table directly (a packed DIB).
bool decode(const uint8_t* dib, size_t size, size_t bits_offset, Bitmap* out, std::string* error)
{
    Header h;
    if (!read_header(dib, size, &h, error))
        return false;

    size_t table = h.header_size;
    if (h.compression == BI_BITFIELDS && h.header_size == 40) {
        if (size - table < 12)
            return fail(error, "Bitmap colour masks are truncated");
        for (int i = 0; i < 3; ++i)
            h.masks[i] = read32(dib + table + 4 * i);
        table += 12;
    }
    size_t entries = 0;
    if (h.bits <= 8) {
        size_t most = size_t(1) << h.bits;
        if (h.colours_used > most)
            return fail(error, "Bitmap colour table is longer than its depth allows");
        entries = h.colours_used ? h.colours_used : most;
    }
    size_t table_end = table + entries * h.entry_size;
    if (table_end > size)
        return fail(error, "Bitmap colour table is truncated");
    if (bits_offset == 0) {
        // Colour tables beside true-colour pixels only advise the display; skip them.
        if (h.bits > 8 && h.colours_used > (size - table) / h.entry_size)
            return fail(error, "Bitmap colour table is truncated");
        bits_offset = h.bits > 8 ? table + size_t(h.colours_used) * h.entry_size : table_end;
    } else if (bits_offset < table_end) {
        return fail(error, "Bitmap colour table overlaps its pixels");
    }
    if (bits_offset >= size)
        return fail(error, "Bitmap pixel data is missing");

    const uint8_t* bits = dib + bits_offset;
    size_t available = size - bits_offset;
    bool rle = h.compression == BI_RLE4 || h.compression == BI_RLE8;
    if (rle && h.image_size != 0 && h.image_size < available)
        available = h.image_size;
    // Known before anything is allocated for the picture.
    if (!rle && available / row_bytes(h) < size_t(h.height))
        return fail(error, "Bitmap pixel data is truncated");

    Bitmap b;
    b.width = h.width;
    b.height = h.height;
    b.bits_per_pixel = h.bits;
    b.palette.resize(entries);
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t* e = dib + table + i * h.entry_size;
        b.palette[i] = uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
    }
    size_t count = size_t(h.width) * size_t(h.height);
    b.pixels.assign(count, 0);
    if (h.bits <= 8)
        b.indices.assign(count, 0);

    Canvas canvas{&b, h.top_down};
    bool ok = rle           ? decode_rle(h, bits, available, canvas, error)
              : h.bits <= 8 ? decode_plain_indexed(h, bits, canvas, error)
                            : decode_true_colour(h, bits, canvas, error);
    if (!ok)
        return false;
    if (h.bits <= 8)
        for (size_t i = 0; i < count; ++i)
            b.pixels[i] = b.palette[b.indices[i]];
    *out = std::move(b);
    return true;
}

}  // namespace

bool bmp_decode(const uint8_t* data, size_t size, Bitmap* out, std::string* error)
{
    if (size < 14 || data[0] != 'B' || data[1] != 'M')
        return fail(error, "Not a BMP file");
    uint32_t offset = read32(data + 10);
    if (offset < 14 + 12 || offset >= size)
        return fail(error, "Bitmap pixel data offset is out of range");
    return decode(data + 14, size - 14, offset - 14, out, error);
}

bool bmp_decode_dib(const uint8_t* data, size_t size, Bitmap* out, std::string* error)
{
    return decode(data, size, 0, out, error);
}

bool bmp_read_file(const char* path, Bitmap* out, std::string* error)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return fail(error, "Cannot open the bitmap file");
    std::vector<uint8_t> data;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    bool read_error = std::ferror(file) != 0;
    std::fclose(file);
    if (read_error)
        return fail(error, "Cannot read the bitmap file");
    return bmp_decode(data.data(), data.size(), out, error);
}
