// What the Win32 files share: the seam's opaque handles are the system's own.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// winuser.h names two resource types like our icon and cursor numbers.
#undef RES_ICON
#undef RES_CURSOR

struct Window;
struct Cursor;
struct Menu;

inline HWND hwnd_of(Window* window)
{
    return reinterpret_cast<HWND>(window);
}
inline Window* window_of(HWND hwnd)
{
    return reinterpret_cast<Window*>(hwnd);
}

// Every resource is the program's own.
inline HINSTANCE program_instance()
{
    return GetModuleHandleW(nullptr);
}

// Our pixels (0x00RRGGBB, top row first) as the system describes a picture.
inline BITMAPINFO top_down_picture(LONG width, LONG height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The running program's full path in UTF-8 (its short form when the long one
// does not fit), or 0 when it cannot be had whole (process.cpp).
size_t program_path(char* buffer, size_t size);

struct Outline;
// The window region of an outline (the caller owns it); an empty outline
// gives the empty region (regions.cpp).
HRGN outline_region(const Outline& outline);
// A fresh copy of the region the window keeps for this outline (the caller
// owns it), or null when the outline is not one of those kept (regions.cpp).
HRGN kept_region_copy(HWND hwnd, const Outline* outline);

// The hidden window of the notification-area icon that reports to `owner`,
// or null (tray.cpp): it holds the menu when the owner, put away, cannot
// take the foreground.
HWND tray_window_of(HWND owner);
