// Putting the pets away and calling them back, and the added menu entries.
#include "shell/tray.h"

#include "engine/engine.h"
#include "engine/floor.h"
#include "platform/platform.h"
#include "shell/company.h"
#include "shell/drag_input.h"
#include "shell/errors.h"
#include "shell/login_start.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "shell/window_shape.h"
#include "support/texts.h"

namespace {

// Every living pet of the program, the oldest first.
template <typename Act>
void for_each_pet(Program& program, Act act)
{
    for (Pet* pet : program.pets)
        if (pet_lives(*pet) && pet->state)
            act(*pet);
}

void put_away(Pet& pet)
{
    drag_input_end(pet);  // a pet carried off-screen is let go first
    if (pet.window == pet.program->timer_window) {
        platform_kill_timer(pet.window, PET_TIMER_ID);
        pet.program->timer_window = nullptr;
    }
    platform_show_window(pet.window, SHOW_HIDE);
}

// To the middle of the primary monitor's floor; shown and living again when
// it was away.
void call_back(Pet& pet, bool was_away)
{
    Program& program = *pet.program;
    PetState* state = pet.state;
    const int32_t old_x = state->x;
    const int32_t old_y = state->y;
    const int32_t old_image = state->current_image;
    const int32_t old_mirrored = state->current_mirrored;
    drag_input_end(pet);
    pet.room = pet_room(program, pet.zoom);
    pet_to_floor(state, pet.room);
    if (program.settings.display_mode != MODE_STANDARD &&
        (state->current_image != old_image || state->current_mirrored != old_mirrored))
        apply_outline(pet);
    // Moved while still hidden: it shows where it was called to.
    reposition_window(pet, old_x, old_y);
    if (was_away)
        platform_show_window(pet.window, SHOW_NOACTIVATE);
}

}  // namespace

void tray_start(Pet& owner)
{
    if (platform_add_tray_icon(owner.window, "Dorrabee"))
        owner.program->icon_owner = owner.window;
}

void tray_window_gone(Program& program, Window* window)
{
    if (!window || window != program.icon_owner)
        return;
    platform_remove_tray_icon(window);
    program.icon_owner = nullptr;
    // The icon moves on to the oldest pet still living: pets put away must
    // stay within call.
    if (program.fatal_error)
        return;
    for (Pet* pet : program.pets)
        if (pet_lives(*pet) && pet->window != window) {
            tray_start(*pet);
            return;
        }
}

void tray_fill_menu(Program& program, Menu* menu, bool from_icon)
{
    if (!menu)
        return;
    const bool with_put_away = from_icon;
    const bool with_login = from_icon || !program.icon_owner || !platform_tray_icon_shown(program.icon_owner);
    platform_set_menu_item(
        menu, CMD_EXIT, CMD_PUT_AWAY,
        with_put_away ? text_of(program.language, program.pets_away ? TextId::menu_call_back : TextId::menu_put_away)
                      : nullptr,
        -1);
    platform_set_menu_item(menu, CMD_EXIT, CMD_START_AT_LOGIN,
                           with_login ? text_of(program.language, TextId::menu_start_at_login) : nullptr,
                           with_login ? int(login_start_on(program)) : -1);
}

bool tray_command(Pet& pet, unsigned command)
{
    Program& program = *pet.program;
    if (command == unsigned(CMD_PUT_AWAY)) {
        if (program.pets_away) {
            tray_call_pets(program);
        } else {
            program.pets_away = true;
            for_each_pet(program, put_away);
        }
        return true;
    }
    if (command == unsigned(CMD_START_AT_LOGIN)) {
        login_start_switch(program, pet.window);
        return true;
    }
    return false;
}

void tray_call_pets(Program& program)
{
    const bool were_away = program.pets_away;
    program.pets_away = false;
    for_each_pet(program, [were_away](Pet& pet) { call_back(pet, were_away); });
    // Their lives go on under the one timer, the oldest pet's.
    if (were_away && !program.timer_window && !company_timer_start(program))
        company_close_windows(program);
}
