// The seam's Win32 side against the real calls: painting our
// buffers, reading the screen back, the settings file and paths.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "graphics/outline.h"
#include "platform/platform.h"
#include "platform/win32/win32_host.h"

namespace {

// A plain visible window whose paints are done by the test's own function.
void (*paint_handler)(Window*) = nullptr;

LRESULT CALLBACK test_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_PAINT && paint_handler) {
        paint_handler(window_of(hwnd));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

HWND make_window(int x, int y, int width, int height)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = test_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Win32PlatformTest";
        RegisterClassA(&wc);
        registered = true;
    }
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Win32PlatformTest", "test", WS_POPUP, x, y, width,
                                height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
}

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// The window's client pixels as they stand, 0x00RRGGBB, top row first.
std::vector<uint32_t> read_window(HWND hwnd, int width, int height)
{
    HDC dc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(dc);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + width * height);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, dc);
    return pixels;
}

std::vector<uint32_t> pattern(int width, int height, uint32_t seed)
{
    std::vector<uint32_t> p(size_t(width * height));
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = (uint32_t(i) * 2654435761u + seed) & 0xFFFFFF;
    return p;
}

}  // namespace

TEST(Win32Painting, PresentCopiesAndKeyedPresentLeavesKeyPixels)
{
    const int width = 60, height = 40;
    const uint32_t key = 0xFFFF00;
    static std::vector<uint32_t> ground, art;
    ground = pattern(width, height, 7);
    art = pattern(31, 17, 99);
    for (size_t i = 0; i < art.size(); i += 3)
        art[i] = key;  // scattered single pixels and runs
    for (int x = 0; x < 31; ++x)
        art[size_t(5 * 31 + x)] = key;
    for (uint32_t& p : ground)
        if (p == key)
            p = 0;

    HWND hwnd = make_window(200, 150, width, height);
    paint_handler = [](Window* w) {
        ASSERT_TRUE(platform_begin_paint(w));
        platform_present(w, ground.data(), width, height, 0, 0);
        platform_present_keyed(w, art.data(), 31, 17, 20, 13, key);
        platform_end_paint(w);
    };
    platform_invalidate(window_of(hwnd));
    platform_update_window(window_of(hwnd));
    std::vector<uint32_t> seen = read_window(hwnd, width, height);
    paint_handler = nullptr;

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t want = ground[size_t(y * width + x)];
            int ax = x - 20, ay = y - 13;
            if (ax >= 0 && ax < 31 && ay >= 0 && ay < 17 && art[size_t(ay * 31 + ax)] != key)
                want = art[size_t(ay * 31 + ax)];
            ASSERT_EQ(seen[size_t(y * width + x)], want) << x << "," << y;
        }
    DestroyWindow(hwnd);
}

TEST(Win32Painting, KeyedPresentDrawsEverythingInsideAPartialRepaint)
{
    const int width = 50, height = 30;
    static std::vector<uint32_t> first, second;
    first = pattern(width, height, 1);
    second = pattern(width, height, 2);
    for (uint32_t* buffer : {first.data(), second.data()})
        for (int i = 0; i < width * height; ++i)
            if (buffer[i] == 0)
                buffer[i] = 1;
    static const std::vector<uint32_t>* shown = &first;

    HWND hwnd = make_window(300, 300, width, height);
    paint_handler = [](Window* w) {
        ASSERT_TRUE(platform_begin_paint(w));
        platform_present_keyed(w, shown->data(), width, height, 0, 0, 0x000000);
        platform_end_paint(w);
    };
    platform_invalidate(window_of(hwnd));
    platform_update_window(window_of(hwnd));
    shown = &second;
    platform_invalidate_rect(window_of(hwnd), 7, 4, 13, 9);
    platform_update_window(window_of(hwnd));
    std::vector<uint32_t> seen = read_window(hwnd, width, height);
    paint_handler = nullptr;

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool repainted = x >= 7 && x < 20 && y >= 4 && y < 13;
            ASSERT_EQ(seen[size_t(y * width + x)], (repainted ? second : first)[size_t(y * width + x)])
                << x << "," << y;
        }
    DestroyWindow(hwnd);
}

