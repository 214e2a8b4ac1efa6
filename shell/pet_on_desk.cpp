// A living pet on the program's desk: the desk rules applied to its record
// and its window.
#include "shell/pet_on_desk.h"

#include <climits>

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/pet_zoom.h"
#include "shell/program.h"
#include "shell/setting_keys.h"
#include "shell/window_shape.h"

void desk_settings_read(Program& program)
{
    const char* path = program.settings_path;
    DeskSettings& desk = program.desk_settings;
    desk.one_monitor = setting_number(path, SettingKeyId::monitor);
    desk.floor_at_panel = setting_number(path, SettingKeyId::floor_at_panel);
    desk.hide_for_fullscreen = setting_number(path, SettingKeyId::hide_for_fullscreen);
}

Desk desk_of(const Pet& pet)
{
    const Program& program = *pet.program;
    const Settings& s = program.settings;
    const bool kept = !program.margins_dropped;
    return desk_make(program.desktop.monitors, program.desktop.count, program.desk_settings, pet.zoom,
                     kept ? s.top_margin : 0, kept ? s.bottom_margin : 0, kept ? s.left_margin : 0,
                     kept ? s.right_margin : 0);
}

void desk_step(Pet& pet)
{
    pet.room = desk_pet_step(desk_of(pet), pet.state);
}

void desk_keep_inside(Pet& pet)
{
    const Desk desk = desk_of(pet);
    PetState* state = pet.state;
    pet.room = desk_room(desk, state->x, state->y, state->sprite_width, state->sprite_height);
    pet_keep_inside(state, pet.room);
    desk_settle(desk, state, INT32_MIN);
    pet.room = desk_room(desk, state->x, state->y, state->sprite_width, state->sprite_height);
}

bool desk_out_of_the_way(Pet& pet)
{
    const Program& program = *pet.program;
    // Put away from the notification-area icon: that rules its window.
    if (program.pets_away)
        return false;
    bool in_front = false;
    if (program.desk_settings.hide_for_fullscreen == 1 && !pet.state->dragging) {
        // The monitor that shows the pet's middle, or the nearest.
        int32_t x = 0;
        int32_t y = 0;
        pet_middle(pet.state, pet.zoom, &x, &y);
        in_front = platform_fullscreen_in_front(program.desktop.monitors[monitor_under(program.desktop, x, y)]);
    }
    if (in_front != pet.away_for_fullscreen && pet.window) {
        platform_show_window(pet.window, in_front ? SHOW_HIDE : SHOW_NOACTIVATE);
        pet.away_for_fullscreen = in_front;
    }
    return pet.away_for_fullscreen;
}

void desk_carry(Pet& pet)
{
    pet.room = desk_drag_room(desk_of(pet));
}

void desk_drop(Pet& pet)
{
    const Desk desk = desk_of(pet);
    PetState* state = pet.state;
    const int32_t old_x = state->x;
    const int32_t old_y = state->y;
    desk_settle(desk, state, INT32_MIN);
    pet.room = desk_room(desk, state->x, state->y, state->sprite_width, state->sprite_height);
    if (state->x != old_x || state->y != old_y)
        reposition_window(pet, old_x, old_y);
}
