// Painting our pixel buffers into windows, and reading the screen behind the
// pet. Nothing here allocates while painting.
#include "engine/shared.h"
#include "graphics/key_runs.h"
#include "platform/platform.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/window_record.h"

namespace {

// A paint in progress, kept per window, so that a paint of one window that
// happens inside another's (through a modal loop) cannot end the other's.
struct Paint {
    HWND hwnd;
    PAINTSTRUCT ps;
};
Paint paints[4];

Paint* paint_of(HWND hwnd)
{
    for (Paint& p : paints)
        if (p.hwnd == hwnd)
            return &p;
    return nullptr;
}

// A window's drawing context, held while its drawing resources are made.
struct Context {
    HWND hwnd;
    HDC dc;
};
Context contexts[4];

// The screen surface and the block it is read through, made once: the
// screen is the process's, shared by every pet that reads it, and closed
// when the last of them is done with it.
int screen_users = 0;
HDC screen_dc = nullptr;
HDC grab_dc = nullptr;
HBITMAP grab_bitmap = nullptr;
HGDIOBJ grab_previous = nullptr;
uint32_t* grab_pixels = nullptr;
int32_t grab_width = 0, grab_height = 0;

void drop_grab_block()
{
    if (grab_dc && grab_previous)
        SelectObject(grab_dc, grab_previous);
    if (grab_bitmap)
        DeleteObject(grab_bitmap);
    grab_bitmap = nullptr;
    grab_previous = nullptr;
    grab_pixels = nullptr;
    grab_width = grab_height = 0;
}

bool make_grab_block(int32_t width, int32_t height)
{
    drop_grab_block();
    BITMAPINFO info = top_down_picture(width, height);
    void* bits = nullptr;
    grab_bitmap = CreateDIBSection(screen_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!grab_bitmap)
        return false;
    grab_previous = SelectObject(grab_dc, grab_bitmap);
    grab_pixels = static_cast<uint32_t*>(bits);
    grab_width = width;
    grab_height = height;
    return true;
}

}  // namespace

// A layered window need not be sent WM_PAINT: it remembers it was asked.
static void note_blend_pending(HWND hwnd)
{
    if (WindowRecord* record = window_record(hwnd))
        record->blend_pending = record->blends;
}

void platform_invalidate(Window* window)
{
    InvalidateRgn(hwnd_of(window), nullptr, FALSE);
    note_blend_pending(hwnd_of(window));
}

void platform_invalidate_rect(Window* window, int32_t x, int32_t y, int32_t width, int32_t height)
{
    RECT r = {x, y, x + width, y + height};
    InvalidateRect(hwnd_of(window), &r, FALSE);
    note_blend_pending(hwnd_of(window));
}

void platform_update_window(Window* window)
{
    UpdateWindow(hwnd_of(window));
    paint_blended_when_pending(hwnd_of(window));
}

bool platform_begin_paint(Window* window)
{
    Paint* slot = paint_of(nullptr);
    if (!slot)
        return false;
    if (!BeginPaint(hwnd_of(window), &slot->ps))
        return false;
    slot->hwnd = hwnd_of(window);
    return true;
}

void platform_end_paint(Window* window)
{
    Paint* p = paint_of(hwnd_of(window));
    if (!p)
        return;
    EndPaint(p->hwnd, &p->ps);
    p->hwnd = nullptr;
}

void platform_present(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y)
{
    Paint* p = paint_of(hwnd_of(window));
    if (!p)
        return;
    BITMAPINFO info = top_down_picture(width, height);
    SetDIBitsToDevice(p->ps.hdc, x, y, width, height, 0, 0, 0, height, pixels, &info, DIB_RGB_COLORS);
}

void platform_present_keyed(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y,
                            uint32_t key)
{
    Paint* p = paint_of(hwnd_of(window));
    if (!p)
        return;
    // Only the rows and columns inside the area being repainted: after a tick
    // of the About scene that excludes the title art altogether.
    const RECT& dirty = p->ps.rcPaint;
    int32_t first_row = dirty.top > y ? dirty.top - y : 0;
    int32_t end_row = dirty.bottom - y < height ? dirty.bottom - y : height;
    int32_t first_col = dirty.left > x ? dirty.left - x : 0;
    int32_t end_col = dirty.right - x < width ? dirty.right - x : width;
    // Each row is handed over as a picture one row high, and each run of
    // non-key pixels in it is drawn from there.
    BITMAPINFO row_info = top_down_picture(width, 1);
    for_each_unkeyed_run(pixels, width, first_row, end_row, first_col, end_col, key,
                         [&](int32_t row, int32_t start, int32_t end) {
                             SetDIBitsToDevice(p->ps.hdc, x + start, y + row, end - start, 1, start, 0, 0, 1,
                                               pixels + size_t(row) * size_t(width), &row_info, DIB_RGB_COLORS);
                         });
}

bool platform_acquire_window_context(Window* window)
{
    for (Context& c : contexts) {
        if (c.hwnd)
            continue;
        c.dc = GetWindowDC(hwnd_of(window));
        if (!c.dc)
            return false;
        c.hwnd = hwnd_of(window);
        return true;
    }
    return false;
}

void platform_release_window_context(Window* window)
{
    for (Context& c : contexts) {
        if (c.hwnd != hwnd_of(window))
            continue;
        ReleaseDC(c.hwnd, c.dc);
        c = {};
        return;
    }
}

void platform_client_size(Window* window, int32_t* width, int32_t* height)
{
    RECT r = {};
    GetClientRect(hwnd_of(window), &r);
    *width = r.right - r.left;
    *height = r.bottom - r.top;
}

bool platform_open_screen()
{
    if (screen_dc) {
        ++screen_users;
        return true;
    }
    screen_dc = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!screen_dc)
        return false;
    grab_dc = CreateCompatibleDC(screen_dc);
    screen_users = 1;
    if (grab_dc && make_grab_block(SPRITE_SIZE, SPRITE_SIZE))
        return true;
    platform_close_screen();
    return false;
}

void platform_close_screen()
{
    if (screen_users > 1) {
        --screen_users;
        return;
    }
    screen_users = 0;
    drop_grab_block();
    if (grab_dc)
        DeleteDC(grab_dc);
    if (screen_dc)
        DeleteDC(screen_dc);
    grab_dc = screen_dc = nullptr;
}

void platform_capture_screen(Window*, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t* pixels)
{
    if (!screen_dc)
        return;
    if ((width > grab_width || height > grab_height) && !make_grab_block(width, height))
        return;
    BitBlt(grab_dc, 0, 0, width, height, screen_dc, x, y, SRCCOPY);
    GdiFlush();  // the block's memory is read directly below
    for (int32_t row = 0; row < height; ++row)
        for (int32_t col = 0; col < width; ++col)
            pixels[size_t(row) * size_t(width) + size_t(col)] =
                grab_pixels[size_t(row) * size_t(grab_width) + size_t(col)] & 0xFFFFFF;
}
