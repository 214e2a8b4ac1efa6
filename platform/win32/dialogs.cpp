// Modeless dialogs from the templates, handled by the shell's procedures.
#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"

namespace {

// The shell's procedure arrives with WM_INITDIALOG and is kept with the
// dialog; messages before it (the font, for one) get the default handling.
INT_PTR CALLBACK dialog_trampoline(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    auto proc = reinterpret_cast<WindowProc>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!proc) return FALSE;
    return proc(window_of(dialog), message, wparam, lparam);
}

}  // namespace

// A wide dialog: the templates' UTF-16 captions reach the screen as they are,
// whatever the system's code page (a narrow one would turn them into it).
Window* platform_create_dialog(int template_id, Window* owner, WindowProc proc) {
    return window_of(CreateDialogParamW(program_instance(), MAKEINTRESOURCEW(template_id), hwnd_of(owner),
                                        dialog_trampoline, reinterpret_cast<LPARAM>(proc)));
}

// Field texts are short; a longer one is cut to whole characters.
constexpr int FIELD_ROOM = 1024;

void platform_set_item_text(Window* dialog, int id, const char* text) {
    wchar_t wide[FIELD_ROOM];
    utf16_from_utf8(text, wide, FIELD_ROOM, Fit::cut);
    SetDlgItemTextW(hwnd_of(dialog), id, wide);
}

int platform_get_item_text(Window* dialog, int id, char* buffer, int size) {
    if (size <= 0) return 0;
    // At most size - 1 characters are read, as before; their UTF-8 keeps the
    // whole characters that fit.
    wchar_t wide[FIELD_ROOM];
    UINT length = GetDlgItemTextW(hwnd_of(dialog), id, wide, size < FIELD_ROOM ? size : FIELD_ROOM);
    size_t bytes = utf8_from_utf16(wide, length, buffer, size_t(size), Fit::cut);
    // A field with text is never read as empty, even when not one of its
    // characters fits the buffer.
    if (bytes == 0 && length > 0 && size > 1) {
        buffer[0] = '?';
        buffer[1] = '\0';
        bytes = 1;
    }
    return int(bytes);
}

void platform_set_check(Window* dialog, int id, int checked) {
    SendDlgItemMessageW(hwnd_of(dialog), id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int platform_get_check(Window* dialog, int id) {
    return SendDlgItemMessageW(hwnd_of(dialog), id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}
