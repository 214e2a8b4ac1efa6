// Which pet the program runs: the built-in cat, the pet folder the settings
// name (key "Pet"), or a folder given on the command line; and the pop-up
// menu's 宠物(&P) sub-menu that changes the choice.
#pragma once

#include <cstdint>

struct Bitmap;
struct Menu;
struct Pet;
struct Program;

#include "support/ids.h"

// The sub-menu's commands, from CMD_PET_FIRST: the built-in cat, then each pet found, in order.
constexpr int PET_MENU_LIMIT = 100;

// Loads the engine on the chosen pet, in its room. A pet that fails costs
// one message box, then the built-in cat runs; 0 only when that fails too.
int pet_choice_start(Pet& pet, uint32_t seed);

// The sprite sheet or mask of the running pet, or the resource when the
// built-in cat runs.
bool pet_choice_bitmap(const Pet& pet, int resource_id, Bitmap* out);

// Lists the pets found now, the running one checked, in the menu.
void pet_choice_fill_menu(Program& program, Menu* menu);

// A command of the sub-menu: saves the choice and starts the program anew
// on it. False when the command is not one of the sub-menu's.
bool pet_choice_command(Pet& pet, unsigned command);
