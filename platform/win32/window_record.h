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

struct WindowRecord {
    void* user = nullptr;
    WindowProc dialog_proc = nullptr;  // a dialog's own procedure; pet windows have their class's
    int32_t side = 0;                  // a pet window's width and height
    std::vector<KeptRegion> kept;      // its kept outlines' regions, sorted by outline address (regions.cpp)
    TrayIcon* tray = nullptr;          // the notification-area icon reporting to it (tray.cpp)
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