TEST(Win32Screen, CaptureReadsWhatIsOnTheScreen)
{
    const int x = 400, y = 260;
    static std::vector<uint32_t> shown;
    shown = pattern(42, 42, 5);
    HWND hwnd = make_window(x, y, 42, 42);
    paint_handler = [](Window* w) {
        ASSERT_TRUE(platform_begin_paint(w));
        platform_present(w, shown.data(), 42, 42, 0, 0);
        platform_end_paint(w);
    };
    platform_invalidate(window_of(hwnd));
    platform_update_window(window_of(hwnd));
    pump();
    Sleep(200);  // the X server shows what the window painted
    pump();

    // Two pets read the screen; the first one done leaves it open for the other.
    ASSERT_TRUE(platform_open_screen());
    ASSERT_TRUE(platform_open_screen());
    platform_close_screen();
    std::vector<uint32_t> captured(42 * 42, 0xABCDEF);
    platform_capture_screen(nullptr, x, y, 42, 42, captured.data());
    EXPECT_EQ(captured, shown);
    // A block partly covering the window: its rows and columns line up.
    std::vector<uint32_t> part(20 * 10);
    platform_capture_screen(nullptr, x + 30, y + 35, 20, 10, part.data());
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 12; ++col)
            ASSERT_EQ(part[size_t(row * 20 + col)], shown[size_t((row + 35) * 42 + col + 30)]);
    platform_close_screen();
    captured.assign(captured.size(), 0xABCDEF);
    platform_capture_screen(nullptr, x, y, 42, 42, captured.data());
    EXPECT_EQ(captured, std::vector<uint32_t>(captured.size(), 0xABCDEF)) << "closed by the last: nothing is read";
    paint_handler = nullptr;
    DestroyWindow(hwnd);
}

TEST(Win32Process, SettingsFileRoundTripAndDefaults)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "dorrabee-platform-test.ini";
    DeleteFileA(path.c_str());

    EXPECT_EQ(platform_ini_read_int(path.c_str(), "Setup", "Timer", 150), 150);  // no file
    EXPECT_TRUE(platform_ini_write_string(path.c_str(), "Setup", "Timer", "75"));
    EXPECT_TRUE(platform_ini_write_string(path.c_str(), "Setup", "Top Margin", "12"));
    EXPECT_EQ(platform_ini_read_int(path.c_str(), "Setup", "Timer", 150), 75);
    EXPECT_EQ(platform_ini_read_int(path.c_str(), "Setup", "Top Margin", 0), 12);
    EXPECT_EQ(platform_ini_read_int(path.c_str(), "Setup", "Left Margin", -3), -3);  // no key
    EXPECT_EQ(platform_ini_read_int(path.c_str(), "Other", "Timer", 9), 9);          // no section
    // Plain ASCII lines, as every earlier build wrote them: no UTF-16.
    std::string bytes;
    if (FILE* file = fopen(path.c_str(), "rb")) {
        for (int c; (c = fgetc(file)) != EOF;)
            bytes.push_back(char(c));
        fclose(file);
    }
    EXPECT_EQ(bytes, "[Setup]\r\nTimer=75\r\nTop Margin=12\r\n");
    DeleteFileA(path.c_str());
}

namespace {

std::wstring wide(const char* utf8)
{
    wchar_t text[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text, MAX_PATH);
    return text;
}

std::wstring long_form(const std::wstring& path)
{
    wchar_t text[MAX_PATH] = {};
    GetLongPathNameW(path.c_str(), text, MAX_PATH);
    return text;
}

}  // namespace

