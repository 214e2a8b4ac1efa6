// templates.inc read three times: the menu's items, every dialog control in
// file order, and how many controls each dialog has; the records are put
// together at compile time, so a dialog missing from the file does not build.
#include "support/templates.h"

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
#include "support/templates.inc"
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
#include "support/templates.inc"
};
#undef DIALOG_BEGIN
#undef DIALOG_CONTROL

#define DIALOG_BEGIN(id, caption, x, y, width, height, style, font, points, language) \
    {id, caption, x, y, width, height, style, font, points, language, nullptr, 0},
#define DIALOG_CONTROL(kind, id, caption, x, y, width, height)
constexpr DialogTemplate dialog_headers[] = {
#include "support/templates.inc"
};
#undef DIALOG_BEGIN
#undef DIALOG_CONTROL

// Entry i + 1 counts the controls of dialog i.
#define DIALOG_BEGIN(id, caption, x, y, width, height, style, font, points, language) , 0
#define DIALOG_CONTROL(kind, id, caption, x, y, width, height) +1
constexpr int control_counts[] = {0
#include "support/templates.inc"
};
#undef DIALOG_BEGIN
#undef DIALOG_CONTROL

#undef MENU_BEGIN
#undef MENU_END
#undef MENU_ITEM
#undef MENU_SEPARATOR
#undef DIALOG_END

consteval DialogTemplate dialog_from_file(int resource_id)
{
    int first = 0;
    for (size_t i = 0; i < std::size(dialog_headers); ++i) {
        DialogTemplate dialog = dialog_headers[i];
        dialog.controls = all_controls + first;
        dialog.control_count = control_counts[i + 1];
        if (dialog.resource_id == resource_id)
            return dialog;
        first += dialog.control_count;
    }
    throw "templates.inc has no dialog of this number";
}

}  // namespace

#define MENU_BEGIN(id, caption)                             \
    {                                                       \
        id, caption, menu_items, int(std::size(menu_items)) \
    }
#define MENU_ITEM(caption, command)
#define MENU_SEPARATOR()
#define MENU_END()
#define DIALOG_BEGIN(id, caption, x, y, width, height, style, font, points, language)
#define DIALOG_CONTROL(kind, id, caption, x, y, width, height)
#define DIALOG_END()
constinit const MenuTemplate pet_menu_template =
#include "support/templates.inc"
    ;
constinit const DialogTemplate options_dialog_template = dialog_from_file(RES_OPTIONS_DIALOG);
constinit const DialogTemplate about_dialog_template = dialog_from_file(RES_ABOUT_DIALOG);

const DialogTemplate* find_dialog_template(int resource_id)
{
    for (const DialogTemplate* dialog : {&options_dialog_template, &about_dialog_template})
        if (dialog->resource_id == resource_id)
            return dialog;
    return nullptr;
}
