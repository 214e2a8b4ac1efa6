// The pet window, its outline, timers, the mouse and the message loop.
#include "engine/shared.h"
#include "graphics/outline.h"
#include "platform/platform.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/window_record.h"

namespace {

const wchar_t PET_CLASS[] = L"DorrabeeWClass";
WindowProc pet_proc = nullptr;

// The window takes its record with WM_NCCREATE and lets it go with its last
// message, after the shell's procedure has seen it. The few messages before
// (WM_GETMINMAXINFO) get the default handling: the shell's procedure only
// hears from a window that knows what it belongs to.
LRESULT CALLBACK pet_trampoline(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE)
        adopt_window_record(hwnd,
                            static_cast<PendingRecord*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    if (!pet_proc || !window_record(hwnd))
        return DefWindowProcW(hwnd, message, wparam, lparam);
    const LRESULT result = pet_proc(window_of(hwnd), message, wparam, lparam);
    if (message == WM_NCDESTROY)
        release_window_record(hwnd);
    return result;
}

}  // namespace

struct PlatformMessage {
    MSG msg;
};

void platform_register_pet_class(WindowProc proc)
{
    pet_proc = proc;
    HINSTANCE instance = program_instance();
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = pet_trampoline;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(RES_ICON));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(instance, MAKEINTRESOURCEW(RES_CURSOR));
    wc.lpszClassName = PET_CLASS;
    RegisterClassExW(&wc);
}

Window* platform_create_pet_window(int32_t side, void* user)
{
    PendingRecord record = new_window_record(user);
    if (!record)
        return nullptr;
    record->side = side;
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, PET_CLASS, L"Dorrabee", WS_DLGFRAME, CW_USEDEFAULT,
                                CW_USEDEFAULT, side, side, nullptr, nullptr, program_instance(), &record);
    if (!hwnd)
        return nullptr;
    // No border, caption or sizing frame; above other windows; no taskbar button.
    LONG style = GetWindowLongW(hwnd, GWL_STYLE) & LONG(0xFF3BFFFF);
    LONG ex_style = (GetWindowLongW(hwnd, GWL_EXSTYLE) & LONG(0xFFFBFFFF)) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    SetWindowLongW(hwnd, GWL_STYLE, style);
    SetWindowLongW(hwnd, GWL_EXSTYLE, ex_style);
    return window_of(hwnd);
}

void platform_place_hidden(Window* window, int32_t x, int32_t y)
{
    const WindowRecord* record = window_record(hwnd_of(window));
    const int32_t side = record ? record->side : SPRITE_SIZE;
    SetWindowPos(hwnd_of(window), nullptr, x, y, side, side, SWP_NOZORDER | SWP_FRAMECHANGED | SWP_HIDEWINDOW);
}

void platform_show_window(Window* window, int show_command)
{
    ShowWindow(hwnd_of(window), show_command);
    UpdateWindow(hwnd_of(window));
    paint_blended_when_pending(hwnd_of(window));
}

void platform_move_window(Window* window, int32_t x, int32_t y)
{
    RECT r;
    GetWindowRect(hwnd_of(window), &r);
    MoveWindow(hwnd_of(window), x, y, r.right - r.left, r.bottom - r.top, TRUE);
    paint_blended_when_pending(hwnd_of(window));
}

void platform_resize_window(Window* window, int32_t side)
{
    if (WindowRecord* record = window_record(hwnd_of(window)))
        record->side = side;
    SetWindowPos(hwnd_of(window), nullptr, 0, 0, side, side, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_of(window), nullptr, FALSE);
}

void platform_destroy_window(Window* window)
{
    DestroyWindow(hwnd_of(window));
}

intptr_t platform_default_window_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    return DefWindowProcW(hwnd_of(window), message, wparam, lparam);
}

void platform_set_window_outline(Window* window, const Outline* outline)
{
    // A window that blends shows, and takes clicks, where its alpha is.
    const WindowRecord* record = window_record(hwnd_of(window));
    if (record && record->blends)
        return;
    if (!outline) {
        SetWindowRgn(hwnd_of(window), nullptr, TRUE);
        return;
    }
    // A kept outline is one region copy.
    if (HRGN kept = kept_region_copy(hwnd_of(window), outline)) {
        if (!SetWindowRgn(hwnd_of(window), kept, TRUE))
            DeleteObject(kept);
        return;
    }
    // An outline without rectangles is the empty region: the window shows nothing.
    HRGN region = outline_region(*outline);
    if (!region)
        return;
    // The window owns the region from here on.
    if (!SetWindowRgn(hwnd_of(window), region, TRUE))
        DeleteObject(region);
}

void platform_begin_changes(Window* const*, int) {}

// Windows keeps topmost windows above the others by itself, and each change
// goes to the system as it is made: only the last window is raised, and only
// when another of the list stands above it.
void platform_end_changes(Window* const* windows, int count)
{
    if (count < 2)
        return;
    HWND top = hwnd_of(windows[count - 1]);
    for (HWND above = GetWindow(top, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        for (int k = 0; k < count - 1; ++k) {
            if (hwnd_of(windows[k]) != above)
                continue;
            SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
            return;
        }
    }
}

bool platform_set_timer(Window* window, unsigned id, unsigned interval_ms)
{
    return SetTimer(hwnd_of(window), id, interval_ms, nullptr) != 0;
}

void platform_kill_timer(Window* window, unsigned id)
{
    KillTimer(hwnd_of(window), id);
}

void platform_set_capture(Window* window)
{
    SetCapture(hwnd_of(window));
}

void platform_release_capture()
{
    ReleaseCapture();
}

Cursor* platform_set_cursor(Cursor* cursor)
{
    return reinterpret_cast<Cursor*>(SetCursor(reinterpret_cast<HCURSOR>(cursor)));
}

void platform_client_to_screen(Window* window, int32_t* x, int32_t* y)
{
    POINT p = {*x, *y};
    ClientToScreen(hwnd_of(window), &p);
    *x = p.x;
    *y = p.y;
}

void platform_track_popup_menu(Menu* menu, int32_t x, int32_t y, Window* owner)
{
    // Without being the foreground window the owner's menu would not close
    // when the user clicks elsewhere; the posted message lets it close at once.
    // A hidden pet cannot be that window: the icon's window holds the menu
    // and passes the command on.
    HWND icon_window = tray_window_of(hwnd_of(owner));
    HWND holder = IsWindowVisible(hwnd_of(owner)) || !icon_window ? hwnd_of(owner) : icon_window;
    SetForegroundWindow(holder);
    TrackPopupMenu(reinterpret_cast<HMENU>(menu), 0, x, y, 0, holder, nullptr);
    PostMessageW(holder, WM_NULL, 0, 0);
}

int platform_next_message(PlatformMessage** message)
{
    static PlatformMessage current;
    *message = &current;
    BOOL result = GetMessageW(&current.msg, nullptr, 0, 0);
    return result == -1 ? -1 : result ? 1 : 0;
}

bool platform_is_dialog_message(Window* dialog, PlatformMessage* message)
{
    return IsDialogMessageW(hwnd_of(dialog), &message->msg) != 0;
}

void platform_dispatch_message(PlatformMessage* message)
{
    TranslateMessage(&message->msg);
    DispatchMessageW(&message->msg);
}

void platform_post_quit(int code)
{
    PostQuitMessage(code);
}
