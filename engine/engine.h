// The behaviour engine's operations: loading the script, the behaviour step,
// carrying the pet, and the About routine. No window system is needed here.
#pragma once

#include <cstdint>

#include "engine/pet_state.h"

// What the engine needs from whoever runs it: the program's message box for
// the loader's findings, and the clock that seeds the random generator.
struct EngineHost {
    void (*show_script_message)(const char* text);
    uint32_t (*seconds_now)();
};
extern EngineHost engine_host;

// ---- loading (pet_init fills everything or leaves no state at all)
int pet_init();
void pet_release();

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

void pet_step();
// Puts the pet back inside its box (after the screen or the margins changed).
void pet_keep_inside();
Probe probe_move(int32_t action, int32_t tick, int32_t facing, bool strict);
bool fits_room(int32_t action, int32_t facing);
Choice choose_next(ActionLink* list, int32_t count);
bool would_cycle(int32_t action, int32_t facing);

// ---- carrying the pet (the shell adds mouse capture and cursors around these)
void drag_begin(int16_t cx, int16_t cy);
// Returns 1 while the pet is carried, with pet->x/pet->y set (clamped to the
// margins, so possibly where it was); the caller then moves the window from
// (old_x, old_y).
int drag_move(bool left_button_down, int16_t cx, int16_t cy, int32_t* old_x, int32_t* old_y);
void drag_end();
void drag_tick();

// ---- the About scene's routine
void about_pick_animation();
void about_next_frame();
ImageRef about_current_image();
