// Starting at login on Windows: a value of the user's Run key, the quoted
// path of the running exe. The Run key rather than a shortcut in the Startup
// folder: one value written and read back exactly, no COM, and it is what
// Task Manager's list of programs started at login shows and can disable.
#include <string>

#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"

namespace {

const wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Task Manager marks an entry of the Run key disabled (an odd first byte).
const wchar_t APPROVED_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const wchar_t VALUE[] = L"Dorrabee";
constexpr DWORD LONGEST = 4096;  // characters of a command, with its ending zero

// Quoted as CommandLineToArgvW reads it back: backslashes before the closing
// quote are doubled (paths hold no quote).
std::wstring quoted(const std::wstring& path)
{
    size_t backslashes = 0;
    while (backslashes < path.size() && path[path.size() - 1 - backslashes] == L'\\')
        ++backslashes;
    return L"\"" + path + std::wstring(backslashes, L'\\') + L"\"";
}

size_t copy_out(const std::wstring& text, char* buffer, size_t size)
{
    if (size > 0)
        buffer[0] = '\0';
    if (text.empty())
        return 0;
    const size_t length = utf8_from_utf16(text.c_str(), text.size(), buffer, size, Fit::whole);
    return length > 0 ? length : size;  // size: it did not fit
}

bool disabled_by_user()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, APPROVED_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    BYTE state[12] = {};
    DWORD bytes = sizeof state;
    DWORD type = 0;
    const LONG read = RegQueryValueExW(key, VALUE, nullptr, &type, state, &bytes);
    RegCloseKey(key);
    return (read == ERROR_SUCCESS || read == ERROR_MORE_DATA) && type == REG_BINARY && bytes > 0 && (state[0] & 1);
}

}  // namespace

size_t platform_login_command(const char* pet_folder, char* buffer, size_t size)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return copy_out(L"", buffer, size);
    std::wstring command = quoted(std::wstring(path, length));
    if (pet_folder) {
        wchar_t folder[LONGEST];
        wchar_t full[LONGEST];
        if (utf16_from_utf8(pet_folder, folder, LONGEST, Fit::whole) == 0)
            return copy_out(L"", buffer, size);
        const DWORD full_length = GetFullPathNameW(folder, LONGEST, full, nullptr);
        if (full_length == 0 || full_length >= LONGEST)
            return copy_out(L"", buffer, size);
        command += L" --pet " + quoted(std::wstring(full, full_length));
    }
    return copy_out(command, buffer, size);
}

size_t platform_read_login_entry(char* buffer, size_t size)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return copy_out(L"", buffer, size);
    wchar_t value[LONGEST] = {};
    DWORD bytes = sizeof value - sizeof value[0];  // room kept for an ending zero
    DWORD type = 0;
    const LONG read = RegQueryValueExW(key, VALUE, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(key);
    if (read == ERROR_MORE_DATA)
        return size;  // longer than any command of ours
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || disabled_by_user())
        return copy_out(L"", buffer, size);
    size_t units = bytes / sizeof value[0];
    while (units > 0 && value[units - 1] == L'\0')
        --units;
    return copy_out(std::wstring(value, units), buffer, size);
}

bool platform_write_login_entry(const char* command)
{
    HKEY key;
    if (!command) {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return true;  // no Run key, no entry
        const LONG removed = RegDeleteValueW(key, VALUE);
        RegCloseKey(key);
        return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
    }
    wchar_t text[LONGEST];
    const size_t units = utf16_from_utf8(command, text, LONGEST, Fit::whole);
    if (units == 0 || RegCreateKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                      nullptr) != ERROR_SUCCESS)
        return false;
    const LONG written =
        RegSetValueExW(key, VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), DWORD((units + 1) * sizeof text[0]));
    RegCloseKey(key);
    // A mark that Task Manager left on an earlier entry would keep the new one from running.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, APPROVED_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, VALUE);
        RegCloseKey(key);
    }
    return written == ERROR_SUCCESS;
}
