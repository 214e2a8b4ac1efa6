// The process: clock, paths, heap, the settings file and message boxes.
#include <cstring>
#include <ctime>
#include <cwchar>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"
#include "support/ini.h"

uint32_t platform_seconds_now()
{
    return uint32_t(time(nullptr));
}

namespace {

// A path the system gives as UTF-16, handed on as UTF-8 whole or not at all
// (cut short it would name another folder). Letters of other scripts take two
// or three bytes in UTF-8: when the long form does not fit, the short form of
// the same path is tried, which keeps a Chinese user's deep folders in reach.
size_t path_as_utf8(const wchar_t* path, DWORD length, char* buffer, size_t size)
{
    size_t bytes = utf8_from_utf16(path, length, buffer, size, Fit::whole);
    if (bytes > 0)
        return bytes;
    wchar_t short_path[MAX_PATH];
    DWORD short_length = GetShortPathNameW(path, short_path, MAX_PATH);
    if (short_length == 0 || short_length >= MAX_PATH)
        return 0;
    return utf8_from_utf16(short_path, short_length, buffer, size, Fit::whole);
}

}  // namespace

size_t program_path(char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    // The longest path the system has; one cut short would name the wrong
    // folder, so it is taken as no path.
    constexpr DWORD LONGEST = 32768;
    std::vector<wchar_t> path(LONGEST);
    DWORD length = GetModuleFileNameW(nullptr, path.data(), LONGEST);
    if (length == 0 || length >= LONGEST)
        return 0;
    return path_as_utf8(path.data(), length, buffer, size);
}

// Beside the program, where every earlier build kept it.
size_t platform_settings_folder(char* buffer, size_t size)
{
    size_t length = program_path(buffer, size);
    while (length > 0 && buffer[length - 1] != '\\' && buffer[length - 1] != '/' && buffer[length - 1] != ':')
        --length;
    if (length > 0)
        buffer[length] = '\0';
    return length;
}

size_t platform_current_directory(char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    wchar_t path[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, path);
    // When the buffer is too small the answer is the size it would need.
    if (length == 0 || length >= MAX_PATH)
        return 0;
    return path_as_utf8(path, length, buffer, size);
}

void* platform_heap_alloc(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void platform_heap_free(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// The settings file through the wide profile functions, so that its path may
// hold letters of any script. They write a file that is not UTF-16 already in
// the system's code page; our sections, keys and values are ASCII, the same
// bytes in every code page, so the file stays what the narrow functions wrote
// and a file from an earlier build reads the same.
namespace {

struct IniNames {
    wchar_t path[MAX_PATH];
    wchar_t section[64];
    wchar_t key[64];
};

bool converts_whole(const char* text, wchar_t* out, size_t size)
{
    return utf16_from_utf8(text, out, size, Fit::whole) > 0 || text[0] == '\0';
}

bool ini_names(const char* path, const char* section, const char* key, IniNames* names)
{
    return converts_whole(path, names->path, MAX_PATH) && converts_whole(section, names->section, 64) &&
           converts_whole(key, names->key, 64);
}

// The profile functions fail on a path of MAX_PATH UTF-16 units or more, and
// (Wine's) on one of MAX_PATH bytes of UTF-8: such a file, beside a program
// in deep folders, is read and written by our own code, never looked for in
// another folder.
bool beyond_profile_functions(const char* path)
{
    return std::strlen(path) >= MAX_PATH;
}

}  // namespace

int32_t platform_ini_read_int(const char* path, const char* section, const char* key, int32_t fallback)
{
    if (beyond_profile_functions(path))
        return ini_read_int(path, section, key, fallback);
    IniNames names;
    if (!ini_names(path, section, key, &names))
        return fallback;
    return int32_t(GetPrivateProfileIntW(names.section, names.key, fallback, names.path));
}

bool platform_ini_write_string(const char* path, const char* section, const char* key, const char* value)
{
    if (beyond_profile_functions(path))
        return ini_write_string(path, section, key, value);
    IniNames names;
    wchar_t wide_value[64];
    if (!ini_names(path, section, key, &names) || !converts_whole(value, wide_value, 64))
        return false;
    return WritePrivateProfileStringW(names.section, names.key, wide_value, names.path) != 0;
}

size_t platform_ini_read_string(const char* path, const char* section, const char* key, char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    buffer[0] = '\0';
    if (beyond_profile_functions(path)) {
        const std::optional<std::string> value = ini_read_string(path, section, key);
        if (!value || value->size() >= size)
            return 0;
        std::memcpy(buffer, value->c_str(), value->size() + 1);
        return value->size();
    }
    IniNames names;
    wchar_t value[256];
    if (!ini_names(path, section, key, &names))
        return 0;
    const DWORD length = GetPrivateProfileStringW(names.section, names.key, L"", value, 256, names.path);
    return length > 0 ? utf8_from_utf16(value, length, buffer, size, Fit::whole) : 0;
}

namespace {

// A read-only file, or a folder in its place, is not the file to write.
bool file_refuses_writes(const char* path)
{
    wchar_t wide_path[MAX_PATH];
    const DWORD attributes =
        converts_whole(path, wide_path, MAX_PATH) ? GetFileAttributesW(wide_path) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

}  // namespace

// Each key through the profile functions, as Windows keeps the file. A
// read-only file is looked for first: the profile functions refuse it on
// Windows, but Wine run as root would write it all the same.
int platform_ini_write_strings(const char* path, const char* section, const char* const* keys,
                               const char* const* values, size_t count)
{
    if (beyond_profile_functions(path)) {
        const IniWrite written = ini_write_strings(path, section, keys, values, count);
        return written == IniWrite::written         ? SAVE_DONE
               : written == IniWrite::folder_failed ? SAVE_FOLDER_FAILED
                                                    : SAVE_FILE_FAILED;
    }
    if (file_refuses_writes(path))
        return SAVE_FILE_FAILED;
    for (size_t i = 0; i < count; ++i) {
        if (!platform_ini_write_string(path, section, keys[i], values[i]))
            return file_refuses_writes(path) ? SAVE_FILE_FAILED : SAVE_FOLDER_FAILED;
    }
    return SAVE_DONE;
}

namespace {

// The caption for the button of the box being opened on this thread: the
// system's box takes no caption of its own, so a hook renames its button as
// it first shows (the hook has no other way to be told).
thread_local const wchar_t* box_button = nullptr;

LRESULT CALLBACK name_box_button(int code, WPARAM wparam, LPARAM lparam)
{
    auto window = reinterpret_cast<HWND>(wparam);
    wchar_t class_name[8] = L"";
    if (code == HCBT_ACTIVATE && box_button && GetClassNameW(window, class_name, 8) && !wcscmp(class_name, L"#32770") &&
        GetDlgItem(window, IDOK)) {
        SetDlgItemTextW(window, IDOK, box_button);
        box_button = nullptr;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

void platform_message_box(Window* owner, const char* text, unsigned kind, const char* button)
{
    // On the stack: the message may be that memory ran out.
    wchar_t wide[1024];
    utf16_from_utf8(text, wide, 1024, Fit::cut);
    wchar_t caption[64];
    HHOOK hook = nullptr;
    if (button) {
        utf16_from_utf8(button, caption, 64, Fit::cut);
        box_button = caption;
        hook = SetWindowsHookExW(WH_CBT, name_box_button, nullptr, GetCurrentThreadId());
    }
    MessageBoxW(hwnd_of(owner), wide, L"Dorrabee", kind | MB_OK);
    if (hook)
        UnhookWindowsHookEx(hook);
    box_button = nullptr;
}
