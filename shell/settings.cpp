// The six settings in "dorra.ini", in the folder the platform keeps them in.
#include "shell/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "support/texts.h"

char settings_path[SETTINGS_PATH_SIZE];
int32_t pet_zoom = 1;
Settings pending_settings;

namespace {

// Margins a smaller screen could not hold (pet pixels), to come back when
// the screen grows again.
struct DroppedMargins {
    bool held = false;
    int32_t top = 0, left = 0, bottom = 0, right = 0;
} dropped_margins;

constexpr char FILE_NAME[] = "dorra.ini";
constexpr char SECTION[] = "Setup";

#ifdef _WIN32
constexpr char SEPARATOR = '\\';
#else
constexpr char SEPARATOR = '/';
#endif

struct Key {
    const char* name;
    int32_t Settings::*field;
    int32_t fallback;  // when the file, section or key is missing
};

// Read in this order, and the order in which a fresh file gets its keys.
constexpr Key KEYS[] = {
    {"Mode", &Settings::display_mode, MODE_PRECOMPUTED}, {"Top Margin", &Settings::top_margin, 0},
    {"Bottom Margin", &Settings::bottom_margin, 0},      {"Left Margin", &Settings::left_margin, 0},
    {"Right Margin", &Settings::right_margin, 0},        {"Timer", &Settings::timer_ms, 150},
};

int32_t read_key(const char* key, int32_t fallback)
{
    return platform_ini_read_int(settings_path, SECTION, key, fallback);
}

}  // namespace

void settings_reset()
{
    settings_path[0] = '\0';
    pet_zoom = 1;
    for (const Key& key : KEYS)
        settings.*key.field = key.fallback;
    settings.language = 0;
    pending_settings = settings;
    dropped_margins = DroppedMargins{};
}

void settings_path_init()
{
    // Room for what the platform fills, a separator and the end of the text.
    char directory[SETTINGS_PATH_SIZE + 2] = {};
    size_t length = std::min(platform_settings_folder(directory, SETTINGS_PATH_SIZE), size_t(SETTINGS_PATH_SIZE));
    if (length == 0)
        length = std::min(platform_current_directory(directory, SETTINGS_PATH_SIZE), size_t(SETTINGS_PATH_SIZE));
    directory[length] = '\0';
    // No directory at all means the bare name, not the root folder.
    if (length > 0 && directory[length - 1] != SEPARATOR) {
        directory[length] = SEPARATOR;
        directory[length + 1] = '\0';
    }
    // A directory of 247 characters or more leaves no room for the name.
    size_t directory_length = std::strlen(directory);
    if (directory_length + 13 >= SETTINGS_PATH_SIZE)
        directory_length = 0;
    std::snprintf(settings_path, sizeof settings_path, "%.*s%s", int(directory_length), directory, FILE_NAME);
}

void zoom_init()
{
    pet_zoom = zoom_choose(read_key("Zoom", 0), platform_screen_dpi());
    platform_set_zoom(pet_zoom);
    screen_width = zoom_in(screen_width, pet_zoom);
    screen_height = zoom_in(screen_height, pet_zoom);
}

namespace {

// The margins in the pet's pixels, as the engine fences it.
bool margins_fit_pet_pixels(int64_t top, int64_t left, int64_t bottom, int64_t right)
{
    return int64_t(screen_width) - SPRITE_SIZE - left - right >= 0 &&
           int64_t(screen_height) - SPRITE_SIZE - top - bottom >= 0;
}

}  // namespace

int margins_fit(int32_t top, int32_t left, int32_t bottom, int32_t right)
{
    // 64-bit sums: margins read from the file may be as large as int32 allows,
    // and a wrapped sum must not pass for a fitting one.
    if (top < 0 || left < 0 || bottom < 0 || right < 0)
        return 0;
    // The margins are screen pixels; the screen is measured in the pet's.
    return margins_fit_pet_pixels(zoom_margin(top, pet_zoom), zoom_margin(left, pet_zoom),
                                  zoom_margin(bottom, pet_zoom), zoom_margin(right, pet_zoom));
}

void settings_fit_margins_to_screen()
{
    DroppedMargins& kept = dropped_margins;
    if (kept.held && margins_fit_pet_pixels(kept.top, kept.left, kept.bottom, kept.right)) {
        settings.top_margin = kept.top;
        settings.left_margin = kept.left;
        settings.bottom_margin = kept.bottom;
        settings.right_margin = kept.right;
        kept.held = false;
    } else if (!margins_fit_pet_pixels(settings.top_margin, settings.left_margin, settings.bottom_margin,
                                       settings.right_margin)) {
        if (!kept.held)
            kept = {true, settings.top_margin, settings.left_margin, settings.bottom_margin, settings.right_margin};
        settings.top_margin = settings.bottom_margin = settings.left_margin = settings.right_margin = 0;
    }
}

void settings_read()
{
    for (const Key& key : KEYS)
        settings.*key.field = read_key(key.name, key.fallback);
    if (!margins_fit(settings.top_margin, settings.left_margin, settings.bottom_margin, settings.right_margin)) {
        platform_message_box(pet_window, "Invalid Margin Values !", BOX_ERROR, text_of(settings.language, TextId::ok));
        settings.top_margin = settings.bottom_margin = settings.left_margin = settings.right_margin = 0;
    }
    pending_settings = settings;
    // The engine fences the pet in its own pixels, at least the margins away.
    for (int32_t Settings::*margin :
         {&Settings::top_margin, &Settings::bottom_margin, &Settings::left_margin, &Settings::right_margin})
        settings.*margin = zoom_margin(settings.*margin, pet_zoom);
}

bool settings_write(int* failure)
{
    constexpr size_t COUNT = sizeof KEYS / sizeof KEYS[0];
    char texts[COUNT][16];
    const char* names[COUNT];
    const char* values[COUNT];
    for (size_t i = 0; i < COUNT; ++i) {
        std::snprintf(texts[i], sizeof texts[i], "%d", pending_settings.*KEYS[i].field);
        names[i] = KEYS[i].name;
        values[i] = texts[i];
    }
    int result = platform_ini_write_strings(settings_path, SECTION, names, values, COUNT);
    if (failure)
        *failure = result;
    return result == SAVE_DONE;
}
