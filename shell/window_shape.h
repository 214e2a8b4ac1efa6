// The pet window's shape and position: outlines in the region modes, the
// backdrop behind the window in the standard mode.
#pragma once

#include <cstdint>

struct Window;
struct Outline;

// MODE_PRECOMPUTED only: the outline of every image, plain and mirrored
// (entries null for an image without pixels).
extern Outline** plain_outlines;
extern Outline** mirrored_outlines;

// 1 when both tables are made and filled; 0 when memory ran out (reported).
int precompute_outlines();
// Gives the pet window the outline of current_image with current_mirrored.
void apply_outline();
// The start-up step for the display mode; 0 after a failure already reported.
int window_shape_init();
// Moves the window from (old_x, old_y) to (pet_x, pet_y), renewing the
// backdrop in the standard mode, or repaints it where it stands.
void reposition_window(Window* window, int32_t old_x, int32_t old_y);
void release_outlines();
