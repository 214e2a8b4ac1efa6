// Looks at the running program's dialogs and message boxes from another
// process in the same Wine session, for the end-to-end scripts: what a user
// reads on the screen, as text.
//
//   wine_inspect boxes     the text of each open "Dorrabee" message box, one a line
//   wine_inspect buttons   the caption of each open "Dorrabee" message box's button
//   wine_inspect options   how many Options dialogs are open (in any language); the
//                          first one's title, mode and, per button and field, its
//                          id, centre on the screen and text; its window's place
//                          and size
//   wine_inspect about     how many About dialogs are open; the first one's title,
//                          window and client area on the screen, and its texts
//   wine_inspect version EXE
//                          the file's version resource, as Explorer's Details show it
//   wine_inspect move options|about X Y
//                          moves that dialog's top-left corner to (X, Y)
//   wine_inspect captions options|about
//                          the screen rectangle "x y w h" of each control of
//                          that dialog that shows a caption, one a line
//   wine_inspect codepage  the code page for non-Unicode programs
//   wine_inspect screen    the primary screen's size as Wine measures it, "W H"
//   wine_inspect monitors  each monitor Wine reports, "x y w h", the primary first
//   wine_inspect cover N SECONDS
//                          a borderless window over the whole of monitor N (1 the
//                          primary), in front, as borderless games make, for
//                          SECONDS, then gone
//   wine_inspect displaychange W H
//                          tells every top-level window that the screen is now W x H,
//                          as Windows does after a change of mode (Wine measures the
//                          X screen its desktop stands on anew when it changes, but
//                          does not tell the windows)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Each dialog's title in Chinese and in English.
const std::vector<std::wstring> OPTIONS_CAPTION = {L"Dorrabee \x2014 \x9009\x9879", L"Dorrabee \x2014 Options"};
const std::vector<std::wstring> ABOUT_CAPTION = {
    L"\x5173\x4e8e"
    L"Dorrabee",
    L"About Dorrabee"};
const std::vector<std::wstring> BOX_CAPTION = {L"Dorrabee"};

const std::vector<std::wstring>& caption_of(const std::string& which)
{
    return which == "about" ? ABOUT_CAPTION : OPTIONS_CAPTION;
}

std::string utf8(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    out.resize(size_t(n - 1));
    return out;
}

// Asked of the window itself: GetWindowText of another process's control
// gives only its creation caption, not what the user typed.
std::wstring text_of(HWND window)
{
    wchar_t buffer[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &length);
    return buffer;
}

