// The templates of every language (written by tools/gen_rc.py from
// support/templates.inc and po/) read four times: the menus' items, every
// dialog control in file order, and how many items each menu and how many
// controls each dialog has; the records are put together at compile time, so
// a dialog missing from the file does not build.
#include "support/templates.h"

#include <array>
#include <iterator>

#include "support/ids.h"

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

// Each header given its part of the parts in file order: the menus their
// items, the dialogs their controls.
template <typename Record, size_t N, typename Part>
consteval std::array<Record, N> records_from_file(const Record (&headers)[N], const int* counts, const Part* parts,
                                                  const Part* Record::*first_part, int Record::*part_count)
{
    std::array<Record, N> records = {};
    int first = 0;
    for (size_t i = 0; i < N; ++i) {
        records[i] = headers[i];
        records[i].*first_part = parts + first;
        records[i].*part_count = counts[i + 1];
        first += counts[i + 1];
    }
    return records;
}
constexpr auto all_menus =
    records_from_file(menu_headers, item_counts, menu_items, &MenuTemplate::items, &MenuTemplate::item_count);
constexpr auto all_dialogs = records_from_file(dialog_headers, control_counts, all_controls, &DialogTemplate::controls,
                                               &DialogTemplate::control_count);

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
