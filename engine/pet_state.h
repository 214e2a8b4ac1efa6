// The behaviour engine's records: the loaded script and the pet's live state.
#pragma once

#include <cstdint>

#include "engine/random.h"
#include "engine/shared.h"

struct ActionLink {
    int16_t ratio;   // weight in tenths of a percent
    int16_t action;  // 1-based number of the candidate action
    uint8_t mirror;  // 1: the candidate is done facing the other way
};

struct Dislike {
    int16_t action;              // 1-based number of the disliked action
    uint8_t direction;           // 0 same facing, 1 opposite, 2 either
    int16_t level;               // how many past choices the rule reaches back
    int16_t previous_action;     // 0: no condition
    uint8_t previous_direction;  // 0 same, 1 opposite, 2 either
};

struct Action {
    int32_t frame_count;
    ImageRef* frames;
    int32_t dx;
    int32_t dy;
    int32_t reach_x;
    int32_t reach_y;
    int32_t next_count;
    ActionLink* next;
    int32_t x_bound_count;  // 0 and no array when absent
    ActionLink* x_bound;
    int32_t y_bound_count;
    ActionLink* y_bound;
    int32_t dislike_count;
    Dislike* dislikes;
    int32_t drag_action;     // 0 none; otherwise +/- action number, negative turns the pet round
    int32_t release_action;  // as drag_action
    int32_t same_ratio;      // tenths of a percent taken off per repetition in a row
};

struct DialogAnimation {
    int32_t count;
    ImageRef* images;
};

enum DragState : int32_t {
    DRAG_NONE = 0,
    DRAG_SAME = 1,
    DRAG_SWITCHED = 2,
};

constexpr int HISTORY_LENGTH = 30;

struct PetState {
    int32_t image_count;
    int32_t sprite_height;
    int32_t sprite_width;
    int32_t action_count;
    Action* actions;
    int32_t about_tick_ms;
    int32_t dialog_animation_count;
    DialogAnimation* dialog_animations;
    int32_t* weights;  // scratch of choose_next, as long as the longest list
    uint8_t* tried;    // scratch of the same length: 1 marks an entry rejected during the current choice
    int32_t start_action;
    int32_t start_y;
    int32_t start_x;
    int32_t current_action;  // 0-based
    int32_t tick;
    int32_t y;  // where the pet window stands
    int32_t x;
    int32_t facing;
    int32_t repeat_count;
    int32_t history[HISTORY_LENGTH];         // 0-based action indices, newest first; -1 empty
    uint8_t history_facing[HISTORY_LENGTH];  // 2 empty
    int32_t drag_saved_action;
    int32_t drag_saved_facing;
    int32_t drag_state;
    int32_t about_animation;
    int32_t about_frame;
    // What the engine shows: the 0-based image and its mirroring.
    int32_t current_image;
    int32_t current_mirrored;
    // Carrying: 1 while the pet is held, at (grab_x, grab_y) of its cell.
    int32_t dragging;
    int32_t grab_x;
    int32_t grab_y;
    // The pet's own draws: its choices and its About scene.
    Random random;
};

// Turns frames[tick] of the running action and the facing into
// current_image and current_mirrored.
void set_image(PetState* pet);
