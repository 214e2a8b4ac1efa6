// The behaviour engine's operations: loading the script, the behaviour step,
// carrying the pet, and the About routine. Each works on the pet it is given,
// in the room it is given; no window system is needed here.
#pragma once

#include <cstdint>

#include "engine/action_script.h"
#include "engine/pet_state.h"
#include "engine/room.h"

// Where the loader's findings go: the program's message box, the simulator's
// output, or a collection of them.
struct ScriptMessages {
    void (*show)(void* context, const char* text);
    void* context;
    // A pet's own script: ratios in the messages as its author wrote them.
    // The built-in script's messages keep the tenths the loader counts in.
    bool ratios_as_written = false;
};

// ---- loading: a pet whose every record is filled, or null (nothing left behind)
// The pet starts at a random place in the room, drawn after seeding with `seed`;
// the About scene runs at one and a half times timer_ms; the pet is `cell`
// pixels large (the built-in cat's 42 x 42 unless a pet's folder says otherwise).
PetState* pet_init(const ScriptText& script, const Room& room, int32_t timer_ms, uint32_t seed, ScriptMessages messages,
                   CellSize cell = {});
void pet_release(PetState* pet);

// ---- behaviour step
enum StepResult : int32_t {
    STEP_CONTINUE = 0,
    STEP_FINISHED = 1,
    STEP_X_BOUND = 2,
    STEP_Y_BOUND = 3,
};

struct Probe {
    StepResult result;
    int32_t dx;
    int32_t dy;
};

struct Choice {
    int32_t entry;   // index in the list
    int32_t action;  // 0-based
    int32_t facing;
};

void pet_step(PetState* pet, const Room& room);
// Puts the pet back inside its room (after the screen or the margins changed).
void pet_keep_inside(PetState* pet, const Room& room);
Probe probe_move(const PetState* pet, const Room& room, int32_t action, int32_t tick, int32_t facing, bool strict);
bool fits_room(const PetState* pet, const Room& room, int32_t action, int32_t facing);
Choice choose_next(PetState* pet, ActionLink* list, int32_t count);
bool would_cycle(const PetState* pet, int32_t action, int32_t facing);

// ---- carrying the pet (the shell adds mouse capture and cursors around these)
void drag_begin(PetState* pet, int16_t cx, int16_t cy);
// Returns 1 while the pet is carried, with pet->x/pet->y set (clamped to the
// room's margins, so possibly where it was); the caller then moves the window
// from (old_x, old_y).
int drag_move(PetState* pet, const Room& room, bool left_button_down, int16_t cx, int16_t cy, int32_t* old_x,
              int32_t* old_y);
void drag_end(PetState* pet);
void drag_tick(PetState* pet);

// ---- the About scene's routine
void about_pick_animation(PetState* pet);
void about_next_frame(PetState* pet);
ImageRef about_current_image(const PetState* pet);
