// Each window's record, kept in the window's own user data.
#include "platform/win32/window_record.h"

#include <new>

PendingRecord new_window_record(void* user)
{
    PendingRecord record(new (std::nothrow) WindowRecord);
    if (record)
        record->user = user;
    return record;
}

void adopt_window_record(HWND hwnd, PendingRecord* pending)
{
    if (pending && *pending)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pending->release()));
}

WindowRecord* window_record(HWND hwnd)
{
    return reinterpret_cast<WindowRecord*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void release_window_record(HWND hwnd)
{
    WindowRecord* record = window_record(hwnd);
    if (!record)
        return;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    drop_kept_regions(record);
    drop_tray_icon(record);
    drop_layered_picture(record);
    delete record;
}

void* platform_window_user(Window* window)
{
    const WindowRecord* record = window ? window_record(hwnd_of(window)) : nullptr;
    return record ? record->user : nullptr;
}
