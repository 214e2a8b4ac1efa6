// Every key of the settings file's [Setup] section, with what a missing key
// gives: the one list the program reads them by. tools/gen_docs.py reads it
// too, and writes each key's row of the documents' settings tables from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class SettingKeyId : int32_t {
    mode,
    top_margin,
    bottom_margin,
    left_margin,
    right_margin,
    timer,
    pet,
    language,
    pets,
    pet_number,
    zoom,
    monitor,
    floor_at_panel,
    hide_for_fullscreen,
};

enum SettingKind : int32_t {
    SETTING_NUMBER,    // a whole number; `fallback` when missing
    SETTING_TEXT,      // a text; empty when missing
    SETTING_NUMBERED,  // texts "<name> 1", "<name> 2", ...; empty when missing
};

struct SettingKey {
    SettingKeyId id;
    const char* name;
    SettingKind kind;
    int32_t fallback;
};

constexpr char SETTINGS_SECTION[] = "Setup";

// In the order the documents list them.
constexpr SettingKey SETTING_KEYS[] = {
    {SettingKeyId::mode, "Mode", SETTING_NUMBER, 1},
    {SettingKeyId::top_margin, "Top Margin", SETTING_NUMBER, 0},
    {SettingKeyId::bottom_margin, "Bottom Margin", SETTING_NUMBER, 0},
    {SettingKeyId::left_margin, "Left Margin", SETTING_NUMBER, 0},
    {SettingKeyId::right_margin, "Right Margin", SETTING_NUMBER, 0},
    {SettingKeyId::timer, "Timer", SETTING_NUMBER, 150},
    {SettingKeyId::pet, "Pet", SETTING_TEXT, 0},
    {SettingKeyId::language, "Language", SETTING_TEXT, 0},
    {SettingKeyId::pets, "Pets", SETTING_NUMBER, 0},
    {SettingKeyId::pet_number, "Pet", SETTING_NUMBERED, 0},
    {SettingKeyId::zoom, "Zoom", SETTING_NUMBER, 0},
    {SettingKeyId::monitor, "Monitor", SETTING_NUMBER, 0},
    {SettingKeyId::floor_at_panel, "Floor At Panel", SETTING_NUMBER, 0},
    {SettingKeyId::hide_for_fullscreen, "Hide For Fullscreen", SETTING_NUMBER, 1},
};

constexpr bool setting_keys_in_id_order()
{
    for (size_t i = 0; i < sizeof SETTING_KEYS / sizeof SETTING_KEYS[0]; ++i)
        if (SETTING_KEYS[i].id != SettingKeyId(i))
            return false;
    return true;
}
static_assert(setting_keys_in_id_order(), "SETTING_KEYS is indexed by SettingKeyId");

constexpr const SettingKey& setting_key(SettingKeyId id)
{
    return SETTING_KEYS[size_t(id)];
}

// The key's value in the settings file at `path`; with no path (no settings
// folder), or no such key, what a missing key gives. `number` picks one of a
// SETTING_NUMBERED key's texts (from 1).
int32_t setting_number(const char* path, SettingKeyId id);
std::string setting_text(const char* path, SettingKeyId id, size_t number = 0);
// The name in the file of a key (of a SETTING_NUMBERED key, its `number`th).
std::string setting_name(SettingKeyId id, size_t number = 0);
