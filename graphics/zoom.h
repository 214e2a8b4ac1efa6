// Whole-number zoom: the pet lives in its own pixels, and each of them is
// shown as a z x z block of screen pixels. These are the conversions at the
// edge between the two and the scaling of what is drawn.
#pragma once

#include <cstdint>

struct Outline;
struct Sprites;

constexpr int32_t MAX_ZOOM = 4;
constexpr int32_t DPI_PER_ZOOM = 96;  // the dots per inch of a screen at 100 %
// The largest pet window, in screen pixels: a large pet takes a smaller zoom.
constexpr int32_t MAX_WINDOW_SIDE = 512;

// The zoom a pet of cells `side` pixels square is shown at when `zoom` is
// asked for: the largest, not above it, whose window fits MAX_WINDOW_SIDE
// (never below 1).
int32_t zoom_for_cell(int32_t zoom, int32_t side);

// The nearest whole number to dpi / 96 (halves round up), within 1 ... MAX_ZOOM.
int32_t zoom_for_dpi(int32_t dpi);
// The settings key wins when it is 1 ... MAX_ZOOM; anything else (0, missing,
// out of range) means the screen's own scaling.
int32_t zoom_choose(int32_t key, int32_t dpi);

// Screen pixels to pet pixels, rounding down, also below zero: a cursor left
// of the window is in the pet pixel left of it, not in the window's first.
// Also a screen's extent: a pet inside the result is wholly on the screen.
int32_t screen_to_pet(int32_t screen_pixels, int32_t z);
// A margin in screen pixels as pet pixels, rounding up, so that the pet keeps
// at least the margin away from the edge.
int32_t margin_to_pet(int32_t screen_pixels, int32_t z);
// Pet pixels to screen pixels.
int32_t pet_to_screen(int32_t pet_pixels, int32_t z);

// Copies a width x height picture into target ((width z) x (height z)), each
// pixel a z x z block.
void zoom_pixels(uint32_t* target, const uint32_t* source, int32_t width, int32_t height, int32_t z);
// copy_cell at z: the cell of the image, mirrored when asked, into a target of
// (side z) x (side z), side the sheet's cell side. At z = 1 it is copy_cell.
void copy_cell_zoomed(const Sprites& sprites, uint32_t* target, int32_t image, int32_t mirrored, int32_t z);
// key_composite over any number of pixels (a frame at z).
void key_composite_pixels(uint32_t* frame, const uint32_t* backdrop, const uint32_t* cell, int32_t count);
// Scales the outline's rectangles by z where they stand: nothing is allocated.
void zoom_outline(Outline* outline, int32_t z);
