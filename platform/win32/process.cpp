// The process: screen size, clock, paths, heap, the settings file and message boxes.
#include <ctime>

#include "platform/platform.h"
#include "platform/win32/win32_host.h"

void platform_screen_size(int32_t* width, int32_t* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

int32_t platform_screen_dpi() {
    // The primary monitor's own scaling where the system has it per monitor
    // (Windows 8.1 on), else the system's; looked up so older systems still start.
    using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    if (HMODULE shcore = LoadLibraryA("shcore.dll")) {
        auto dpi_for_monitor = reinterpret_cast<DpiForMonitor>(
            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
        UINT dpi_x = 0, dpi_y = 0;
        const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
        const bool found = dpi_for_monitor && dpi_for_monitor(primary, 0 /* effective */, &dpi_x, &dpi_y) == S_OK;
        FreeLibrary(shcore);
        if (found && dpi_y > 0) return int32_t(dpi_y);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

uint32_t platform_seconds_now() { return uint32_t(time(nullptr)); }

size_t platform_executable_path(char* buffer, size_t size) {
    if (size == 0) return 0;
    DWORD room = size > MAX_PATH ? MAX_PATH : DWORD(size);
    DWORD length = GetModuleFileNameA(nullptr, buffer, room);
    // A path cut short would name the wrong folder; treat it as no path.
    if (length == 0 || length >= room) return 0;
    return length;
}

size_t platform_current_directory(char* buffer, size_t size) {
    if (size == 0) return 0;
    DWORD room = size > MAX_PATH ? MAX_PATH : DWORD(size);
    DWORD length = GetCurrentDirectoryA(room, buffer);
    // When the buffer is too small the answer is the size it would need.
    if (length == 0 || length >= room) return 0;
    return length;
}

void* platform_heap_alloc(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void platform_heap_free(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

int32_t platform_ini_read_int(const char* path, const char* section, const char* key, int32_t fallback) {
    return int32_t(GetPrivateProfileIntA(section, key, fallback, path));
}

bool platform_ini_write_string(const char* path, const char* section, const char* key, const char* value) {
    return WritePrivateProfileStringA(section, key, value, path) != 0;
}

void platform_message_box(Window* owner, const char* text, unsigned kind) {
    MessageBoxA(hwnd_of(owner), text, "Dorrabee", kind | MB_OK);
}
