// What a pet author looks at: every image of the sheet under its number, and
// each action of the loaded script played as the program plays it.
#pragma once

#include <string>

#include "shell/pet_folder.h"
#include "tools/sim/image_files.h"

// Every image the sheet holds, under its number, up to 12 a row: twice its size,
// or as it is when its cells are larger than 84 pixels.
Picture contact_sheet(const PetFolder& folder);
// Action `action` (0-based) of the loaded engine, one frame per tick (at most
// `frame_limit` of them), moving by its dx, dy over a plain ground, at the contact sheet's scale.
std::vector<Picture> action_frames(const PetFolder& folder, const PetState* pet, int action, int frame_limit = 1 << 30);

// Bounds on what one check writes, whatever the script asks for.
constexpr size_t GIF_BYTES_LIMIT = 4u << 20;
constexpr size_t PICTURE_BYTES_LIMIT = 48u << 20;

// Writes contact.png and action-01.gif ... action-65.gif into `out_folder`,
// the actions played at timer_ms a frame, within the bounds above; `cuts`
// says what was left out. False with `error` naming the file that could not
// be written.
bool write_pet_pictures(const PetFolder& folder, const PetState* pet, int32_t timer_ms, const std::string& out_folder,
                        std::vector<std::string>& cuts, std::string& error);
