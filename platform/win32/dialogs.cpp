// Modeless dialogs from the templates, handled by the shell's procedures.
#include "platform/platform.h"
#include "platform/win32/win32_host.h"

namespace {

// The shell's procedure arrives with WM_INITDIALOG and is kept with the
// dialog; messages before it (the font, for one) get the default handling.
INT_PTR CALLBACK dialog_trampoline(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    auto proc = reinterpret_cast<WindowProc>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!proc) return FALSE;
    return proc(window_of(dialog), message, wparam, lparam);
}

}  // namespace

Window* platform_create_dialog(int template_id, Window* owner, WindowProc proc) {
    return window_of(CreateDialogParamA(program_instance(), MAKEINTRESOURCEA(template_id), hwnd_of(owner),
                                        dialog_trampoline, reinterpret_cast<LPARAM>(proc)));
}

void platform_set_item_text(Window* dialog, int id, const char* text) { SetDlgItemTextA(hwnd_of(dialog), id, text); }

int platform_get_item_text(Window* dialog, int id, char* buffer, int size) {
    if (size <= 0) return 0;
    return int(GetDlgItemTextA(hwnd_of(dialog), id, buffer, size));
}

void platform_set_check(Window* dialog, int id, int checked) {
    SendDlgItemMessageA(hwnd_of(dialog), id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int platform_get_check(Window* dialog, int id) {
    return SendDlgItemMessageA(hwnd_of(dialog), id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}
