// Which pet the program runs: the built-in cat, the pet folder the settings
// name (key "Pet"), or a folder given on the command line; and the pop-up
// menu's 宠物(&P) sub-menu that changes the choice.
#pragma once

#include <cstdint>
#include <string>

struct Bitmap;
struct Menu;

#include "support/ids.h"

// The sub-menu's commands, from CMD_PET_FIRST: the built-in cat, then each pet found, in order.
constexpr int PET_MENU_LIMIT = 100;

// Called by a platform's entry point before dorrabee_main: the folder the
// program stands in (its "pets" folder is beside it) and the command line,
// where "--pet PATH" runs that folder without saving it.
void pet_choice_options(const char* program_folder, int argc, const char* const* argv);

// The folder "--pet PATH" gave, as given; empty when none was.
std::string pet_choice_command_line_folder();

// Loads the engine on the chosen pet. A pet that fails costs one message
// box, then the built-in cat runs; 0 only when that fails too.
int pet_choice_start();

// The sprite sheet or mask of the running pet, or the resource when the
// built-in cat runs.
bool pet_choice_bitmap(int resource_id, Bitmap* out);

// Lists the pets found now, the running one checked, in the menu.
void pet_choice_fill_menu(Menu* menu);

// A command of the sub-menu: saves the choice and starts the program anew
// on it. False when the command is not one of the sub-menu's.
bool pet_choice_command(unsigned command);
