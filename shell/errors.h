// Error reporting and the list of open modeless dialogs.
#pragma once

#include <cstddef>
#include <cstdint>

struct Program;
struct Window;
struct PlatformMessage;

// Sets the program's fatal_error, shows a warning box owned by the oldest
// living pet's window, then destroys `window` (unless it is a pet window) and
// every pet window. With no window, nothing is destroyed.
void report_error(Program& program, Window* window, const char* text);

// Heap block, or null after showing "Out of memory" and destroying every pet window.
void* alloc_or_report(Program& program, size_t size);

struct OpenDialog {
    OpenDialog* next;
    Window* window;
};

OpenDialog* add_open_dialog(Program& program, Window* window);
void remove_open_dialog(Program& program, Window* window);
int offer_to_dialogs(const Program& program, PlatformMessage* message);
