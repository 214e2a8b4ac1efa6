// A pet's zoom on a desk whose monitors scale differently (Windows keeps a
// scaling per monitor): the pet is shown at the zoom of the monitor under
// its middle, and changes as it crosses. Margins stay in screen pixels.
#pragma once

#include <cstdint>

struct Desktop;
struct Monitor;
struct Pet;
struct PetState;
struct Program;

// The pet's middle on the screen, at zoom z.
void pet_middle(const PetState* state, int32_t z, int32_t* x, int32_t* y);

// The zoom a pet whose cells are `side` pixels square has on this monitor:
// the Zoom key where it sets one, else the monitor's scaling; smaller where
// the monitor cannot hold the pet, or its window would be too large.
int32_t monitor_zoom(const Program& program, const Monitor& monitor, int32_t side);
// The monitor that shows the screen point, else the nearest; the first
// listed wins a tie.
int32_t monitor_under(const Desktop& desktop, int32_t x, int32_t y);
// After a step, a drop or a change of the desk: a pet that is not carried
// takes the zoom of the monitor under its middle. Its middle stays where it
// was and its feet where they stood; the window is resized, drawn anew and
// put there. True when the zoom changed.
bool pet_zoom_follow(Pet& pet);
