// Modeless dialogs from the templates, handled by the shell's procedures.
#include <vector>

#include "graphics/zoom.h"
#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/window_record.h"

namespace {

int32_t picture_zoom = 1;
HBITMAP zoomed_picture = nullptr;  // made at the first opening, kept for the others

// A picture control shows its bitmap at its pixel size: give it the same
// picture with each pixel a block of the pet's zoom.
BOOL CALLBACK zoom_picture(HWND control, LPARAM)
{
    if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
        return TRUE;
    if (!zoomed_picture) {
        auto source = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP size = {};
        if (!source || !GetObjectW(source, sizeof size, &size))
            return TRUE;
        const int32_t width = size.bmWidth, height = size.bmHeight, z = picture_zoom;
        std::vector<uint32_t> pixels(size_t(width) * size_t(height));
        BITMAPINFO info = top_down_picture(width, height);
        HDC screen = GetDC(nullptr);
        const int rows = GetDIBits(screen, source, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
        void* bits = nullptr;
        BITMAPINFO zoomed_info = top_down_picture(width * z, height * z);
        if (rows == height)
            zoomed_picture = CreateDIBSection(screen, &zoomed_info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(nullptr, screen);
        if (!zoomed_picture)
            return TRUE;
        zoom_pixels(static_cast<uint32_t*>(bits), pixels.data(), width, height, z);
    }
    // The one the control loaded is handed back to us to delete.
    auto replaced = reinterpret_cast<HBITMAP>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(zoomed_picture)));
    if (replaced && replaced != zoomed_picture)
        DeleteObject(replaced);
    return TRUE;
}

// The dialog's record, holding the shell's procedure, arrives with
// WM_INITDIALOG; messages before it (the font, for one) get the default
// handling. It goes with the dialog's last message.
INT_PTR CALLBACK dialog_trampoline(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        adopt_window_record(dialog, reinterpret_cast<PendingRecord*>(lparam));
        lparam = 0;
    }
    const WindowRecord* record = window_record(dialog);
    const INT_PTR result =
        record && record->dialog_proc ? record->dialog_proc(window_of(dialog), message, wparam, lparam) : FALSE;
    if (message == WM_NCDESTROY)
        release_window_record(dialog);
    return result;
}

}  // namespace

void platform_set_zoom(int32_t z)
{
    picture_zoom = z;
}

// A wide dialog: the templates' UTF-16 captions reach the screen as they are,
// whatever the system's code page (a narrow one would turn them into it).
Window* platform_create_dialog(int template_id, Window* owner, WindowProc proc, void* user)
{
    PendingRecord record = new_window_record(user);
    if (!record)
        return nullptr;
    record->dialog_proc = proc;
    HWND dialog = CreateDialogParamW(program_instance(), MAKEINTRESOURCEW(template_id), hwnd_of(owner),
                                     dialog_trampoline, reinterpret_cast<LPARAM>(&record));
    if (dialog && picture_zoom > 1)
        EnumChildWindows(dialog, zoom_picture, 0);
    return window_of(dialog);
}

// Field texts are short; a longer one is cut to whole characters.
constexpr int FIELD_ROOM = 1024;

void platform_set_item_text(Window* dialog, int id, const char* text)
{
    wchar_t wide[FIELD_ROOM];
    utf16_from_utf8(text, wide, FIELD_ROOM, Fit::cut);
    SetDlgItemTextW(hwnd_of(dialog), id, wide);
}

int platform_get_item_text(Window* dialog, int id, char* buffer, int size)
{
    if (size <= 0)
        return 0;
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

void platform_set_check(Window* dialog, int id, int checked)
{
    SendDlgItemMessageW(hwnd_of(dialog), id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int platform_get_check(Window* dialog, int id)
{
    return SendDlgItemMessageW(hwnd_of(dialog), id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}
