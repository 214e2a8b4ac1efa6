// Choosing the language at start-up.
#include "shell/language.h"

#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "shell/setting_keys.h"
#include "support/templates.h"
#include "support/texts.h"

int32_t language_at_start(const char* settings_path)
{
    const std::string setting = setting_text(settings_path, SettingKeyId::language);
    char system[256] = "";
    platform_ui_languages(system, sizeof system);
    const int32_t chosen = choose_language(setting.c_str(), system);
    const int32_t english = choose_language("en", "");
    if (chosen == english)
        return chosen;
    // Every text it would show, in the font its dialogs ask for.
    std::string texts;
    for (int id = 0; id < TEXT_COUNT; ++id)
        texts += text_of(chosen, static_cast<TextId>(id));
    const DialogTemplate* dialog = find_dialog_template(resource_in_language(RES_OPTIONS_DIALOG, chosen));
    if (platform_fonts_cover(dialog ? dialog->font : "", texts.c_str()))
        return chosen;
    std::fprintf(stderr, "dorrabee: no installed font can draw the %s texts; the menu and dialogs are in English\n",
                 language_code(chosen));
    return english;
}
