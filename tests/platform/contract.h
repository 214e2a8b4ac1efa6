// The seam's promises, checked once for every platform. Each platform's
// build of the suite supplies these few means of driving it, which the seam
// itself leaves to the system: letting time pass, closing a modal loop, and
// reading back a window's shape, a sub-menu and a cursor.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"

// Runs the platform's own event handling (timers, paints) until `done` holds
// or `ms` milliseconds have passed; `done` as it then stands.
bool contract_run_until(const std::function<bool()>& done, int ms);
// The next modal loop (a message box or the pop-up menu) closes, as the user
// would close it, once `done` holds or 2 s have passed.
void contract_close_modal_when(std::function<bool()> done);
// Whether the window, as shaped by its outline, shows at client point (x, y).
bool contract_window_shows(Window* window, int32_t x, int32_t y);
// The menu's items, each followed by "|": a command by its number, a
// sub-menu as "caption:item,*checked,item"; separators left out. (The fake
// knows only the pets sub-menu: "after-command|caption:items|".)
std::string contract_menu(Menu* menu);
// The width in screen pixels of the dialog's first picture; 0 where the
// platform draws no pictures.
int32_t contract_picture_width(Window* dialog);
