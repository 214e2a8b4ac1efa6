// The six settings in "dorra.ini", in the folder the platform keeps them in.
#include "shell/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "shell/pet_on_desk.h"
#include "shell/pet_zoom.h"
#include "shell/program.h"
#include "shell/setting_keys.h"
#include "support/texts.h"

namespace {

constexpr char FILE_NAME[] = "dorra.ini";

#ifdef _WIN32
constexpr char SEPARATOR = '\\';
#else
constexpr char SEPARATOR = '/';
#endif

struct Key {
    SettingKeyId id;
    int32_t Settings::*field;
};

// Read in this order, and the order in which a fresh file gets its keys.
constexpr Key KEYS[] = {
    {SettingKeyId::mode, &Settings::display_mode},           {SettingKeyId::top_margin, &Settings::top_margin},
    {SettingKeyId::bottom_margin, &Settings::bottom_margin}, {SettingKeyId::left_margin, &Settings::left_margin},
    {SettingKeyId::right_margin, &Settings::right_margin},   {SettingKeyId::timer, &Settings::timer_ms},
};
static_assert(setting_key(SettingKeyId::mode).fallback == MODE_PRECOMPUTED, "a missing Mode is the precomputed one");

}  // namespace

void settings_reset(Program& program)
{
    program.settings_path[0] = '\0';
    program.zoom = 1;
    for (const Key& key : KEYS)
        program.settings.*key.field = setting_key(key.id).fallback;
    program.pending_settings = program.settings;
    program.margins_dropped = false;
    program.desk_settings = {setting_key(SettingKeyId::monitor).fallback,
                             setting_key(SettingKeyId::floor_at_panel).fallback,
                             setting_key(SettingKeyId::hide_for_fullscreen).fallback};
}

void settings_path_init(Program& program)
{
    program.settings_path[0] = '\0';
    // Room for what the platform fills, a separator and the end of the text.
    char directory[SETTINGS_PATH_SIZE + 2] = {};
    const size_t length = std::min(platform_settings_folder(directory, SETTINGS_PATH_SIZE), size_t(SETTINGS_PATH_SIZE));
    // No documented folder: no file at all, never the current directory's
    // (nor, from a bare name, the system's own folder).
    if (length == 0)
        return;
    directory[length] = '\0';
    if (directory[length - 1] != SEPARATOR) {
        directory[length] = SEPARATOR;
        directory[length + 1] = '\0';
    }
    // Cut short, the path would name another folder: rather none.
    const size_t used = std::strlen(directory);
    if (used + sizeof FILE_NAME <= sizeof program.settings_path) {
        std::memcpy(program.settings_path, directory, used);
        std::memcpy(program.settings_path + used, FILE_NAME, sizeof FILE_NAME);
    }
}

void zoom_init(Program& program)
{
    program.zoom_key = setting_number(program.settings_path, SettingKeyId::zoom);
    program.zoom = monitor_zoom(program, program.desktop.monitors[0], SPRITE_SIZE);
    platform_set_zoom(program.zoom);
}

namespace {

// The margins in the pet's pixels, as the engine fences it.
bool margins_fit_pet_pixels(const Monitor& screen, int32_t z, int64_t top, int64_t left, int64_t bottom, int64_t right)
{
    return int64_t(screen_to_pet(screen.width, z)) - SPRITE_SIZE - left - right >= 0 &&
           int64_t(screen_to_pet(screen.height, z)) - SPRITE_SIZE - top - bottom >= 0;
}

bool settings_margins_fit(const Program& program)
{
    const Settings& s = program.settings;
    return margins_fit(program.desktop.monitors[0], program.zoom, s.top_margin, s.left_margin, s.bottom_margin,
                       s.right_margin);
}

}  // namespace

Room pet_room(const Program& program, int32_t z)
{
    const Settings& s = program.settings;
    const bool kept = !program.margins_dropped;
    const Desk desk =
        desk_make(program.desktop.monitors, program.desktop.count, program.desk_settings, z, kept ? s.top_margin : 0,
                  kept ? s.bottom_margin : 0, kept ? s.left_margin : 0, kept ? s.right_margin : 0);
    return desk_box_room(desk, 0);
}

int margins_fit(const Monitor& screen, int32_t z, int32_t top, int32_t left, int32_t bottom, int32_t right)
{
    // 64-bit sums: margins read from the file may be as large as int32 allows,
    // and a wrapped sum must not pass for a fitting one.
    if (top < 0 || left < 0 || bottom < 0 || right < 0)
        return 0;
    // The margins are screen pixels; the screen is measured in the pet's.
    return margins_fit_pet_pixels(screen, z, margin_to_pet(top, z), margin_to_pet(left, z), margin_to_pet(bottom, z),
                                  margin_to_pet(right, z));
}

void settings_fit_margins_to_screen(Program& program)
{
    // Only a change of the desk drops or restores them; the margins themselves stay as read.
    program.margins_dropped = !settings_margins_fit(program);
}

void settings_read(Program& program)
{
    Settings& settings = program.settings;
    for (const Key& key : KEYS)
        settings.*key.field = setting_number(program.settings_path, key.id);
    desk_settings_read(program);
    if (!settings_margins_fit(program)) {
        platform_message_box(nullptr, "Invalid Margin Values !", BOX_ERROR, text_of(program.language, TextId::ok));
        settings.top_margin = settings.bottom_margin = settings.left_margin = settings.right_margin = 0;
    }
    program.pending_settings = settings;
}

bool settings_write(const Program& program, int* failure)
{
    constexpr size_t COUNT = sizeof KEYS / sizeof KEYS[0];
    char texts[COUNT][16];
    const char* names[COUNT];
    const char* values[COUNT];
    for (size_t i = 0; i < COUNT; ++i) {
        std::snprintf(texts[i], sizeof texts[i], "%d", program.pending_settings.*KEYS[i].field);
        names[i] = setting_key(KEYS[i].id).name;
        values[i] = texts[i];
    }
    int result = program.settings_path[0]
                     ? platform_ini_write_strings(program.settings_path, SETTINGS_SECTION, names, values, COUNT)
                     : SAVE_NOWHERE;
    if (failure)
        *failure = result;
    return result == SAVE_DONE;
}

std::string settings_save_failure(const char* path, int failure)
{
    if (failure == SAVE_NOWHERE)
        return "Fail to save the settings !  There is no folder to keep them in ..";
    char text[SETTINGS_PATH_SIZE + 128];
    std::snprintf(text, sizeof text,
                  failure == SAVE_FILE_FAILED
                      ? "Fail to save the settings to %s !  The file cannot be read or written (read-only, or not a "
                        "regular file) .."
                      : "Fail to save the settings to %s !  Please check that the folder can be written ..",
                  path);
    return text;
}
