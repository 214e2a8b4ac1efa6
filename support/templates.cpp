// The templates of every language (written by tools/gen_rc.py from
// support/templates.inc and po/) read four times: the menus' items, every
// dialog control in file order, and how many items each menu and how many
// controls each dialog has; the records are put together at compile time, so
// a dialog missing from the file does not build.
#include "support/templates.h"

#include <array>
#include <iterator>

#include "platform/platform.h"

namespace {

constexpr uint32_t BASE = STYLE_CHILD | STYLE_VISIBLE;
constexpr uint32_t STYLE_OF_DEFPUSHBUTTON = BASE | STYLE_TABSTOP | 0x1;  // BS_DEFPUSHBUTTON
constexpr uint32_t STYLE_OF_PUSHBUTTON = BASE | STYLE_TABSTOP;
constexpr uint32_t STYLE_OF_AUTORADIOBUTTON = BASE | 0x9;                           // BS_AUTORADIOBUTTON
constexpr uint32_t STYLE_OF_LTEXT = BASE | STYLE_GROUP;                             // SS_LEFT
constexpr uint32_t STYLE_OF_EDITTEXT = BASE | STYLE_BORDER | STYLE_TABSTOP | 0x80;  // ES_AUTOHSCROLL
constexpr uint32_t STYLE_OF_GROUPBOX = BASE | 0x7;                                  // BS_GROUPBOX
constexpr uint32_t STYLE_OF_CTEXT = BASE | STYLE_GROUP | 0x1;                       // SS_CENTER
constexpr uint32_t STYLE_OF_CTEXT_DISABLED = STYLE_OF_CTEXT | STYLE_DISABLED;
constexpr uint32_t STYLE_OF_PICTURE = BASE | 0xE;  // SS_BITMAP

#define MENU_BEGIN(id, caption)
#define MENU_END()
#define DIALOG_END()

#define MENU_ITEM(caption, command) {caption, command},
#define MENU_SEPARATOR() {nullptr, 0},
#define DIALOG_BEGIN(id, caption, x, y, width, height, style, font, points, language)
#define DIALOG_CONTROL(kind, id, caption, x, y, width, height)
constexpr MenuItemTemplate menu_items[] = {
#include "support/localized_templates.inc"
};
#undef MENU_ITEM
#undef MENU_SEPARATOR
#undef DIALOG_BEGIN
#undef DIALOG_CONTROL

#define MENU_ITEM(caption, command)
#define MENU_SEPARATOR()
#define DIALOG_BEGIN(id, caption, x, y, width, height, style, font, points, language)
#define DIALOG_CONTROL(kind, id, caption, x, y, width, height) \
    {CONTROL_##kind, id, caption, x, y, width, height, STYLE_OF_##kind},
constexpr ControlTemplate all_controls[] = {
#include "support/localized_templates.inc"
};
#undef DIALOG_BEGIN
#undef DIALOG_CONTROL

#define DIALOG_BEGIN(id, caption, x, y, width, height, style, font, points, language) \
    {id, caption, x, y, width, height, style, font, points, language, nullptr, 0},
#define DIALOG_CONTROL(kind, id, caption, x, y, width, height)
constexpr DialogTemplate dialog_headers[] = {
#include "support/localized_templates.inc"
};
#undef DIALOG_BEGIN
#undef DIALOG_CONTROL

// Entry i + 1 counts the controls of dialog i.
#define DIALOG_BEGIN(id, caption, x, y, width, height, style, font, points, language) , 0
#define DIALOG_CONTROL(kind, id, caption, x, y, width, height) +1
constexpr int control_counts[] = {0
#include "support/localized_templates.inc"
};
#undef DIALOG_BEGIN
#undef DIALOG_CONTROL

#undef MENU_BEGIN
#undef MENU_ITEM
#undef MENU_SEPARATOR

#define DIALOG_BEGIN(id, caption, x, y, width, height, style, font, points, language)
#define DIALOG_CONTROL(kind, id, caption, x, y, width, height)
#define MENU_BEGIN(id, caption) {id, caption, nullptr, 0},
#define MENU_ITEM(caption, command)
#define MENU_SEPARATOR()
constexpr MenuTemplate menu_headers[] = {
#include "support/localized_templates.inc"
};
#undef MENU_BEGIN
#undef MENU_ITEM
#undef MENU_SEPARATOR

// Entry i + 1 counts the items of menu i.
#define MENU_BEGIN(id, caption) , 0
#define MENU_ITEM(caption, command) +1
#define MENU_SEPARATOR() +1
constexpr int item_counts[] = {0
#include "support/localized_templates.inc"
};
#undef DIALOG_BEGIN
#undef DIALOG_CONTROL
#undef MENU_BEGIN
#undef MENU_END
#undef MENU_ITEM
#undef MENU_SEPARATOR
#undef DIALOG_END

consteval std::array<MenuTemplate, std::size(menu_headers)> menus_from_file()
{
    std::array<MenuTemplate, std::size(menu_headers)> menus = {};
    int first = 0;
    for (size_t i = 0; i < menus.size(); ++i) {
        menus[i] = menu_headers[i];
        menus[i].items = menu_items + first;
        menus[i].item_count = item_counts[i + 1];
        first += menus[i].item_count;
    }
    return menus;
}
constexpr auto all_menus = menus_from_file();

consteval std::array<DialogTemplate, std::size(dialog_headers)> dialogs_from_file()
{
    std::array<DialogTemplate, std::size(dialog_headers)> dialogs = {};
    int first = 0;
    for (size_t i = 0; i < dialogs.size(); ++i) {
        dialogs[i] = dialog_headers[i];
        dialogs[i].controls = all_controls + first;
        dialogs[i].control_count = control_counts[i + 1];
        first += dialogs[i].control_count;
    }
    return dialogs;
}
constexpr auto all_dialogs = dialogs_from_file();

consteval DialogTemplate dialog_from_file(int resource_id)
{
    for (const DialogTemplate& dialog : all_dialogs)
        if (dialog.resource_id == resource_id)
            return dialog;
    throw "templates.inc has no dialog of this number";
}

}  // namespace

constinit const MenuTemplate pet_menu_template = all_menus[0];
constinit const DialogTemplate options_dialog_template = dialog_from_file(RES_OPTIONS_DIALOG);
constinit const DialogTemplate about_dialog_template = dialog_from_file(RES_ABOUT_DIALOG);

const DialogTemplate* find_dialog_template(int resource_id)
{
    for (const DialogTemplate* dialog : {&options_dialog_template, &about_dialog_template})
        if (dialog->resource_id == resource_id)
            return dialog;
    for (const DialogTemplate& dialog : all_dialogs)
        if (dialog.resource_id == resource_id)
            return &dialog;
    return nullptr;
}

const MenuTemplate* find_menu_template(int resource_id)
{
    if (resource_id == pet_menu_template.resource_id)
        return &pet_menu_template;
    for (const MenuTemplate& menu : all_menus)
        if (menu.resource_id == resource_id)
            return &menu;
    return nullptr;
}
