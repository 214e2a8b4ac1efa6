// The process: screen size, clock, paths, heap, the settings file and message boxes.
#include <ctime>

#include "platform/platform.h"
#include "platform/win32/win32_host.h"

void platform_screen_size(int32_t* width, int32_t* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
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

int platform_ini_write_strings(const char* path, const char* section, const char* const* keys,
                               const char* const* values, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (WritePrivateProfileStringA(section, keys[i], values[i], path)) continue;
        const DWORD attributes = GetFileAttributesA(path);
        const bool file_at_fault = attributes != INVALID_FILE_ATTRIBUTES &&
                                   (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
        return file_at_fault ? SAVE_FILE_FAILED : SAVE_FOLDER_FAILED;
    }
    return SAVE_DONE;
}

void platform_message_box(Window* owner, const char* text, unsigned kind) {
    MessageBoxA(hwnd_of(owner), text, "Dorrabee", kind | MB_OK);
}
