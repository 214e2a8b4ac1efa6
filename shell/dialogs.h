// The two modeless dialogs opened from the pet's menu.
#pragma once

#include <cstdint>

struct Window;
struct OpenDialog;

// What the dialogs keep between messages.
struct Dialogs {
    int32_t options_open;
    int32_t about_open;
    int32_t about_unpainted;
    int32_t scroll_offset;     // kept across openings: the strip goes on where it stopped
    OpenDialog* open_dialogs;  // every open modeless dialog, newest first
};
extern Dialogs dialogs;
// Back to no dialog ever opened (the list's nodes are not freed).
void dialogs_reset();

void open_options_dialog(Window* owner);
void open_about_dialog(Window* owner);
intptr_t options_dialog_proc(Window* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t about_dialog_proc(Window* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
