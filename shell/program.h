// The records the program runs on: one per living pet, and the program's
// own. Everything the shell does works on these, passed to it; a window's
// procedure finds its pet through the window's user pointer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/pet_state.h"
#include "engine/room.h"
#include "graphics/sprites.h"
#include "platform/platform.h"
#include "shell/dialogs.h"
#include "shell/pet_folder.h"
#include "shell/pet_graphics.h"
#include "shell/settings.h"

struct Program;

// The desk as the platform last reported it, the primary monitor first.
struct Desktop {
    Monitor monitors[MAX_MONITORS];
    int32_t count;
};

// One living pet: everything that belongs to it alone.
struct Pet {
    Program* program;  // the program it lives in
    PetState* state;   // the engine's record; null until the pet has loaded
    PetFolder folder;  // its folder's pictures and script; none for the built-in cat
    std::string path;  // the pet folder it runs; empty: the built-in cat
    Window* window;    // null before it is made and once it is gone
    int32_t zoom;      // screen pixels per pet pixel
    Room room;         // where it lives, in its own pixels
    Sprites sprites;
    PetGraphics graphics;
    Cursor* cursor_before_drag;  // while it is carried
};

// What the program has once, whatever the number of pets.
struct Program {
    Settings settings;          // as read at start-up: what every pet runs on
    Settings pending_settings;  // what the Options dialog shows, edits and saves
    char settings_path[SETTINGS_PATH_SIZE];
    // The desk became too small for the margins: none until it holds them again.
    bool margins_dropped;
    int32_t zoom;  // what a new pet is shown at: the Zoom key, or the primary monitor's scaling
    Desktop desktop;
    // Put away from the notification-area icon: hidden, their lives paused.
    bool pets_away;
    // The window the notification-area icon reports to; null: no icon.
    Window* icon_owner;
    Dialogs dialogs;
    int32_t fatal_error;            // set by report_error, never cleared
    std::string program_folder;     // its "pets" folder is beside it
    std::string command_line_path;  // --pet PATH: run, never saved
    std::vector<PetEntry> listed;   // what the Pets sub-menu showed last
    PetNameCache pet_names;         // so that opening the menu again reads no pet.ini unchanged
    // The built-in cat's script; null: builtin_script(), as the program has it.
    const ScriptText* builtin_behaviour;
    Pet* pet;  // the living pet
};

// Reads the desk from the platform.
void desktop_read(Desktop& desktop);
// The room of a pet: the primary monitor, in the pet's pixels, with the
// settings' margins unless the desk is too small for them.
Room pet_room(const Program& program, int32_t zoom);
// The pet whose window (or dialog) this is.
inline Pet* pet_of(Window* window)
{
    return static_cast<Pet*>(platform_window_user(window));
}
