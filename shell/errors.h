// Error reporting and the list of open modeless dialogs.
#pragma once

#include <cstddef>
#include <cstdint>

struct Window;
struct PlatformMessage;

extern Window* pet_window;
extern int32_t fatal_error;  // set by report_error, never cleared

// Sets fatal_error, shows a warning box owned by pet_window, then destroys
// `window` (unless it is pet_window) and pet_window. With no window, nothing
// is destroyed.
void report_error(Window* window, const char* text);

// Heap block, or null after showing "Out of memory" and destroying pet_window.
void* alloc_or_report(size_t size);

struct OpenDialog {
    OpenDialog* next;
    Window* window;
};

OpenDialog* add_open_dialog(Window* window);
void remove_open_dialog(Window* window);
int offer_to_dialogs(PlatformMessage* message);
