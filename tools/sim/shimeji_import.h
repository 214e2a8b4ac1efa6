// Shimeji image sets brought across as pet folders: the numbered frames
// (shime1.png ... shime46.png, all of one size, facing left) become one PNG
// sheet, and the poses the numbering stands for are mapped to a behaviour
// script of ours. Only the images are taken; a set's own behaviour files are
// never read.
#pragma once

#include <cstdio>
#include <string>

constexpr int SHIMEJI_FRAMES = 46;
constexpr int SHIMEJI_COLUMNS = 8;  // of the sheet written: 6 rows hold the 46 frames

// The pose table: which frames each pose shows, in order. Frame N is image N
// of the sheet, so an author editing the script keeps the set's numbers.
struct ShimejiPose {
    const char* name;
    const char* frames;  // comma-separated frame numbers
};
constexpr ShimejiPose SHIMEJI_POSES[] = {
    {"stand", "1"}, {"walk", "1,2,1,3"},      {"fall", "4"},   {"be carried", "5,6,5,7"},
    {"sit", "11"},  {"climb", "12,13,14,13"}, {"sleep", "21"}, {"hang", "23,24,25,24"},
};

// Reads the frames in `set_folder` and writes sprites.png, behaviour.script
// and pet.ini into `pet_folder` (made when missing; never the set's own
// folder, never through a link). What was done, or why not, goes to `out`;
// returns the exit status (0 done, 1 the set cannot be imported, 2 the pet
// folder cannot be written).
int import_shimeji(const std::string& set_folder, const std::string& pet_folder, std::FILE* out);
