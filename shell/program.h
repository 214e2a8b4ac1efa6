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
#include "shell/desk.h"
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
    // Its folder's name in the pet places, as the settings keep it; empty for
    // the built-in cat and for a folder given on the command line.
    std::string kind;
    Window* window;  // null before it is made and once it is gone
    int32_t zoom;    // screen pixels per pet pixel
    Room room;       // where it lives, in its own pixels
    Sprites sprites;
    PetGraphics graphics;
    Cursor* cursor_before_drag;  // while it is carried
    bool away_for_fullscreen;    // hidden while a fullscreen program is in front of it
    uint32_t stacked;            // when it was last put above the others (added, carried): higher is higher
};

// What the program has once, whatever the number of pets.
struct Program {
    Settings settings;          // as read at start-up: what every pet runs on
    Settings pending_settings;  // what the Options dialog shows, edits and saves
    char settings_path[SETTINGS_PATH_SIZE];
    // The desk became too small for the margins: none until it holds them again.
    bool margins_dropped;
    int32_t zoom;      // what a new pet is shown at: the Zoom key, or the primary monitor's scaling
    int32_t zoom_key;  // the Zoom key as read: 1 ... MAX_ZOOM holds everywhere, else each monitor's scaling
    Desktop desktop;
    DeskSettings desk_settings;  // read with the settings
    // Put away from the notification-area icon: hidden, their lives paused.
    bool pets_away;
    // The window the notification-area icon reports to; null: no icon.
    Window* icon_owner;
    Dialogs dialogs;
    // The language of the menu, dialogs and boxes (support/texts.h; 0, Chinese,
    // until it is chosen at start-up).
    int32_t language;
    int32_t fatal_error;                          // set by report_error, never cleared
    std::string program_folder;                   // its "pets" folder is beside it
    std::vector<std::string> command_line_paths;  // each --pet PATH: a company to try out, never saved
    std::vector<PetEntry> listed;                 // what the Pets sub-menu showed last
    PetNameCache pet_names;                       // so that opening the menu again reads no pet.ini unchanged
    size_t unlisted_pets;                         // how many pets the Pets sub-menu had no room for
    // The built-in cat's script; null: builtin_script(), as the program has it.
    const ScriptText* builtin_behaviour;
    uint32_t first_seed;         // the first pet's behaviour seed; later pets' are drawn from it
    bool company_from_settings;  // the settings named a company ("Pets")
    bool company_changed;        // a pet came or went from the menu
    Window* timer_window;        // the window carrying PET_TIMER_ID: the oldest living pet's
    int show_command;            // how the platform asked the first windows to show; later pets show so too
    // Every pet of this run, oldest first. One sent away keeps its record,
    // without a window, until the program ends: a message on its way may
    // still name it.
    std::vector<Pet*> pets;
    uint32_t stack_top;             // the highest Pet::stacked given so far
    std::vector<Window*> stacking;  // the living pets' windows, lowest first, as company_stacking last gave them
};

inline bool pet_lives(const Pet& pet)
{
    return pet.window != nullptr;
}

// The side of the pet's square cells in its own pixels (the built-in cat's
// folder is empty and says SPRITE_SIZE), and of its window on the screen.
inline int32_t pet_cell_side(const Pet& pet)
{
    return pet.folder.cells.side;
}
inline int32_t pet_window_side(const Pet& pet)
{
    return pet.folder.cells.side * pet.zoom;
}

// Reads the desk from the platform.
void desktop_read(Desktop& desktop);
// The room a pet starts in: the primary monitor (or the one the settings
// keep it on), in the pet's pixels, with the settings' margins unless the
// desk is too small for them.
Room pet_room(const Program& program, int32_t zoom);
// The pet whose window (or dialog) this is.
inline Pet* pet_of(Window* window)
{
    return static_cast<Pet*>(platform_window_user(window));
}
