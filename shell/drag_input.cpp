// Mouse capture and cursors around the engine's drag operations.
#include "shell/drag_input.h"

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/company.h"
#include "shell/pet_on_desk.h"
#include "shell/pet_zoom.h"
#include "shell/program.h"
#include "shell/window_shape.h"

void drag_input_begin(Pet& pet, int16_t cx, int16_t cy)
{
    platform_set_capture(pet.window);
    pet.cursor_before_drag = platform_set_cursor(pet.graphics.drag_cursor);
    drag_begin(pet.state, int16_t(screen_to_pet(cx, pet.zoom)), int16_t(screen_to_pet(cy, pet.zoom)));
    // Carried over the others, it is seen above them.
    company_lift(pet);
    desk_carry(pet);
}

void drag_input_move(Pet& pet, uintptr_t buttons, int16_t cx, int16_t cy)
{
    // The release went elsewhere (the pop-up menu took the mouse meanwhile):
    // drop the pet now rather than leave it held and frozen.
    if (pet.state->dragging && !(buttons & MOUSE_LEFT_BUTTON)) {
        drag_input_end(pet);
        return;
    }
    int32_t old_x = 0;
    int32_t old_y = 0;
    // Repaints even when the pet is held against a margin and does not move.
    if (drag_move(pet.state, pet.room, true, int16_t(screen_to_pet(cx, pet.zoom)), int16_t(screen_to_pet(cy, pet.zoom)),
                  &old_x, &old_y))
        reposition_window(pet, old_x, old_y);
}

void drag_input_end(Pet& pet)
{
    if (!pet.state->dragging)
        return;
    platform_set_cursor(pet.cursor_before_drag);
    platform_release_capture();
    drag_end(pet.state);
    desk_drop(pet);
    pet_zoom_follow(pet);
}
