// The program's resources, compiled in from resources/: bitmaps through our
// own decoder, the icon and cursors through the small reader below.
#include <QApplication>
#include <QPixmap>
#include <cstring>
#include <string>

#include "graphics/bmp.h"
#include "graphics/zoom.h"
#include "platform/qt/qt_host.h"

const EmbeddedFile* embedded_file(int resource_id)
{
    for (size_t i = 0; i < embedded_file_count; ++i) {
        if (embedded_files[i].resource_id == resource_id)
            return &embedded_files[i];
    }
    return nullptr;
}

bool platform_load_bitmap(int resource_id, Bitmap* out)
{
    const EmbeddedFile* file = embedded_file(resource_id);
    std::string error;
    return file && bmp_decode(file->data, file->size, out, &error);
}

// ---- icons and cursors (.ico, .cur)

static uint32_t read_le(const unsigned char* at, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

// One image of the file: a PNG, or a DIB of twice the image's height whose
// colour bits (1, 4, 8, 24 or 32 per pixel) are followed by a 1-bit mask,
// both stored bottom row first.
static bool decode_dib(const unsigned char* data, size_t size, QImage* image)
{
    if (size >= 8 && memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) {
        *image = QImage::fromData(data, static_cast<int>(size), "PNG").convertToFormat(QImage::Format_ARGB32);
        return !image->isNull();
    }
    if (size < 40)
        return false;
    const uint32_t header = read_le(data, 4);
    const auto width = static_cast<int32_t>(read_le(data + 4, 4));
    const auto height = static_cast<int32_t>(read_le(data + 8, 4)) / 2;
    const uint32_t bits = read_le(data + 14, 2);
    const uint32_t compression = read_le(data + 16, 4);
    uint32_t colours = read_le(data + 32, 4);
    if (header < 40 || header > size || width <= 0 || height <= 0 || width > 256 || height > 256 || compression != 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        return false;
    }
    if (bits <= 8 && (colours == 0 || colours > (1u << bits)))
        colours = 1u << bits;
    if (bits > 8)
        colours = 0;
    const size_t palette_at = header;
    const size_t colour_at = palette_at + colours * 4;
    const size_t colour_stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    const size_t mask_at = colour_at + colour_stride * height;
    const size_t mask_stride = (static_cast<size_t>(width) + 31) / 32 * 4;
    if (mask_at + mask_stride * height > size)
        return false;

    *image = QImage(width, height, QImage::Format_ARGB32);
    bool any_alpha = false;
    for (int32_t y = 0; y < height && bits == 32; ++y) {
        const unsigned char* row = data + colour_at + colour_stride * (height - 1 - y);
        for (int32_t x = 0; x < width; ++x)
            any_alpha |= row[x * 4 + 3] != 0;
    }
    for (int32_t y = 0; y < height; ++y) {
        const unsigned char* row = data + colour_at + colour_stride * (height - 1 - y);
        const unsigned char* mask = data + mask_at + mask_stride * (height - 1 - y);
        auto* to = reinterpret_cast<uint32_t*>(image->scanLine(y));
        for (int32_t x = 0; x < width; ++x) {
            uint32_t argb;
            if (bits <= 8) {
                const size_t bit = static_cast<size_t>(x) * bits;
                const uint32_t index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                argb = read_le(data + palette_at + index * 4, 3);
            } else {
                argb = read_le(row + x * (bits / 8), 3);
            }
            const bool clear = (mask[x / 8] >> (7 - x % 8)) & 1;
            if (bits == 32 && any_alpha) {
                argb |= static_cast<uint32_t>(row[x * 4 + 3]) << 24;
            } else if (!clear) {
                argb |= 0xFF000000u;
            } else {
                // Where the mask is set a non-black pixel inverts the screen;
                // Qt cannot, so it is drawn black.
                argb = argb ? 0xFF000000u : 0;
            }
            to[x] = argb;
        }
    }
    return true;
}

bool decode_icon(const unsigned char* data, size_t size, QImage* image, QPoint* hot_spot)
{
    if (size < 6 || read_le(data, 2) != 0)
        return false;
    const uint32_t type = read_le(data + 2, 2), count = read_le(data + 4, 2);
    if ((type != 1 && type != 2) || count == 0 || 6 + count * 16 > size)
        return false;
    const unsigned char* best = nullptr;
    uint32_t best_width = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = data + 6 + i * 16;
        const uint32_t width = entry[0] ? entry[0] : 256;
        if (width > best_width)
            best = entry, best_width = width;
    }
    const uint32_t length = read_le(best + 8, 4), offset = read_le(best + 12, 4);
    if (offset > size || length > size - offset || !decode_dib(data + offset, length, image))
        return false;
    *hot_spot = type == 2 ? QPoint(static_cast<int>(read_le(best + 4, 2)), static_cast<int>(read_le(best + 6, 2)))
                          : QPoint(image->width() / 2, image->height() / 2);
    return true;
}

QIcon program_icon()
{
    const EmbeddedFile* file = embedded_file(RES_ICON);
    QImage image;
    QPoint centre;
    if (!file || !decode_icon(file->data, file->size, &image, &centre))
        return {};
    return QIcon(QPixmap::fromImage(image));
}

Cursor* platform_load_cursor(int resource_id)
{
    const EmbeddedFile* file = embedded_file(resource_id);
    QImage image;
    QPoint hot_spot;
    if (!file || !decode_icon(file->data, file->size, &image, &hot_spot))
        return nullptr;
    // Cursors live until the process ends, as the pet's other resources do.
    // X shows a cursor at its pixel size: it grows with the pet, hot spot and all.
    const int32_t z = picture_zoom();
    return new Cursor{QCursor(QPixmap::fromImage(zoomed_image(image, z)), hot_spot.x() * z, hot_spot.y() * z)};
}

// The process's one zoom for pictures (the pet's own, set by platform_set_zoom).
static int32_t zoom_of_pictures = 1;

int32_t picture_zoom()
{
    return zoom_of_pictures;
}

void set_picture_zoom(int32_t z)
{
    zoom_of_pictures = z;
}

QImage zoomed_image(const QImage& image, int32_t z)
{
    if (z <= 1 || image.isNull())
        return image;
    // 32-bit rows have no padding, so the image's bits are our pixel buffers.
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    QImage out(source.width() * z, source.height() * z, QImage::Format_ARGB32);
    zoom_pixels(reinterpret_cast<uint32_t*>(out.bits()), reinterpret_cast<const uint32_t*>(source.constBits()),
                source.width(), source.height(), z);
    return out;
}

int32_t dpi_from_x_resources(const std::string& resources)
{
    // One resource a line, "name:<blanks>value"; the last Xft.dpi counts, as for xrdb.
    int32_t dpi = 0;
    size_t at = 0;
    while (at < resources.size()) {
        size_t end = resources.find('\n', at);
        if (end == std::string::npos)
            end = resources.size();
        const std::string line = resources.substr(at, end - at);
        static const std::string name = "Xft.dpi:";
        if (line.compare(0, name.size(), name) == 0) {
            const double value = atof(line.c_str() + name.size());
            if (value > 0 && value < 10000)
                dpi = static_cast<int32_t>(value + 0.5);
        }
        at = end + 1;
    }
    return dpi;
}

int32_t dpi_from_scale_factor(const char* factor)
{
    const double value = factor ? atof(factor) : 0;
    return value > 0 && value < 100 ? static_cast<int32_t>(value * DPI_PER_ZOOM + 0.5) : 0;
}
