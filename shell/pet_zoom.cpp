// Following the scaling of the monitor a pet stands on.
#include "shell/pet_zoom.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/pet_graphics.h"
#include "shell/pet_on_desk.h"
#include "shell/program.h"
#include "shell/window_shape.h"

namespace {

// The window at the pet's new zoom: its size, place, pictures and outline.
void show_at_zoom(Pet& pet)
{
    Program& program = *pet.program;
    const bool standard = program.settings.display_mode == MODE_STANDARD;
    // The screen behind is read while the window is away, as at start-up.
    if (standard)
        platform_show_window(pet.window, SHOW_HIDE);
    platform_resize_window(pet.window, pet_window_side(pet));
    platform_move_window(pet.window, pet_to_screen(pet.state->x, pet.zoom), pet_to_screen(pet.state->y, pet.zoom));
    release_outlines(pet);
    if (!graphics_rezoom(pet) || !window_shape_init(pet))
        return;  // reported: the program ends
    if (standard)
        platform_show_window(pet.window, SHOW_NOACTIVATE);
    platform_invalidate(pet.window);
    platform_update_window(pet.window);
}

}  // namespace

void pet_middle(const PetState* state, int32_t z, int32_t* x, int32_t* y)
{
    *x = pet_to_screen(state->x, z) + pet_to_screen(state->sprite_width, z) / 2;
    *y = pet_to_screen(state->y, z) + pet_to_screen(state->sprite_height, z) / 2;
}

int32_t monitor_zoom(const Program& program, const Monitor& monitor, int32_t side)
{
    int32_t z = zoom_choose(program.zoom_key, monitor.dpi);
    // A monitor smaller than the pet at that zoom takes a smaller one: the
    // margins could never fit, and the pet would hang off it.
    while (z > 1 && (monitor.width < pet_to_screen(side, z) || monitor.height < pet_to_screen(side, z)))
        --z;
    return zoom_for_cell(z, side);
}

int32_t monitor_under(const Desktop& desktop, int32_t x, int32_t y)
{
    Desk screens{};
    for (int32_t i = 0; i < desktop.count; ++i) {
        const Monitor& m = desktop.monitors[i];
        screens.boxes[screens.count++] = {m.x, m.y, m.width, m.height};
    }
    return desk_home(screens, x, y, 1, 1);
}

bool pet_zoom_follow(Pet& pet)
{
    Program& program = *pet.program;
    PetState* state = pet.state;
    if (!state || !pet.window || state->dragging || program.fatal_error)
        return false;
    const int32_t from = pet.zoom;
    int32_t cx = 0;
    int32_t cy = 0;
    pet_middle(state, from, &cx, &cy);
    const int32_t home = monitor_under(program.desktop, cx, cy);
    const int32_t to = monitor_zoom(program, program.desktop.monitors[home], pet_cell_side(pet));
    if (to == from)
        return false;
    const int32_t w = state->sprite_width;
    const int32_t h = state->sprite_height;
    const bool on_floor = state->y == room_floor(pet.room, h);
    const int32_t feet = pet_to_screen(state->y + h, from);
    pet.zoom = to;
    state->x = screen_to_pet(cx, to) - w / 2;
    state->y = screen_to_pet(feet, to) - h;
    // Whole pet pixels may put the middle a little off: back onto the
    // monitor it was on, or the next tick would change the zoom back.
    int32_t nx = 0;
    int32_t ny = 0;
    pet_middle(state, to, &nx, &ny);
    if (monitor_under(program.desktop, nx, ny) != home)
        state->x += nx < cx ? 1 : -1;
    const Desk desk = desk_of(pet);
    pet.room = desk_room(desk, state->x, state->y, w, h);
    pet_keep_inside(state, pet.room);
    // A pet on its floor stays on it: whole pet pixels at the other zoom may
    // leave its feet a little above it.
    const int32_t floor = room_floor(pet.room, h);
    if (on_floor && floor != INT32_MIN && std::abs(pet_to_screen(floor + h, to) - feet) < std::max(from, to))
        state->y = floor;
    desk_settle(desk, state, on_floor ? state->y : INT32_MIN);
    pet.room = desk_room(desk, state->x, state->y, w, h);
    show_at_zoom(pet);
    return true;
}
