// The desk as a pet walks it: the monitors it may live on, in its own pixels,
// and the rules that turn them into the one room the engine sees. A pet's
// room is the monitor it stands on; an edge shared with a neighbour that
// covers the pet's whole height (or width) there is open, and it walks
// through; any other edge is a wall, with the margins kept at it. No part of
// the pet is left where no monitor shows it.
#pragma once

#include <cstdint>

#include "engine/room.h"
#include "platform/platform.h"

struct PetState;

// A monitor (or what is left of it beside its panels) in a pet's pixels.
struct DeskBox {
    int32_t x, y, width, height;
};

struct Desk {
    DeskBox boxes[MAX_MONITORS];
    int32_t count;
    // Kept at every edge with no monitor beyond it.
    int32_t top_margin, bottom_margin, left_margin, right_margin;
};

// The [Setup] keys about the desk.
struct DeskSettings {
    int32_t one_monitor;          // 0: every monitor; N: only the N-th, the primary first
    int32_t floor_at_panel;       // 1: each monitor ends at its panels and taskbars
    int32_t hide_for_fullscreen;  // 1: the pet hides while a fullscreen window is in front of it
};

// The monitors as the pet at zoom z sees them: only monitor `one_monitor`
// when it exists, work areas in place of monitors when asked. Margins are
// screen pixels; monitors are desktop pixels.
Desk desk_make(const Monitor* monitors, int32_t count, const DeskSettings& settings, int32_t z, int32_t top_margin,
               int32_t bottom_margin, int32_t left_margin, int32_t right_margin);

// The monitor a pet of size w x h at x, y stands on: the one showing most
// of it, else the nearest; the first listed wins a tie.
int32_t desk_home(const Desk& desk, int32_t x, int32_t y, int32_t w, int32_t h);
// The room of a pet of size w x h standing at x, y.
Room desk_room(const Desk& desk, int32_t x, int32_t y, int32_t w, int32_t h);
// Box `index` alone, every margin kept: where a new pet starts.
Room desk_box_room(const Desk& desk, int32_t index);
// Where a carried pet may go: the box around every monitor.
Room desk_drag_room(const Desk& desk);
// After a step, a drop or a change of the desk: a pet that walked off its
// floor onto a monitor whose floor is lower steps down to it, and a pet any
// part of which stands where no monitor shows it goes to the nearest place
// wholly on one. `floor_before` is the y the pet stood at on its floor before
// the step (or a value it cannot have). True when the pet was moved.
bool desk_settle(const Desk& desk, PetState* pet, int32_t floor_before);
// One tick of the pet's own life on the desk: its room from where it stands,
// the engine's step in it, then the rules above. Returns the room it stepped in.
Room desk_pet_step(const Desk& desk, PetState* pet);
// The y of the floor of a room for a pet h high; none when the room's bottom is open.
int32_t room_floor(const Room& room, int32_t h);
