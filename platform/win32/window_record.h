// What the platform keeps for each window it makes (the pet windows, the
// dialogs), in the window itself (GWLP_USERDATA) from its first message to
// WM_NCDESTROY: the owner's pointer and the state of that window alone, so
// that windows side by side never share it.
#pragma once

#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_host.h"

struct KeptRegion {
    const Outline* outline;
    HRGN region;
};

struct TrayIcon;  // tray.cpp

// The picture a layered window is given at each paint (layered.cpp): made at
// the first, of the window's size, and kept with the window.
struct LayeredPicture {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

struct WindowRecord {
    void* user = nullptr;
    WindowProc dialog_proc = nullptr;  // a dialog's own procedure; pet windows have their class's
    int32_t side = 0;                  // a pet window's width and height
    std::vector<KeptRegion> kept;      // its kept outlines' regions, sorted by outline address (regions.cpp)
    TrayIcon* tray = nullptr;          // the notification-area icon reporting to it (tray.cpp)
    // A pet window shown with per-pixel alpha (platform_blend_window): no
    // region; it paints when asked, as the system need not send it WM_PAINT.
    bool blends = false;
    bool blend_pending = false;  // invalidated since its last picture
    LayeredPicture layered;
};

// A record made by a creating call, before the window exists: the window
// takes it with its first message, else it goes when the call returns.
using PendingRecord = std::unique_ptr<WindowRecord>;
PendingRecord new_window_record(void* user);

// The window takes the record handed over at creation (null: none).
void adopt_window_record(HWND hwnd, PendingRecord* pending);
// Null for a window the platform did not make, or once its record is gone.
WindowRecord* window_record(HWND hwnd);
// At WM_NCDESTROY: the record, and the system objects it holds, go with the window.
void release_window_record(HWND hwnd);

// Deletes the window's kept regions (regions.cpp).
void drop_kept_regions(WindowRecord* record);
// Takes the icon reporting to the window out of the notification area (tray.cpp).
void drop_tray_icon(WindowRecord* record);
// Deletes the layered window's picture (layered.cpp).
void drop_layered_picture(WindowRecord* record);
// A window that blends paints now when it was invalidated (layered.cpp).
void paint_blended_when_pending(HWND hwnd);
