// What choosing a pet needs of Windows: the "Pet" setting as text, the pets
// sub-menu (captions in UTF-8, shown through the wide functions whatever the
// code page), and starting the program anew.
#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_host.h"

namespace {

std::wstring wide(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(length > 0 ? size_t(length) : 1, L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), length);
    out.resize(out.size() - 1);
    return out;
}

}  // namespace

size_t platform_ini_read_string(const char* path, const char* section, const char* key, char* buffer, size_t size) {
    if (size == 0) return 0;
    return GetPrivateProfileStringA(section, key, "", buffer, DWORD(size > 0x7FFF ? 0x7FFF : size), path);
}

void platform_set_pet_submenu(Menu* menu, int after_command, const char* caption, const char* const* items,
                              int count, int first_command, int checked) {
    HMENU handle = reinterpret_cast<HMENU>(menu);
    const int total = GetMenuItemCount(handle);
    int position = total;
    for (int i = 0; i < total; ++i)
        if (GetMenuItemID(handle, i) == UINT(after_command)) position = i + 1;
    HMENU pets = position < total ? GetSubMenu(handle, position) : nullptr;
    if (pets) {
        while (GetMenuItemCount(pets) > 0) DeleteMenu(pets, 0, MF_BYPOSITION);
    } else {
        pets = CreatePopupMenu();
        if (!pets) return;
        InsertMenuW(handle, UINT(position), MF_BYPOSITION | MF_POPUP | MF_STRING, UINT_PTR(pets), wide(caption).c_str());
    }
    for (int i = 0; i < count; ++i)
        AppendMenuW(pets, MF_STRING | (i == checked ? MF_CHECKED : MF_UNCHECKED), UINT_PTR(first_command + i),
                    wide(items[i]).c_str());
}

bool platform_restart_program() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
