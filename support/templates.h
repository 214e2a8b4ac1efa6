// The pop-up menu and the two dialogs as plain constant records, one of each
// per language, read from support/templates.inc and po/ (through
// tools/gen_rc.py), for the platforms that build them at run time.
#pragma once

#include <cstdint>

enum ControlKind : int32_t {
    CONTROL_DEFPUSHBUTTON,
    CONTROL_PUSHBUTTON,
    CONTROL_AUTORADIOBUTTON,
    CONTROL_LTEXT,
    CONTROL_EDITTEXT,
    CONTROL_GROUPBOX,
    CONTROL_CTEXT,
    CONTROL_CTEXT_DISABLED,
    CONTROL_PICTURE,
};

// Window styles as Windows numbers them; each kind carries the styles a
// resource compiler gives it.
constexpr uint32_t STYLE_CHILD = 0x40000000;
constexpr uint32_t STYLE_VISIBLE = 0x10000000;
constexpr uint32_t STYLE_DISABLED = 0x08000000;
constexpr uint32_t STYLE_BORDER = 0x00800000;
constexpr uint32_t STYLE_GROUP = 0x00020000;
constexpr uint32_t STYLE_TABSTOP = 0x00010000;

struct MenuItemTemplate {
    const char* caption;  // null for a separator
    int command;
};

struct MenuTemplate {
    int resource_id;
    const char* caption;  // of the one pop-up item that holds the others
    const MenuItemTemplate* items;
    int item_count;
};

struct ControlTemplate {
    ControlKind kind;
    int id;                   // -1 for controls the program never reaches
    const char* caption;      // UTF-8; PICTURE: the bitmap's resource number as text
    int x, y, width, height;  // dialog units
    uint32_t style;
};

struct DialogTemplate {
    int resource_id;
    const char* caption;
    int x, y, width, height;  // dialog units
    uint32_t style;
    const char* font;
    int points;
    int language;  // the resource's language tag: 0 neutral, 1 Chinese (Simplified), 2 English (US)
    const ControlTemplate* controls;
    int control_count;
};

// The Chinese ones, the program's own (resource numbers RES_MENU and so on).
extern const MenuTemplate pet_menu_template;
extern const DialogTemplate options_dialog_template;
extern const DialogTemplate about_dialog_template;

// The menu or dialog with that resource number (in any language, see
// resource_in_language), or null.
const DialogTemplate* find_dialog_template(int resource_id);
const MenuTemplate* find_menu_template(int resource_id);
