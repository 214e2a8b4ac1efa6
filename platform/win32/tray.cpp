// The notification-area icon (Shell_NotifyIconW) with a hidden window of its
// own for the icon's messages, put back whenever Explorer makes the taskbar
// anew ("TaskbarCreated"); and the items the shell adds to the menu.
#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"
#include <shellapi.h>  // after windows.h, which it needs

namespace {

const wchar_t TRAY_CLASS[] = L"DorrabeeTray";
constexpr UINT ICON_MESSAGE = WM_APP + 2;
constexpr UINT ICON_ID = 1;

// The program's one icon: its window, who hears of clicks, what it says.
struct Tray {
    HWND window = nullptr;
    Window* owner = nullptr;
    UINT taskbar_created = 0;
    bool shown = false;
    wchar_t tip[128] = L"";
};
Tray tray;

NOTIFYICONDATAW icon_data()
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = tray.window;
    data.uID = ICON_ID;
    return data;
}

bool put_icon()
{
    NOTIFYICONDATAW data = icon_data();
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = ICON_MESSAGE;
    data.hIcon = static_cast<HICON>(LoadImageW(program_instance(), MAKEINTRESOURCEW(RES_ICON), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    lstrcpynW(data.szTip, tray.tip, int(sizeof data.szTip / sizeof data.szTip[0]));
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

LRESULT CALLBACK tray_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == tray.taskbar_created && message != 0) {
        tray.shown = put_icon();
        return 0;
    }
    if (message == ICON_MESSAGE && tray.owner) {
        POINT at;
        GetCursorPos(&at);
        const LPARAM where = MAKELPARAM(WORD(SHORT(at.x)), WORD(SHORT(at.y)));
        if (LOWORD(lparam) == WM_LBUTTONUP)
            SendMessageW(hwnd_of(tray.owner), MSG_TRAY, TRAY_ACTIVATED, where);
        else if (LOWORD(lparam) == WM_RBUTTONUP || LOWORD(lparam) == WM_CONTEXTMENU)
            SendMessageW(hwnd_of(tray.owner), MSG_TRAY, TRAY_MENU_WANTED, where);
        return 0;
    }
    // The command of a menu this window held while the pet was away.
    if (message == WM_COMMAND && tray.owner) {
        PostMessageW(hwnd_of(tray.owner), WM_COMMAND, wparam, lparam);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

HWND tray_window()
{
    return tray.window;
}

bool platform_add_tray_icon(Window* owner, const char* tip)
{
    if (!tray.window) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = tray_proc;
        wc.hInstance = program_instance();
        wc.lpszClassName = TRAY_CLASS;
        RegisterClassExW(&wc);
        // A top-level window, never shown: a message-only one would not hear the broadcast.
        tray.window = CreateWindowExW(WS_EX_TOOLWINDOW, TRAY_CLASS, L"Dorrabee", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      program_instance(), nullptr);
        if (!tray.window)
            return false;
        tray.taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
    }
    tray.owner = owner;
    utf16_from_utf8(tip, tray.tip, sizeof tray.tip / sizeof tray.tip[0], Fit::cut);
    tray.shown = put_icon();
    return true;
}

bool platform_tray_icon_shown()
{
    return tray.shown;
}

void platform_remove_tray_icon()
{
    if (!tray.window)
        return;
    NOTIFYICONDATAW data = icon_data();
    Shell_NotifyIconW(NIM_DELETE, &data);
    DestroyWindow(tray.window);
    tray = Tray{};
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
