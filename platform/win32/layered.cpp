// Pet windows with per-pixel alpha: layered windows given their whole picture
// with UpdateLayeredWindow. The system blends it over what lies behind and
// passes clicks on pixels of alpha 0 to the windows below.
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/window_record.h"

namespace {

bool make_picture(LayeredPicture& picture, int32_t width, int32_t height)
{
    picture.dc = CreateCompatibleDC(nullptr);
    if (!picture.dc)
        return false;
    BITMAPINFO info = top_down_picture(width, height);
    void* bits = nullptr;
    picture.bitmap = CreateDIBSection(picture.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!picture.bitmap)
        return false;
    picture.previous = SelectObject(picture.dc, picture.bitmap);
    picture.pixels = static_cast<uint32_t*>(bits);
    picture.width = width;
    picture.height = height;
    return true;
}

}  // namespace

void drop_layered_picture(WindowRecord* record)
{
    LayeredPicture& picture = record->layered;
    if (picture.dc && picture.previous)
        SelectObject(picture.dc, picture.previous);
    if (picture.bitmap)
        DeleteObject(picture.bitmap);
    if (picture.dc)
        DeleteDC(picture.dc);
    picture = LayeredPicture{};
}

void paint_blended_when_pending(HWND hwnd)
{
    const WindowRecord* record = window_record(hwnd);
    if (record && record->blends && record->blend_pending)
        SendMessageW(hwnd, WM_PAINT, 0, 0);
}

bool platform_blend_window(Window* window)
{
    HWND hwnd = hwnd_of(window);
    WindowRecord* record = window_record(hwnd);
    if (!record)
        return false;
    // The alpha decides what shows and what takes clicks: no region.
    SetWindowRgn(hwnd, nullptr, FALSE);
    SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    record->blends = true;
    record->blend_pending = true;
    return true;
}

void platform_present_blended(Window* window, const uint32_t* pixels, int32_t width, int32_t height)
{
    HWND hwnd = hwnd_of(window);
    WindowRecord* record = window_record(hwnd);
    if (!record || !record->blends || width <= 0 || height <= 0)
        return;
    LayeredPicture& picture = record->layered;
    if (picture.width != width || picture.height != height) {
        drop_layered_picture(record);
        if (!make_picture(picture, width, height)) {
            drop_layered_picture(record);
            return;
        }
    }
    // Ours are the system's premultiplied BGRA words as they are.
    std::memcpy(picture.pixels, pixels, size_t(width) * size_t(height) * sizeof *pixels);
    GdiFlush();
    SIZE size = {width, height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, nullptr, nullptr, &size, picture.dc, &origin, 0, &blend, ULW_ALPHA);
    record->blend_pending = false;
}
