// Carrying the pet with the mouse: the window side of the engine's drag.
#pragma once

#include <cstdint>

struct Pet;

// Left button pressed at window point (cx, cy): capture the mouse, show the
// drag cursor, remember the one it replaces.
void drag_input_begin(Pet& pet, int16_t cx, int16_t cy);
// Pointer moved; `buttons` is the mouse message's wparam.
void drag_input_move(Pet& pet, uintptr_t buttons, int16_t cx, int16_t cy);
// Left button released: the remembered cursor back, the mouse free.
void drag_input_end(Pet& pet);
