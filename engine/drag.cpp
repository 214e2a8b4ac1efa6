// Carrying the pet: what a press, a move, a release and a tick while held do
// to the engine state. Mouse capture and cursors are the shell's.
#include "engine/engine.h"

// Runs the action that the reference v (+/- its number) names, from its
// first frame; a negative reference also turns the pet round.
static void take_action(PetState* pet, int32_t v)
{
    pet->current_action = (v < 0 ? -v : v) - 1;
    if (v < 0)
        pet->facing = 1 - pet->facing;
    pet->tick = 0;
    pet->repeat_count = 0;
}

void drag_begin(PetState* pet, int16_t cx, int16_t cy)
{
    pet->dragging = 1;
    pet->grab_x = cx < 0 ? 0 : (cx > pet->sprite_width ? pet->sprite_width : cx);
    pet->grab_y = cy < 0 ? 0 : (cy > pet->sprite_height ? pet->sprite_height : cy);
    pet->drag_saved_action = pet->current_action;
    pet->drag_saved_facing = pet->facing;
    pet->drag_state = DRAG_NONE;

    const int32_t v = pet->actions[pet->drag_saved_action].drag_action;
    if (v == 0)
        return;
    if (v > 0 && v - 1 == pet->current_action) {  // keeps animating in place
        pet->drag_state = DRAG_SAME;
        return;
    }
    take_action(pet, v);
    pet->drag_state = DRAG_SWITCHED;
}

int drag_move(PetState* pet, const Room& room, bool left_button_down, int16_t cx, int16_t cy, int32_t* old_x,
              int32_t* old_y)
{
    if (!pet->dragging || !left_button_down)
        return 0;
    int32_t nx = cx - pet->grab_x + pet->x;
    int32_t ny = cy - pet->grab_y + pet->y;
    const int32_t left = room.x + room.left_margin;
    const int32_t top = room.y + room.top_margin;
    const int32_t right = room.x + room.width - room.right_margin;
    const int32_t bottom = room.y + room.height - room.bottom_margin;
    if (nx < left)
        nx = left;
    if (ny < top)
        ny = top;
    if (nx + pet->sprite_width > right)
        nx = right - pet->sprite_width;
    if (ny + pet->sprite_height > bottom)
        ny = bottom - pet->sprite_height;
    *old_x = pet->x;
    *old_y = pet->y;
    pet->x = nx;
    pet->y = ny;
    return 1;
}

void drag_end(PetState* pet)
{
    if (!pet->dragging)
        return;
    pet->grab_x = pet->grab_y = 0;
    pet->dragging = 0;
    if (pet->drag_state == DRAG_NONE)
        return;
    if (pet->drag_state == DRAG_SWITCHED) {
        pet->current_action = pet->drag_saved_action;
        pet->tick = 0;
        pet->facing = pet->drag_saved_facing;
        pet->repeat_count = 0;
    }
    const int32_t s = pet->drag_saved_action;
    const int32_t v = pet->actions[s].release_action;
    if (v < 0 || (v > 0 && v - 1 != s))
        take_action(pet, v);
    pet->drag_state = DRAG_NONE;
}

void drag_tick(PetState* pet)
{
    if (pet->drag_state == DRAG_NONE)
        return;
    pet->tick += 1;
    if (pet->tick >= pet->actions[pet->current_action].frame_count)
        pet->tick = 0;
    set_image(pet);
}
