// What the pet window does with each message.
#include "shell/pet_window.h"

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/dialogs.h"
#include "shell/drag_input.h"
#include "shell/errors.h"
#include "shell/pet_choice.h"
#include "shell/pet_graphics.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/tray.h"
#include "shell/window_shape.h"

namespace {

// Mouse messages carry the window point as two 16-bit halves of lparam.
uint16_t low_word(intptr_t lparam)
{
    return static_cast<uint16_t>(static_cast<uintptr_t>(lparam) & 0xFFFF);
}

uint16_t high_word(intptr_t lparam)
{
    return static_cast<uint16_t>((static_cast<uintptr_t>(lparam) >> 16) & 0xFFFF);
}

// The one menu, at a screen point: the pet's own, or the notification-area icon's.
void open_menu(int32_t x, int32_t y, bool from_icon)
{
    pet_choice_fill_menu(graphics.pet_menu);
    tray_fill_menu(graphics.pet_menu, from_icon);
    // The chosen command comes back as MSG_COMMAND once the menu has closed.
    platform_track_popup_menu(graphics.pet_menu, x, y, pet_window);
    // The menu took the mouse, and with it the left button's release of a
    // drag in progress: put the pet down rather than leave it held.
    drag_input_end();
}

void open_pet_menu(Window* window, intptr_t lparam)
{
    int32_t x = low_word(lparam);
    int32_t y = high_word(lparam);
    platform_client_to_screen(window, &x, &y);
    open_menu(x, y, false);
}

void run_command(Window* window, unsigned command)
{
    switch (command) {
        case CMD_EXIT:
            platform_destroy_window(pet_window);
            break;
        case CMD_ABOUT:
            open_about_dialog(window);
            break;
        case CMD_OPTIONS:
            open_options_dialog(window);
            break;
        default:  // CMD_CONTINUE just closes the menu
            if (!tray_command(window, command))
                pet_choice_command(command);
            break;
    }
}

// One tick of the pet timer; the timer's id is not looked at.
void pet_tick()
{
    if (fatal_error)
        return;
    const int32_t old_x = pet->x;
    const int32_t old_y = pet->y;
    const int32_t old_image = pet->current_image;
    const int32_t old_mirrored = pet->current_mirrored;
    if (pet->dragging)
        drag_tick();
    else
        pet_step();
    const bool image_changed = pet->current_image != old_image || pet->current_mirrored != old_mirrored;
    // The new outline goes on while the window still stands at the old place.
    if (settings.display_mode != MODE_STANDARD && image_changed)
        apply_outline();
    if (image_changed || pet->x != old_x || pet->y != old_y)
        reposition_window(pet_window, old_x, old_y);
}

// The screen changed size under the pet: take the new size, drop margins that
// no longer fit as start-up does (taking them back once they fit again), and
// bring the pet inside its box at once, or it may stay off-screen where no
// one can reach it.
void follow_screen_change(Window* window, int32_t width, int32_t height)
{
    screen_width = zoom_in(width, pet_zoom);
    screen_height = zoom_in(height, pet_zoom);
    settings_fit_margins_to_screen();
    if (fatal_error)
        return;
    const int32_t old_x = pet->x;
    const int32_t old_y = pet->y;
    pet_keep_inside();
    if (pet->x != old_x || pet->y != old_y)
        reposition_window(window, old_x, old_y);
}

}  // namespace

intptr_t pet_window_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    switch (message) {
        case MSG_CREATE:
        case MSG_SIZE:
        case MSG_RBUTTONUP:
            return 0;
        case MSG_DESTROY:
            platform_kill_timer(window, PET_TIMER_ID);
            graphics_release();
            release_outlines();
            tray_stop();
            // Nothing may reach the window through this handle any more.
            if (window == pet_window)
                pet_window = nullptr;
            platform_post_quit(0);
            return 0;
        case MSG_PAINT:
            // After a fatal error nothing is drawn, but the paint is still
            // acknowledged, or the system would ask again at once, forever.
            if (fatal_error)
                return platform_default_window_proc(window, message, wparam, lparam);
            paint_frame(window);
            return 0;
        case MSG_COMMAND:
            run_command(window, static_cast<unsigned>(wparam & 0xFFFF));
            return 0;
        case MSG_TIMER:
            pet_tick();
            return 0;
        case MSG_TRAY:
            if (wparam == TRAY_MENU_WANTED)
                open_menu(static_cast<int16_t>(low_word(lparam)), static_cast<int16_t>(high_word(lparam)), true);
            else if (wparam == TRAY_ACTIVATED)
                tray_call_pet(window);
            return 0;
        case MSG_DISPLAYCHANGE:
            follow_screen_change(window, low_word(lparam), high_word(lparam));
            return 0;
        case MSG_MOUSEMOVE:
            drag_input_move(window, wparam, static_cast<int16_t>(low_word(lparam)),
                            static_cast<int16_t>(high_word(lparam)));
            return 0;
        case MSG_LBUTTONDOWN:
            drag_input_begin(window, static_cast<int16_t>(low_word(lparam)), static_cast<int16_t>(high_word(lparam)));
            return 0;
        case MSG_LBUTTONUP:
            drag_input_end();
            return 0;
        case MSG_LBUTTONDBLCLK:
        case MSG_RBUTTONDOWN:
            open_pet_menu(window, lparam);
            return 0;
        default:
            return platform_default_window_proc(window, message, wparam, lparam);
    }
}
