// The settings file "dorra.ini": its path, reading at start-up, writing from
// the Options dialog.
#pragma once

#include <cstdint>
#include <string>

#include "engine/shared.h"

// Room for any path Windows gives in MAX_PATH UTF-16 units, each up to
// three bytes of UTF-8.
constexpr int SETTINGS_PATH_SIZE = 1024;
// Empty when there is no folder the settings may be kept in: the program
// then runs on the defaults and says so when a save is asked for.
extern char settings_path[SETTINGS_PATH_SIZE];
// A save that had no file to go to.
constexpr int SAVE_NOWHERE = 3;
// The message for a save that failed with `failure` (a SAVE_* reason).
std::string settings_save_failure(int failure);
// What the Options dialog shows, edits and saves; `settings` stays as read.
extern Settings pending_settings;
// No path, and `settings` and pending_settings as a missing file gives them.
void settings_reset();

void settings_path_init();
// Screen pixels per pet pixel, chosen once at start-up.
extern int32_t pet_zoom;
// Reads "Zoom" (0 or missing: the screen's own scaling) and turns
// screen_width and screen_height into pet pixels; before settings_read.
void zoom_init();
void settings_read();
// Writes all six values of pending_settings in one save; false when the file
// could not be written, with the platform's SAVE_* reason in `failure`.
bool settings_write(int* failure = nullptr);
int margins_fit(int32_t top, int32_t left, int32_t bottom, int32_t right);
// After a change of the screen's size: margins that no longer fit go, as at
// start-up, and margins that went so come back once the screen holds them again.
void settings_fit_margins_to_screen();
