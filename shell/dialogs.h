// The two modeless dialogs opened from the pet's menu.
#pragma once

#include <cstdint>

struct Window;

extern int32_t options_open;
extern int32_t about_open;
extern int32_t about_unpainted;
extern int32_t scroll_offset;

void open_options_dialog(Window* owner);
void open_about_dialog(Window* owner);
intptr_t options_dialog_proc(Window* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t about_dialog_proc(Window* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