// Visible dialogs (class "#32770") with one of the given captions.
std::vector<HWND> dialogs(const std::vector<std::wstring>& captions)
{
    struct Search {
        const std::vector<std::wstring>& captions;
        std::vector<HWND> found;
    } search{captions, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (!IsWindowVisible(window) || std::wstring(name) != L"#32770")
                return TRUE;
            for (const std::wstring& caption : s->captions)
                if (text_of(window) == caption)
                    s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void print_window(HWND window)
{
    RECT frame = {};
    GetWindowRect(window, &frame);
    printf("window=%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
}

int boxes()
{
    for (HWND box : dialogs(BOX_CAPTION))
        printf("%s\n", utf8(text_of(GetDlgItem(box, 0xFFFF))).c_str());
    return 0;
}

int buttons()
{
    for (HWND box : dialogs(BOX_CAPTION))
        printf("%s\n", utf8(text_of(GetDlgItem(box, IDOK))).c_str());
    return 0;
}

int options()
{
    std::vector<HWND> found = dialogs(OPTIONS_CAPTION);
    printf("count=%zu\n", found.size());
    if (found.empty())
        return 0;
    HWND dialog = found[0];
    printf("title=%s\n", utf8(text_of(dialog)).c_str());
    print_window(dialog);
    const struct {
        int id;
        int mode;
    } buttons[] = {{1000, 1}, {1001, 2}, {1006, 0}};
    int mode = -1;
    for (const auto& b : buttons)
        if (SendDlgItemMessageW(dialog, b.id, BM_GETCHECK, 0, 0) == BST_CHECKED)
            mode = b.mode;
    printf("mode=%d\n", mode);
    for (int id : {1000, 1001, 1006, 1002, 1003, 1004, 1005, 1007, 1, 2}) {
        HWND field = GetDlgItem(dialog, id);
        RECT r = {};
        GetWindowRect(field, &r);
        printf("%d %ld %ld %s\n", id, (r.left + r.right) / 2, (r.top + r.bottom) / 2, utf8(text_of(field)).c_str());
    }
    return 0;
}

int captions(const std::string& which)
{
    std::vector<HWND> found = dialogs(caption_of(which));
    if (found.empty())
        return 1;
    for (HWND control = GetWindow(found[0], GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        GetClassNameW(control, name, 16);
        if (_wcsicmp(name, L"Edit") == 0 || text_of(control).empty())
            continue;
        RECT r = {};
        GetWindowRect(control, &r);
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    return 0;
}

int about()
{
    std::vector<HWND> found = dialogs(ABOUT_CAPTION);
    printf("count=%zu\n", found.size());
    if (found.empty())
        return 0;
    printf("title=%s\n", utf8(text_of(found[0])).c_str());
    print_window(found[0]);
    RECT r = {};
    GetClientRect(found[0], &r);
    POINT origin = {0, 0};
    ClientToScreen(found[0], &origin);
    printf("client=%ld %ld %ld %ld\n", origin.x, origin.y, r.right, r.bottom);
    for (HWND child = GetWindow(found[0], GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string text = utf8(text_of(child));
        for (size_t at; (at = text.find('\n')) != std::string::npos;)
            text.replace(at, 1, "\\n");
        if (!text.empty())
            printf("text=%s\n", text.c_str());
    }
    return 0;
}

int version(const char* path)
{
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(path, &ignored);
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!size || !GetFileVersionInfoA(path, 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length))
        return 1;
    printf("fixed=%u.%u.%u.%u\n", unsigned(HIWORD(fixed->dwFileVersionMS)), unsigned(LOWORD(fixed->dwFileVersionMS)),
           unsigned(HIWORD(fixed->dwFileVersionLS)), unsigned(LOWORD(fixed->dwFileVersionLS)));
    for (const char* name : {"FileVersion", "ProductVersion", "ProductName"}) {
        char* value = nullptr;
        std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            printf("%s=%s\n", name, value);
    }
    return 0;
}

// Moving a dialog by dragging its caption with the mouse made Wine's X11
// driver unmap a window of another client and die; SetWindowPos is what a
// drag ends in anyway.
int move(const std::string& which, int x, int y)
{
    std::vector<HWND> found = dialogs(caption_of(which));
    if (found.empty())
        return 1;
    return SetWindowPos(found[0], nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
}

std::vector<RECT> monitor_list()
{
    std::vector<RECT> found;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info = {};
            info.cbSize = sizeof info;
            auto* list = reinterpret_cast<std::vector<RECT>*>(data);
            if (GetMonitorInfoW(monitor, &info))
                list->insert((info.dwFlags & MONITORINFOF_PRIMARY) ? list->begin() : list->end(), info.rcMonitor);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int monitors()
{
    for (const RECT& r : monitor_list())
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}

int cover(int number, int seconds)
{
    const std::vector<RECT> list = monitor_list();
    if (number < 1 || size_t(number) > list.size())
        return 1;
    const RECT& r = list[size_t(number) - 1];
    HWND window = CreateWindowExW(0, L"STATIC", L"cover", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    const DWORD end = GetTickCount() + DWORD(seconds) * 1000;
    while (GetTickCount() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(20);
    }
    DestroyWindow(window);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string what = argc > 1 ? argv[1] : "";
    if (what == "boxes")
        return boxes();
    if (what == "buttons")
        return buttons();
    if (what == "options")
        return options();
    if (what == "about")
        return about();
    if (what == "version" && argc == 3)
        return version(argv[2]);
    if (what == "move" && argc == 5)
        return move(argv[2], atoi(argv[3]), atoi(argv[4]));
    if (what == "captions" && argc == 3)
        return captions(argv[2]);
    if (what == "codepage")
        return printf("%u\n", GetACP()) < 0;
    if (what == "screen")
        return printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) < 0;
    if (what == "monitors")
        return monitors();
    if (what == "cover" && argc == 4)
        return cover(atoi(argv[2]), atoi(argv[3]));
    if (what == "displaychange" && argc == 4)
        return !SendMessageTimeoutW(HWND_BROADCAST, WM_DISPLAYCHANGE, 32, MAKELPARAM(atoi(argv[2]), atoi(argv[3])),
                                    SMTO_ABORTIFHUNG, 2000, nullptr);
    fprintf(stderr,
            "usage: wine_inspect boxes|buttons|options|about|codepage|screen|move options|about X Y|captions "
            "options|about|"
            "version EXE|displaychange W H|monitors|cover N SECONDS\n");
    return 2;
}