// A folder whose name no code page but Unicode spells: the program's paths
// and its settings file there.
TEST(Win32Process, PathsAndSettingsInFoldersOfAnyScript)
{
    wchar_t temp[MAX_PATH], before[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    GetCurrentDirectoryW(MAX_PATH, before);
    std::wstring folder = std::wstring(temp) + L"\x0410\x043d\x043d\x0430 \x684c\x9762";  // "Анна 桌面"
    // Deep enough that its UTF-8 outgrows the buffer, though its UTF-16 does not.
    std::wstring deep = folder + L"\\" + std::wstring(40, L'\x732b') + L"\\" + std::wstring(40, L'\x72d7');
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\" + std::wstring(40, L'\x732b')).c_str(), nullptr);
    CreateDirectoryW(deep.c_str(), nullptr);

    char path[260];
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    size_t length = platform_current_directory(path, sizeof path);
    EXPECT_EQ(wide(std::string(path, length).c_str()), folder);

    std::string ini = std::string(path, length) + "\\dorra.ini";
    EXPECT_TRUE(platform_ini_write_string(ini.c_str(), "Setup", "Timer", "75"));
    EXPECT_EQ(platform_ini_read_int(ini.c_str(), "Setup", "Timer", 150), 75);
    EXPECT_NE(GetFileAttributesW((folder + L"\\dorra.ini").c_str()), INVALID_FILE_ATTRIBUTES);

    // The same folder by its short name, rather than a path cut short.
    ASSERT_TRUE(SetCurrentDirectoryW(deep.c_str()));
    length = platform_current_directory(path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(long_form(wide(path)), deep);

    SetCurrentDirectoryW(before);
    DeleteFileW((folder + L"\\dorra.ini").c_str());
    RemoveDirectoryW(deep.c_str());
    RemoveDirectoryW((folder + L"\\" + std::wstring(40, L'\x732b')).c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(Win32Process, PathsAreWholeOrNothing)
{
    char path[300];
    size_t length = program_path(path, sizeof path);
    ASSERT_GT(length, 4u);
    const std::string program(path, length);
    EXPECT_EQ(program.substr(length - 4), ".exe");
    EXPECT_EQ(program_path(path, 6), 0u);  // cut short: no path at all
    length = platform_settings_folder(path, sizeof path);
    EXPECT_EQ(std::string(path, length), program.substr(0, program.rfind('\\') + 1)) << "beside the program";

    size_t here = platform_current_directory(path, sizeof path);
    ASSERT_GT(here, 0u);
    EXPECT_EQ(std::string(path).size(), here);
    EXPECT_EQ(platform_current_directory(path, 3), 0u);
}

TEST(Win32Desk, ThePrimaryComesFirstAsTheSystemMeasuresIt)
{
    Monitor monitors[MAX_MONITORS] = {};
    const int count = platform_monitors(monitors, MAX_MONITORS);
    EXPECT_EQ(count, GetSystemMetrics(SM_CMONITORS));
    const Monitor& primary = monitors[0];
    EXPECT_EQ(primary.x, 0) << "the primary stands at the desk's origin";
    EXPECT_EQ(primary.y, 0);
    EXPECT_EQ(primary.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(primary.height, GetSystemMetrics(SM_CYSCREEN));
    RECT work = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(primary.work_x, work.left);
    EXPECT_EQ(primary.work_y, work.top);
    EXPECT_EQ(primary.work_width, work.right - work.left);
    EXPECT_EQ(primary.work_height, work.bottom - work.top);
    // No room asked for: only the count.
    EXPECT_EQ(platform_monitors(nullptr, 0), count);
}

namespace {
intptr_t default_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    return platform_default_window_proc(window, message, wparam, lparam);
}
}  // namespace

TEST(Win32Windows, PetWindowsSideBySideEachKeepTheirOwnSideOutlinesAndOwner)
{
    platform_register_pet_class(default_proc);
    int small_owner = 0, big_owner = 0;
    Window* small = platform_create_pet_window(42, &small_owner);
    Window* big = platform_create_pet_window(84, &big_owner);
    ASSERT_NE(small, nullptr);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(platform_window_user(small), &small_owner);
    EXPECT_EQ(platform_window_user(big), &big_owner);

    // The later window's size is not the earlier one's.
    platform_place_hidden(small, 10, 10);
    int32_t width = 0, height = 0;
    platform_client_size(small, &width, &height);
    EXPECT_EQ(width, 42);
    EXPECT_EQ(height, 42);

    Outline a, b;
    a.rects = {{0, 0, 5, 5}};
    b.rects = {{1, 1, 2, 2}};
    Outline* small_plain[] = {&a};
    Outline* big_plain[] = {&b};
    platform_keep_window_outlines(small, small_plain, small_plain, 1);
    platform_keep_window_outlines(big, big_plain, big_plain, 1);
    auto keeps = [](Window* window, const Outline* outline) {
        HRGN copy = kept_region_copy(hwnd_of(window), outline);
        if (copy)
            DeleteObject(copy);
        return copy != nullptr;
    };
    EXPECT_TRUE(keeps(small, &a));
    EXPECT_FALSE(keeps(small, &b));
    EXPECT_TRUE(keeps(big, &b));
    EXPECT_FALSE(keeps(big, &a));
    // Dropping one window's outlines leaves the other's.
    platform_keep_window_outlines(big, nullptr, nullptr, 0);
    EXPECT_FALSE(keeps(big, &b));
    EXPECT_TRUE(keeps(small, &a));

    platform_destroy_window(big);
    EXPECT_TRUE(keeps(small, &a));
    EXPECT_EQ(platform_window_user(small), &small_owner);
    platform_destroy_window(small);
}
