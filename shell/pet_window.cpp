// What the pet window does with each message.
#include "shell/pet_window.h"

#include "engine/engine.h"
#include "platform/platform.h"
#include "shell/company.h"
#include "shell/dialogs.h"
#include "shell/drag_input.h"
#include "shell/errors.h"
#include "shell/fullscreen_entry.h"
#include "shell/pet_on_desk.h"
#include "shell/pet_choice.h"
#include "shell/pet_zoom.h"
#include "shell/program.h"
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
void open_menu(Pet& pet, int32_t x, int32_t y, bool from_icon)
{
    pet_choice_fill_menu(pet, pet.graphics.pet_menu);
    tray_fill_menu(*pet.program, pet.graphics.pet_menu, from_icon);
    fullscreen_entry_fill(*pet.program, pet.graphics.pet_menu);
    // The chosen command comes back as MSG_COMMAND once the menu has closed.
    platform_track_popup_menu(pet.graphics.pet_menu, x, y, pet.window);
    // The menu took the mouse, and with it the left button's release of a
    // drag in progress: put the pet down rather than leave it held.
    drag_input_end(pet);
}

void open_pet_menu(Pet& pet, intptr_t lparam)
{
    int32_t x = low_word(lparam);
    int32_t y = high_word(lparam);
    platform_client_to_screen(pet.window, &x, &y);
    open_menu(pet, x, y, false);
}

void run_command(Pet& pet, unsigned command)
{
    switch (command) {
        case CMD_EXIT:
            company_end(*pet.program);
            break;
        case CMD_ABOUT:
            open_about_dialog(pet, pet.window);
            break;
        case CMD_OPTIONS:
            open_options_dialog(pet, pet.window);
            break;
        default:  // CMD_CONTINUE just closes the menu
            if (!tray_command(pet, command) && !fullscreen_entry_command(pet, command))
                pet_choice_command(pet, command);
            break;
    }
}

// One pet's step in the company's tick.
void pet_tick(Pet& pet)
{
    if (pet.program->fatal_error || desk_out_of_the_way(pet))
        return;
    PetState* state = pet.state;
    const int32_t old_x = state->x;
    const int32_t old_y = state->y;
    const int32_t old_image = state->current_image;
    const int32_t old_mirrored = state->current_mirrored;
    if (state->dragging)
        drag_tick(state);
    else
        desk_step(pet);
    // Onto a monitor of another scaling: the window was made anew there.
    if (pet_zoom_follow(pet))
        return;
    const bool image_changed = state->current_image != old_image || state->current_mirrored != old_mirrored;
    // The new outline goes on while the window still stands at the old place.
    if (pet.program->settings.display_mode != MODE_STANDARD && image_changed)
        apply_outline(pet);
    if (image_changed || state->x != old_x || state->y != old_y)
        reposition_window(pet, old_x, old_y);
}

// One tick of the company's timer steps every living pet, the oldest first;
// the timer's id is not looked at. A pet that takes the program down stops it.
void company_tick(Program& program, Window* window)
{
    if (window != program.timer_window)
        return;
    // Every pet's window changes of the tick leave together.
    const std::vector<Window*>& before = company_stacking(program);
    platform_begin_changes(before.data(), static_cast<int>(before.size()));
    for (size_t k = 0; k < program.pets.size() && !program.fatal_error; ++k)
        if (pet_lives(*program.pets[k]))
            pet_tick(*program.pets[k]);
    // A fatal error meanwhile took the windows: those still here, if any.
    const std::vector<Window*>& after = company_stacking(program);
    platform_end_changes(after.data(), static_cast<int>(after.size()));
}

// The desk changed under the pet: read it again, drop margins that no longer
// fit as start-up does (taking them back once they fit again), and bring the
// pet inside its room at once, or it may stay off-screen where no one can
// reach it.
void follow_desk_change(Pet& pet)
{
    Program& program = *pet.program;
    desktop_read(program.desktop);
    settings_fit_margins_to_screen(program);
    pet.room = pet_room(program, pet.zoom);
    if (program.fatal_error)
        return;
    const int32_t old_x = pet.state->x;
    const int32_t old_y = pet.state->y;
    desk_keep_inside(pet);
    if (!pet_zoom_follow(pet) && (pet.state->x != old_x || pet.state->y != old_y))
        reposition_window(pet, old_x, old_y);
}

}  // namespace

intptr_t pet_window_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    Pet* owner = pet_of(window);
    if (!owner)
        return platform_default_window_proc(window, message, wparam, lparam);
    Pet& pet = *owner;
    switch (message) {
        case MSG_CREATE:
            pet.window = window;
            return 0;
        case MSG_SIZE:
        case MSG_RBUTTONUP:
            return 0;
        case MSG_DESTROY:
            platform_kill_timer(window, PET_TIMER_ID);
            graphics_release(pet);
            release_outlines(pet);
            // The record stays till the program ends; its big pictures need not.
            pet.folder.sheet = Bitmap{};
            pet.folder.mask = Bitmap{};
            pet.folder.blended = {};
            tray_window_gone(*pet.program, window);
            // Nothing may reach the window through this handle any more.
            if (window == pet.window)
                pet.window = nullptr;
            company_window_gone(*pet.program, window);
            return 0;
        case MSG_PAINT:
            // After a fatal error nothing is drawn, but the paint is still
            // acknowledged, or the system would ask again at once, forever.
            if (pet.program->fatal_error)
                return platform_default_window_proc(window, message, wparam, lparam);
            paint_frame(pet);
            return 0;
        case MSG_COMMAND:
            run_command(pet, static_cast<unsigned>(wparam & 0xFFFF));
            return 0;
        case MSG_TIMER:
            company_tick(*pet.program, window);
            return 0;
        case MSG_TRAY:
            if (wparam == TRAY_MENU_WANTED)
                open_menu(pet, static_cast<int16_t>(low_word(lparam)), static_cast<int16_t>(high_word(lparam)), true);
            else if (wparam == TRAY_ACTIVATED)
                tray_call_pets(*pet.program);
            return 0;
        case MSG_QUERYENDSESSION:
            // Each window hears it: the company is saved once.
            if (window == oldest_living_window(*pet.program))
                company_save(*pet.program, true);
            return 1;
        case MSG_ENDSESSION:
            if (wparam)
                company_end_session(*pet.program);
            return 0;
        case MSG_DISPLAYCHANGE:
        case MSG_DPICHANGED:  // handled: the window keeps its size until its zoom changes
            follow_desk_change(pet);
            return 0;
        case MSG_MOUSEMOVE:
            drag_input_move(pet, wparam, static_cast<int16_t>(low_word(lparam)),
                            static_cast<int16_t>(high_word(lparam)));
            return 0;
        case MSG_LBUTTONDOWN:
            drag_input_begin(pet, static_cast<int16_t>(low_word(lparam)), static_cast<int16_t>(high_word(lparam)));
            return 0;
        case MSG_LBUTTONUP:
            drag_input_end(pet);
            return 0;
        case MSG_LBUTTONDBLCLK:
        case MSG_RBUTTONDOWN:
            open_pet_menu(pet, lparam);
            return 0;
        default:
            return platform_default_window_proc(window, message, wparam, lparam);
    }
}
