// The notification-area icon (Shell_NotifyIconW) with a hidden window of its
// own for the icon's messages, put back whenever Explorer makes the taskbar
// anew ("TaskbarCreated"); kept in the record of the window it reports to.
// And the items the shell adds to the menu.
#include <new>

#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/window_record.h"
#include <shellapi.h>  // after windows.h, which it needs

// One icon: its hidden window, the window that hears of clicks, what it says.
struct TrayIcon {
    HWND window = nullptr;
    HWND owner = nullptr;
    UINT taskbar_created = 0;
    bool shown = false;
    wchar_t tip[128] = L"";
};

namespace {

const wchar_t TRAY_CLASS[] = L"DorrabeeTray";
constexpr UINT ICON_MESSAGE = WM_APP + 2;
constexpr UINT ICON_ID = 1;

NOTIFYICONDATAW icon_data(const TrayIcon& tray)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = tray.window;
    data.uID = ICON_ID;
    return data;
}

bool put_icon(const TrayIcon& tray)
{
    NOTIFYICONDATAW data = icon_data(tray);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = ICON_MESSAGE;
    data.hIcon = static_cast<HICON>(LoadImageW(program_instance(), MAKEINTRESOURCEW(RES_ICON), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    lstrcpynW(data.szTip, tray.tip, int(sizeof data.szTip / sizeof data.szTip[0]));
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

// The hidden window's icon, kept in its extra bytes (its user data is not a
// window record, so it must never look like one).
TrayIcon* icon_of(HWND hwnd)
{
    return reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(hwnd, 0));
}

LRESULT CALLBACK tray_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    TrayIcon* tray = icon_of(hwnd);
    if (!tray)
        return DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == tray->taskbar_created && message != 0) {
        tray->shown = put_icon(*tray);
        return 0;
    }
    if (message == ICON_MESSAGE) {
        POINT at;
        GetCursorPos(&at);
        const LPARAM where = MAKELPARAM(WORD(SHORT(at.x)), WORD(SHORT(at.y)));
        if (LOWORD(lparam) == WM_LBUTTONUP)
            SendMessageW(tray->owner, MSG_TRAY, TRAY_ACTIVATED, where);
        else if (LOWORD(lparam) == WM_RBUTTONUP || LOWORD(lparam) == WM_CONTEXTMENU)
            SendMessageW(tray->owner, MSG_TRAY, TRAY_MENU_WANTED, where);
        return 0;
    }
    // The command of a menu this window held while the owner was away.
    if (message == WM_COMMAND) {
        PostMessageW(tray->owner, WM_COMMAND, wparam, lparam);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

TrayIcon* make_icon(HWND owner)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = tray_proc;
    wc.cbWndExtra = sizeof(TrayIcon*);
    wc.hInstance = program_instance();
    wc.lpszClassName = TRAY_CLASS;
    RegisterClassExW(&wc);  // fails harmlessly when the class is there already
    TrayIcon* tray = new (std::nothrow) TrayIcon;
    if (!tray)
        return nullptr;
    // A top-level window, never shown: a message-only one would not hear the broadcast.
    tray->window = CreateWindowExW(WS_EX_TOOLWINDOW, TRAY_CLASS, L"Dorrabee", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   program_instance(), nullptr);
    if (!tray->window) {
        delete tray;
        return nullptr;
    }
    tray->owner = owner;
    tray->taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
    SetWindowLongPtrW(tray->window, 0, reinterpret_cast<LONG_PTR>(tray));
    return tray;
}

}  // namespace

HWND tray_window_of(HWND owner)
{
    const WindowRecord* record = window_record(owner);
    return record && record->tray ? record->tray->window : nullptr;
}

void drop_tray_icon(WindowRecord* record)
{
    TrayIcon* tray = record->tray;
    if (!tray)
        return;
    record->tray = nullptr;
    NOTIFYICONDATAW data = icon_data(*tray);
    Shell_NotifyIconW(NIM_DELETE, &data);
    SetWindowLongPtrW(tray->window, 0, 0);
    DestroyWindow(tray->window);
    delete tray;
}

bool platform_add_tray_icon(Window* owner, const char* tip)
{
    WindowRecord* record = window_record(hwnd_of(owner));
    if (!record)
        return false;
    if (!record->tray)
        record->tray = make_icon(hwnd_of(owner));
    if (!record->tray)
        return false;
    if (record->tray->shown) {  // put anew, with the new tip
        NOTIFYICONDATAW data = icon_data(*record->tray);
        Shell_NotifyIconW(NIM_DELETE, &data);
    }
    utf16_from_utf8(tip, record->tray->tip, sizeof record->tray->tip / sizeof record->tray->tip[0], Fit::cut);
    record->tray->shown = put_icon(*record->tray);
    return true;
}

bool platform_tray_icon_shown(Window* owner)
{
    const WindowRecord* record = window_record(hwnd_of(owner));
    return record && record->tray && record->tray->shown;
}

void platform_remove_tray_icon(Window* owner)
{
    if (WindowRecord* record = window_record(hwnd_of(owner)))
        drop_tray_icon(record);
}

void platform_set_menu_item(Menu* menu, int before_command, int command, const char* caption, int checked)
{
    HMENU handle = reinterpret_cast<HMENU>(menu);
    const bool there = GetMenuState(handle, UINT(command), MF_BYCOMMAND) != UINT(-1);
    if (!caption) {
        if (there)
            DeleteMenu(handle, UINT(command), MF_BYCOMMAND);
        return;
    }
    wchar_t text[128];
    utf16_from_utf8(caption, text, 128, Fit::cut);
    const UINT flags = MF_BYCOMMAND | MF_STRING | (checked == 1 ? MF_CHECKED : MF_UNCHECKED);
    if (there)
        ModifyMenuW(handle, UINT(command), flags, UINT_PTR(command), text);
    else
        InsertMenuW(handle, UINT(before_command), flags, UINT_PTR(command), text);
}
