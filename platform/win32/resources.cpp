// The program's own bitmaps, cursors and menu.
#include "graphics/bmp.h"
#include "platform/platform.h"
#include "platform/win32/win32_host.h"

namespace {

// A 1-bit bitmap as a bottom-up picture with its two-entry colour table, the
// way the mask's bits are read; turned into our top-row-first indices.
bool read_one_bit(HDC dc, HBITMAP bitmap, int32_t width, int32_t height, Bitmap* out)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    size_t stride = ((size_t(width) + 31) / 32) * 4;
    std::vector<uint8_t> rows(stride * size_t(height));
    if (GetDIBits(dc, bitmap, 0, UINT(height), rows.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) !=
        height)
        return false;
    out->palette.resize(2);
    for (int i = 0; i < 2; ++i) {
        const RGBQUAD& c = info.colours[i];
        out->palette[size_t(i)] = uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
    }
    out->indices.resize(size_t(width) * size_t(height));
    out->pixels.resize(out->indices.size());
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* line = rows.data() + size_t(height - 1 - y) * stride;
        for (int32_t x = 0; x < width; ++x) {
            uint8_t index = line[x / 8] >> (7 - x % 8) & 1;
            size_t at = size_t(y) * size_t(width) + size_t(x);
            out->indices[at] = index;
            out->pixels[at] = out->palette[index];
        }
    }
    out->bits_per_pixel = 1;
    return true;
}

bool read_colour(HDC dc, HBITMAP bitmap, int32_t width, int32_t height, Bitmap* out)
{
    BITMAPINFO info = top_down_picture(width, height);
    out->pixels.resize(size_t(width) * size_t(height));
    if (GetDIBits(dc, bitmap, 0, UINT(height), out->pixels.data(), &info, DIB_RGB_COLORS) != height)
        return false;
    for (uint32_t& p : out->pixels)
        p &= 0xFFFFFF;
    out->indices.clear();
    out->palette.clear();
    out->bits_per_pixel = 32;
    return true;
}

}  // namespace

bool platform_load_bitmap(int resource_id, Bitmap* out)
{
    HBITMAP bitmap = LoadBitmapW(program_instance(), MAKEINTRESOURCEW(resource_id));
    if (!bitmap)
        return false;
    BITMAP facts = {};
    bool ok = GetObjectW(bitmap, sizeof facts, &facts) != 0 && facts.bmWidth > 0 && facts.bmHeight > 0;
    if (ok) {
        out->width = facts.bmWidth;
        out->height = facts.bmHeight;
        HDC dc = GetDC(nullptr);
        ok = dc && (facts.bmBitsPixel == 1 ? read_one_bit(dc, bitmap, facts.bmWidth, facts.bmHeight, out)
                                           : read_colour(dc, bitmap, facts.bmWidth, facts.bmHeight, out));
        if (dc)
            ReleaseDC(nullptr, dc);
    }
    DeleteObject(bitmap);
    return ok;
}

Cursor* platform_load_cursor(int resource_id)
{
    return reinterpret_cast<Cursor*>(LoadCursorW(program_instance(), MAKEINTRESOURCEW(resource_id)));
}

Menu* platform_load_pet_menu(int resource_id)
{
    HMENU menu = LoadMenuW(program_instance(), MAKEINTRESOURCEW(resource_id));
    if (!menu)
        return nullptr;
    return reinterpret_cast<Menu*>(GetSubMenu(menu, 0));
}
