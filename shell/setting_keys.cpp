// Reading one key of the settings file by its entry in the key table.
#include "shell/setting_keys.h"

#include "platform/platform.h"

int32_t setting_number(const char* path, SettingKeyId id)
{
    const SettingKey& key = setting_key(id);
    // No settings folder: the defaults, never a file in the current directory.
    return path[0] ? platform_ini_read_int(path, SETTINGS_SECTION, key.name, key.fallback) : key.fallback;
}

std::string setting_text(const char* path, SettingKeyId id, size_t number)
{
    char value[256] = "";
    if (path[0])
        platform_ini_read_string(path, SETTINGS_SECTION, setting_name(id, number).c_str(), value, sizeof value);
    return value;
}

std::string setting_name(SettingKeyId id, size_t number)
{
    const SettingKey& key = setting_key(id);
    return key.kind == SETTING_NUMBERED ? std::string(key.name) + " " + std::to_string(number) : key.name;
}
