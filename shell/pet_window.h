// The pet window's message handling: the tick, the mouse, the pop-up menu
// and its commands.
#pragma once

#include <cstdint>

struct Window;

intptr_t pet_window_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);
