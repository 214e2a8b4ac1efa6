// The contract suite on Win32 (under Wine): the system's own message loop,
// regions, menus and picture controls.
#include "platform/win32/win32_host.h"
#include "tests/platform/contract.h"

#include <string>

namespace {

std::function<bool()> close_when;
DWORD close_started = 0;

BOOL CALLBACK find_box(HWND window, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring(name) == L"#32770")
        *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

// A thread timer: its messages are dispatched by every modal loop.
void CALLBACK close_modal(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_box, reinterpret_cast<LPARAM>(&box));
    if (!(close_when && close_when()) && GetTickCount() - close_started < 2000)
        return;
    KillTimer(nullptr, timer);
    close_when = nullptr;
    if (box)
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    else
        EndMenu();
}

std::string utf8(const wchar_t* text)
{
    char bytes[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

}  // namespace

bool contract_run_until(const std::function<bool()>& done, int ms)
{
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < DWORD(ms)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    return done();
}

void contract_close_modal_when(std::function<bool()> done)
{
    close_when = std::move(done);
    close_started = GetTickCount();
    SetTimer(nullptr, 0, 10, close_modal);
}

bool contract_window_shows(Window* window, int32_t x, int32_t y)
{
    RECT client;
    GetClientRect(hwnd_of(window), &client);
    if (!PtInRect(&client, POINT{x, y}))
        return false;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(hwnd_of(window), region);
    const bool shows = kind == ERROR || PtInRegion(region, x, y);  // no region: the whole window
    DeleteObject(region);
    return shows;
}

std::string contract_menu(Menu* menu)
{
    HMENU handle = reinterpret_cast<HMENU>(menu);
    std::string shown;
    for (int i = 0; i < GetMenuItemCount(handle); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_STATE;
        item.dwTypeData = text;
        item.cch = 128;
        GetMenuItemInfoW(handle, UINT(i), TRUE, &item);
        if (item.fType & MFT_SEPARATOR)
            continue;
        if (!item.hSubMenu) {
            shown += std::to_string(item.wID) + "|";
            continue;
        }
        shown += utf8(text) + ":";
        for (int j = 0; j < GetMenuItemCount(item.hSubMenu); ++j) {
            wchar_t name[128] = {};
            GetMenuStringW(item.hSubMenu, UINT(j), name, 128, MF_BYPOSITION);
            const bool checked = GetMenuState(item.hSubMenu, UINT(j), MF_BYPOSITION) & MF_CHECKED;
            if (j)
                shown += ",";
            if (checked)
                shown += "*";
            shown += utf8(name);
        }
        shown += "|";
    }
    return shown;
}

namespace {
BOOL CALLBACK picture_width(HWND control, LPARAM width)
{
    if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
        return TRUE;
    BITMAP size = {};
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (bitmap && GetObjectW(bitmap, sizeof size, &size))
        *reinterpret_cast<int32_t*>(width) = size.bmWidth;
    return FALSE;
}
}  // namespace

int32_t contract_picture_width(Window* dialog)
{
    int32_t width = 0;
    EnumChildWindows(hwnd_of(dialog), picture_width, reinterpret_cast<LPARAM>(&width));
    return width;
}
