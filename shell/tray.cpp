// Putting the pets away and calling them back, and the added menu entries.
#include "shell/tray.h"

#include "engine/engine.h"
#include "engine/floor.h"
#include "platform/platform.h"
#include "shell/drag_input.h"
#include "shell/errors.h"
#include "shell/login_start.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "shell/window_shape.h"

namespace {

// Each added entry in the program's two languages; the first is the one shown.
struct Caption {
    const char* chinese;
    const char* english;
};
constexpr Caption PUT_AWAY = {"收起宠物(&H)", "Put the pet a&way"};
constexpr Caption CALL_BACK = {"叫回宠物(&H)", "Call the pet &back"};
constexpr Caption START_AT_LOGIN = {"登录时启动(&L)", "Start at &login"};

// Every living pet of the program, one after another (today there is one).
template <typename Act>
void for_each_pet(Program& program, Act act)
{
    if (Pet* pet = program.pet; pet && pet->window && pet->state)
        act(*pet);
}

void put_away(Pet& pet)
{
    drag_input_end(pet);  // a pet carried off-screen is let go first
    platform_kill_timer(pet.window, PET_TIMER_ID);
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
    if (!was_away)
        return;
    platform_show_window(pet.window, SHOW_NOACTIVATE);
    if (!platform_set_timer(pet.window, PET_TIMER_ID, static_cast<unsigned>(program.settings.timer_ms)))
        report_error(program, pet.window, "Too many clocks or timers! Fail to set timer");
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
}

void tray_fill_menu(Program& program, Menu* menu, bool from_icon)
{
    if (!menu)
        return;
    const bool with_put_away = from_icon;
    const bool with_login = from_icon || !program.icon_owner || !platform_tray_icon_shown(program.icon_owner);
    platform_set_menu_item(menu, CMD_EXIT, CMD_PUT_AWAY,
                           with_put_away ? (program.pets_away ? CALL_BACK : PUT_AWAY).chinese : nullptr, -1);
    platform_set_menu_item(menu, CMD_EXIT, CMD_START_AT_LOGIN, with_login ? START_AT_LOGIN.chinese : nullptr,
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
}
