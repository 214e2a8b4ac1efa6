// Hiding for fullscreen programs, switched from the menu.
#include "shell/fullscreen_entry.h"

#include "platform/platform.h"
#include "shell/program.h"
#include "shell/setting_keys.h"
#include "support/texts.h"

void fullscreen_entry_fill(const Program& program, Menu* menu)
{
    if (!menu)
        return;
    platform_set_menu_item(menu, CMD_EXIT, CMD_HIDE_FOR_FULLSCREEN,
                           text_of(program.language, TextId::menu_hide_for_fullscreen),
                           int(program.desk_settings.hide_for_fullscreen == 1));
}

bool fullscreen_entry_command(Pet& pet, unsigned command)
{
    if (command != unsigned(CMD_HIDE_FOR_FULLSCREEN))
        return false;
    Program& program = *pet.program;
    // Any value but 1 reads as off, so checking it always gives 1.
    const int32_t on = program.desk_settings.hide_for_fullscreen == 1 ? 0 : 1;
    program.desk_settings.hide_for_fullscreen = on;
    // A pet away for a fullscreen program comes back on its next tick.
    const char* key = "Hide For Fullscreen";
    const char* value = on ? "1" : "0";
    const int result = program.settings_path[0]
                           ? platform_ini_write_strings(program.settings_path, "Setup", &key, &value, 1)
                           : SAVE_NOWHERE;
    if (result != SAVE_DONE)
        platform_message_box(pet.window, settings_save_failure(program.settings_path, result).c_str(), BOX_ERROR,
                             text_of(program.language, TextId::ok));
    return true;
}
