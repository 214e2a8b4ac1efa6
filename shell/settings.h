// The settings file "dorra.ini": its path, reading at start-up, writing from
// the Options dialog.
#pragma once

#include <cstdint>
#include <string>

struct Program;
struct Monitor;

enum DisplayMode : int32_t {
    MODE_STANDARD = 0,     // rectangular window, sprite composited over a copy of the screen
    MODE_PRECOMPUTED = 1,  // outlines of all images built at start-up
    MODE_LIVE = 2,         // the outline of each image built when needed
};

struct Settings {
    int32_t display_mode;  // a DisplayMode, but any value read from the file is kept
    int32_t top_margin;    // screen pixels
    int32_t bottom_margin;
    int32_t left_margin;
    int32_t right_margin;
    int32_t timer_ms;
};

// Room for any path Windows gives in MAX_PATH UTF-16 units, each up to
// three bytes of UTF-8.
constexpr int SETTINGS_PATH_SIZE = 1024;
// A save that had no file to go to: the settings path is empty when there is
// no folder the settings may be kept in, and the program then runs on the
// defaults and says so when a save is asked for.
constexpr int SAVE_NOWHERE = 3;
// The message for a save to `path` that failed with `failure` (a SAVE_* reason).
std::string settings_save_failure(const char* path, int failure);

// No path, and the settings as a missing file gives them.
void settings_reset(Program& program);
void settings_path_init(Program& program);
// Reads "Zoom" (0 or missing: the primary monitor's scaling) into program.zoom;
// before settings_read.
void zoom_init(Program& program);
void settings_read(Program& program);
// Writes all six values of pending_settings in one save; false when the file
// could not be written, with the platform's SAVE_* reason in `failure`.
bool settings_write(const Program& program, int* failure = nullptr);
// Whether a pet at zoom z on the screen keeps the margins (screen pixels).
int margins_fit(const Monitor& screen, int32_t z, int32_t top, int32_t left, int32_t bottom, int32_t right);
// After a change of the desk: margins that no longer fit go, as at start-up,
// and margins that went so come back once the screen holds them again.
void settings_fit_margins_to_screen(Program& program);
