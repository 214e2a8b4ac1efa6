// Which pets the program runs: the built-in cat, the company the settings
// name (key "Pets", or the single "Pet"), or folders given on the command
// line; and the pop-up menu's 宠物(&P) sub-menu that adds a pet of any kind
// found or sends the clicked one away.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Bitmap;
struct Menu;
struct Pet;
struct Program;

#include "support/ids.h"

// The sub-menu's commands, from CMD_PET_FIRST: the built-in cat, then each
// pet found, in order, then sending the clicked pet away.
constexpr int PET_MENU_LIMIT = 100;
// The most pets a saved company names; more are left out.
constexpr int COMPANY_LIMIT = 100;

// A kind of pet, as the settings or the command line name it.
struct PetKind {
    // What the settings keep: the folder's name in the pet places; empty for
    // the built-in cat and for a folder given on the command line.
    std::string folder;
    // Where it is read; empty: the built-in cat (or, with a folder name, a
    // folder no place holds).
    std::string path;
};
inline bool is_built_in(const PetKind& kind)
{
    return kind.folder.empty() && kind.path.empty();
}

// The pets to start with: every --pet PATH; else the saved company ("Pets",
// then "Pet 1" ... "Pet N"); else the single "Pet" (none: the built-in cat).
std::vector<PetKind> company_at_start(Program& program);

// Loads the engine on a pet of that kind, in its room; false after the one
// message box that says why.
bool pet_load(Pet& pet, const PetKind& kind, uint32_t seed);
// The built-in cat; false when even it fails.
bool pet_load_built_in(Pet& pet, uint32_t seed);

// The sprite sheet or mask of the pet, handed over from its folder (each is
// read once, as its window is made), or the resource when it is the
// built-in cat.
bool pet_choice_bitmap(Pet& pet, int resource_id, Bitmap* out);

// Lists the pets found now in the clicked pet's menu, its own kind checked,
// and the item that sends it away last.
void pet_choice_fill_menu(Pet& clicked, Menu* menu);

// A command of the sub-menu: adds a pet of the chosen kind, or sends the
// clicked pet away. False when the command is not one of the sub-menu's.
bool pet_choice_command(Pet& clicked, unsigned command);

// Saves the living pets as the company, in one write, when the settings
// named one or it changed in this run (never for a command-line company);
// a failed save shows a box unless `quietly` (the session is ending and
// nobody would read it). False when the save failed.
bool company_save(Program& program, bool quietly = false);
