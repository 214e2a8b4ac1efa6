// The pet window's shape and position: outlines in the region modes, the
// backdrop behind the window in the standard mode.
#pragma once

#include <cstdint>

struct Pet;

// 1 when both tables are made and filled; 0 when memory ran out (reported).
int precompute_outlines(Pet& pet);
// Gives the pet window the outline of the image the pet shows.
void apply_outline(Pet& pet);
// The start-up step for the display mode; 0 after a failure already reported.
int window_shape_init(Pet& pet);
// Moves the window from (old_x, old_y) to where the pet is, renewing the
// backdrop in the standard mode, or repaints it where it stands.
void reposition_window(Pet& pet, int32_t old_x, int32_t old_y);
void release_outlines(Pet& pet);
