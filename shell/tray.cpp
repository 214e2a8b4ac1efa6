// Putting the pet away and calling it back, and the added menu entries.
#include "shell/tray.h"

#include "engine/engine.h"
#include "engine/floor.h"
#include "platform/platform.h"
#include "shell/drag_input.h"
#include "shell/errors.h"
#include "shell/login_start.h"
#include "shell/settings.h"
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

// The program's, not a pet's: every pet is put away and called back at once.
// (It moves into the program record with the rest of the program's state.)
bool pet_away = false;

void put_pet_away(Window* pet_window)
{
    pet_away = true;
    drag_input_end();  // a pet carried off-screen is let go first
    platform_kill_timer(pet_window, PET_TIMER_ID);
    platform_show_window(pet_window, SHOW_HIDE);
}

}  // namespace

void tray_start(Window* pet_window)
{
    platform_add_tray_icon(pet_window, "Dorrabee");
}

void tray_stop()
{
    platform_remove_tray_icon();
}

void tray_fill_menu(Menu* menu, bool from_icon)
{
    if (!menu)
        return;
    const bool with_put_away = from_icon;
    const bool with_login = from_icon || !platform_tray_icon_shown();
    platform_set_menu_item(menu, CMD_EXIT, CMD_PUT_AWAY,
                           with_put_away ? (pet_away ? CALL_BACK : PUT_AWAY).chinese : nullptr, -1);
    platform_set_menu_item(menu, CMD_EXIT, CMD_START_AT_LOGIN, with_login ? START_AT_LOGIN.chinese : nullptr,
                           with_login ? int(login_start_on()) : -1);
}

bool tray_command(Window* pet_window, unsigned command)
{
    if (command == unsigned(CMD_PUT_AWAY)) {
        if (pet_away)
            tray_call_pet(pet_window);
        else
            put_pet_away(pet_window);
        return true;
    }
    if (command == unsigned(CMD_START_AT_LOGIN)) {
        login_start_switch(pet_window);
        return true;
    }
    return false;
}

void tray_call_pet(Window* pet_window)
{
    if (!pet)
        return;
    const int32_t old_x = pet->x;
    const int32_t old_y = pet->y;
    const int32_t old_image = pet->current_image;
    const int32_t old_mirrored = pet->current_mirrored;
    drag_input_end();
    pet_to_floor();
    if (settings.display_mode != MODE_STANDARD &&
        (pet->current_image != old_image || pet->current_mirrored != old_mirrored))
        apply_outline();
    // Moved while still hidden: it shows where it was called to.
    reposition_window(pet_window, old_x, old_y);
    if (!pet_away)
        return;
    pet_away = false;
    platform_show_window(pet_window, SHOW_NOACTIVATE);
    if (!platform_set_timer(pet_window, PET_TIMER_ID, static_cast<unsigned>(pet->tick_ms)))
        report_error(pet_window, "Too many clocks or timers! Fail to set timer");
}

bool tray_pet_away()
{
    return pet_away;
}

void tray_reset()
{
    pet_away = false;
}
