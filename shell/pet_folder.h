// Pets of the user's own: a folder holding a sprite sheet and, if it likes,
// a mask, a behaviour script and a pet.ini with its name. Where such folders
// are found, how they are named, and how one is read and checked before the
// program runs on it. Folders are untrusted input: only regular files inside
// them are read, never anything outside them, and nothing is ever written.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/pet_state.h"
#include "engine/room.h"
#include "engine/script_file.h"
#include "graphics/bmp.h"
#include "shell/pet_cells.h"

// The built-in sheet's grid: 20 cells of 42 x 42 pixels a row, images
// numbered from 1 row by row; its 108 images fill 6 rows. A pet's sheet holds
// at most as many images, in cells and columns of its own (shell/pet_cells.h).
constexpr int PET_COLUMNS = 20;
constexpr int PET_ROWS = 6;
constexpr int PET_IMAGES = 108;
constexpr char PET_SHEET_FILE[] = "sprites.bmp";
// A sheet with alpha, in place of sprites.bmp: pixels of alpha 50 % or more
// are the pet, the rest is see-through.
constexpr char PET_PNG_SHEET_FILE[] = "sprites.png";
constexpr char PET_MASK_FILE[] = "mask.bmp";
constexpr char PET_SCRIPT_FILE[] = "behaviour.script";
constexpr char PET_INI_FILE[] = "pet.ini";

// A pet is named by its folder's name alone: not empty, no path separator,
// no drive colon, no control character, not "." or "..".
bool pet_name_valid(std::string_view name);

// The folders pets are looked for in, in order: "pets" beside the program
// (`program_folder`; for a program installed in <prefix>/bin or
// <prefix>/games also <prefix>/share/dorrabee/pets), then the user's own. An empty program folder or an
// unset environment leaves that place out.
std::vector<std::string> pet_places(const std::string& program_folder);

struct PetEntry {
    std::string folder;  // the folder's name: what the settings keep
    std::string name;    // what the menu shows
    std::string path;
};

// The names read from pet.ini files, remembered with each file's time and
// size, so that a menu opened again reads only the files that changed.
struct PetNameCache {
    struct Known {
        int64_t stamp = 0;
        uintmax_t size = 0;
        std::string name;
    };
    std::map<std::string, Known> by_path;
};

// Every pet folder in the places, each place's in order of folder name; a
// name already found in an earlier place hides a later folder of that name.
// Only the first `limit` are given (their names read from at most the first
// PET_NAME_READ bytes of pet.ini); `unlisted` counts the rest.
constexpr size_t PET_NAME_READ = 4096;
std::vector<PetEntry> pets_found(const std::vector<std::string>& places, size_t limit = SIZE_MAX,
                                 PetNameCache* names = nullptr, size_t* unlisted = nullptr);
// The path of the pet folder `folder` in the places, or "" when the name is
// invalid or no place holds it.
std::string pet_path(const std::vector<std::string>& places, std::string_view folder);

// A pet folder's files as read; a file the folder does not have is absent.
struct PetFiles {
    std::optional<std::string> sheet;
    std::optional<std::string> png_sheet;  // taken before `sheet` when the folder has both
    std::optional<std::string> mask;
    std::optional<std::string> script;
    std::optional<std::string> ini;
};

// What the menu and every message call the pet: pet.ini's [Pet] Name=, or
// the folder's name.
std::string pet_display_name(const std::optional<std::string>& ini, const std::string& folder);

struct PetFolder {
    std::string name;
    PetCells cells;  // their size and the sheet's columns; the built-in cat's unless pet.ini says otherwise
    // Both laid out in square cells of cells.side, cells.columns a row (the
    // sheet padded with the key colour, the mask with "not the pet"), as
    // many as the sheet holds, so that they stand in for the built-in ones.
    Bitmap sheet;
    Bitmap mask;
    // A PNG sheet with alpha: its pixels premultiplied (0xAARRGGBB), laid
    // out as `sheet`, for the windows the system blends; empty for any other.
    std::vector<uint32_t> blended;
    int32_t sheet_width = 0;  // as the file gives it
    int32_t sheet_height = 0;
    const char* sheet_file = PET_SHEET_FILE;
    int32_t image_cells = 0;  // images the folder's own sheet holds
    bool has_script = false;  // otherwise the pet lives by the built-in script
    ScriptFile script;
};

// The mask of a sheet that comes without one: every pixel that is not the
// key colour belongs to the pet. 1-bit, index 1 (white) the pet.
Bitmap mask_from_sheet(const Bitmap& sheet);

// Decodes and checks the files; on failure `message` says what is wrong,
// naming the file, without the pet's name.
bool pet_decode(const PetFiles& files, PetFolder& pet, std::string& message);
// Reads the folder at `path` and decodes it; every message begins with the
// pet's name. A missing folder or sheet is a failure too.
bool pet_folder_load(const std::string& path, PetFolder& pet, std::string& message);

// Runs the script loader on the pet's script (the built-in one when it has
// none), collecting its messages, each line prefixed with the pet's name,
// and checks that every image the script shows is in the sheet. The loaded
// pet (whose folder must outlive it), or null with nothing left behind.
PetState* pet_engine_start(const PetFolder& pet, const Room& room, int32_t timer_ms, uint32_t seed,
                           std::string& messages);
