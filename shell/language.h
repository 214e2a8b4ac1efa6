// The language the menu, dialogs and message boxes speak, chosen once at
// start-up from the settings file's "Language" key and the system's own.
#pragma once

#include <cstdint>

// The key's language ("zh", "en"), else the system's, else English; a
// language no installed font can draw falls back to English, said once on
// standard error.
int32_t language_at_start(const char* settings_path);
