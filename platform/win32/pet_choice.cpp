// What choosing a pet needs of Windows beyond the settings: the pets
// sub-menu (captions in UTF-8, shown through the wide functions whatever the
// code page) and starting the program anew.
#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"

void platform_set_pet_submenu(Menu* menu, int after_command, const char* caption, const char* const* items, int count,
                              int first_command, int checked)
{
    HMENU handle = reinterpret_cast<HMENU>(menu);
    const int total = GetMenuItemCount(handle);
    int position = total;
    for (int i = 0; i < total; ++i)
        if (GetMenuItemID(handle, i) == UINT(after_command))
            position = i + 1;
    HMENU pets = position < total ? GetSubMenu(handle, position) : nullptr;
    wchar_t text[128];
    if (pets) {
        while (GetMenuItemCount(pets) > 0)
            DeleteMenu(pets, 0, MF_BYPOSITION);
    } else {
        pets = CreatePopupMenu();
        if (!pets)
            return;
        utf16_from_utf8(caption, text, 128, Fit::cut);
        InsertMenuW(handle, UINT(position), MF_BYPOSITION | MF_POPUP | MF_STRING, UINT_PTR(pets), text);
    }
    for (int i = 0; i < count; ++i) {
        utf16_from_utf8(items[i], text, 128, Fit::cut);
        AppendMenuW(pets, MF_STRING | (i == checked ? MF_CHECKED : MF_UNCHECKED), UINT_PTR(first_command + i), text);
    }
}

bool platform_restart_program()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
