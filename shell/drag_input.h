// Carrying the pet with the mouse: the window side of the engine's drag.
#pragma once

#include <cstdint>

struct Window;

// Left button pressed at window point (cx, cy): capture the mouse, show the
// drag cursor, remember the one it replaces.
void drag_input_begin(Window* window, int16_t cx, int16_t cy);
// Pointer moved; `buttons` is the mouse message's wparam.
void drag_input_move(Window* window, uintptr_t buttons, int16_t cx, int16_t cy);
// Left button released: the remembered cursor back, the mouse free.
void drag_input_end();
