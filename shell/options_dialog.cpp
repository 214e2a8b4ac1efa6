// The Options dialog: shows pending_settings, checks what the user typed and
// saves it; the running pet keeps its settings until the next start.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/shared.h"
#include "platform/platform.h"
#include "shell/dialogs.h"
#include "shell/errors.h"
#include "shell/program.h"
#include "support/texts.h"

namespace {

constexpr int TEXT_SIZE = 80;
constexpr size_t ENTRY_DIGITS = 4;
constexpr int32_t SPEED_MIN = 10;
constexpr int32_t SPEED_MAX = 1000;

struct ModeButton {
    int id;
    int32_t mode;
};
// A later checked button wins.
constexpr ModeButton MODE_BUTTONS[] = {
    {IDC_MODE_PRECOMPUTED, MODE_PRECOMPUTED},
    {IDC_MODE_LIVE, MODE_LIVE},
    {IDC_MODE_STANDARD, MODE_STANDARD},
};

struct Field {
    int id;
    int32_t Settings::*value;
};
constexpr Field MARGIN_FIELDS[] = {
    {IDC_TOP_MARGIN, &Settings::top_margin},
    {IDC_BOTTOM_MARGIN, &Settings::bottom_margin},
    {IDC_LEFT_MARGIN, &Settings::left_margin},
    {IDC_RIGHT_MARGIN, &Settings::right_margin},
};
constexpr Field SPEED_FIELD = {IDC_SPEED, &Settings::timer_ms};

enum class Entry { empty, acceptable, invalid };

// An empty field keeps the value it was given (its pending value); an
// acceptable one, up to four digits with blanks around them, replaces it.
Entry read_field(Window* dialog, const Field& field, Settings* entered)
{
    char text[TEXT_SIZE];
    if (platform_get_item_text(dialog, field.id, text, TEXT_SIZE) == 0)
        return Entry::empty;
    trim_blanks(text);
    size_t length = std::strlen(text);
    if (length == 0 || length > ENTRY_DIGITS || !all_digits(text))
        return Entry::invalid;
    entered->*field.value = std::atoi(text);
    return Entry::acceptable;
}

void complain(const Program& program, Window* dialog, const char* text)
{
    platform_message_box(dialog, text, BOX_ERROR, text_of(program.language, TextId::ok));
}

bool same_settings(const Settings& a, const Settings& b)
{
    return a.display_mode == b.display_mode && a.top_margin == b.top_margin && a.bottom_margin == b.bottom_margin &&
           a.left_margin == b.left_margin && a.right_margin == b.right_margin && a.timer_ms == b.timer_ms;
}

void show_field(const Settings& pending_settings, Window* dialog, const Field& field)
{
    char text[TEXT_SIZE];
    std::snprintf(text, sizeof text, "%d", pending_settings.*field.value);
    platform_set_item_text(dialog, field.id, text);
}

void initialise(const Settings& pending_settings, Window* dialog)
{
    for (const ModeButton& button : MODE_BUTTONS)
        platform_set_check(dialog, button.id, pending_settings.display_mode == button.mode);
    for (const Field& field : MARGIN_FIELDS)
        show_field(pending_settings, dialog, field);
    show_field(pending_settings, dialog, SPEED_FIELD);
}

// Returns true when the dialog may close. Every rejection leaves the
// entries as typed.
bool confirm(Pet& pet, Window* dialog)
{
    Program& program = *pet.program;
    Settings& pending_settings = program.pending_settings;
    Settings entered = pending_settings;
    bool invalid = false;
    for (const Field& field : MARGIN_FIELDS)
        invalid = read_field(dialog, field, &entered) == Entry::invalid || invalid;
    if (invalid) {
        complain(program, dialog, "Invalid Margin Values !  Please Re-enter ..");
        return false;
    }
    if (!margins_fit(program.desktop.monitors[0], pet.zoom, entered.top_margin, entered.left_margin,
                     entered.bottom_margin, entered.right_margin)) {
        complain(program, dialog, "Margin too large !  Please Re-enter ..");
        return false;
    }
    Entry speed = read_field(dialog, SPEED_FIELD, &entered);
    if (speed == Entry::invalid ||
        (speed == Entry::acceptable && (entered.timer_ms < SPEED_MIN || entered.timer_ms > SPEED_MAX))) {
        complain(program, dialog, "Invalid Speed Value !  Please Re-enter ..");
        return false;
    }
    for (const ModeButton& button : MODE_BUTTONS)
        if (platform_get_check(dialog, button.id) == 1)
            entered.display_mode = button.mode;

    if (same_settings(entered, pending_settings))
        return true;
    Settings saved = pending_settings;
    pending_settings = entered;
    int failure = 0;
    if (settings_write(program, &failure))
        return true;
    // pending_settings stands for what the file holds, so that OK again
    // tries again instead of finding nothing changed.
    pending_settings = saved;
    complain(program, dialog, settings_save_failure(program.settings_path, failure).c_str());
    return false;
}

}  // namespace

void open_options_dialog(Pet& pet, Window* owner)
{
    if (!pet.program->dialogs.options_open)
        platform_create_dialog(resource_in_language(RES_OPTIONS_DIALOG, pet.program->language), owner,
                               options_dialog_proc, &pet);
}

intptr_t options_dialog_proc(Window* dialog, unsigned message, uintptr_t wparam, intptr_t)
{
    Pet* pet = pet_of(dialog);
    if (!pet)
        return 0;
    Program& program = *pet->program;
    switch (message) {
        case MSG_INITDIALOG:
            program.dialogs.options_open = 1;
            // Without a node the pet window, and this dialog with it, are gone.
            if (add_open_dialog(program, dialog))
                initialise(program.pending_settings, dialog);
            return 1;
        case MSG_COMMAND:
            if (wparam == CMD_OK) {
                if (confirm(*pet, dialog))
                    platform_destroy_window(dialog);
                return 1;
            }
            if (wparam == CMD_CANCEL) {
                platform_destroy_window(dialog);
                return 1;
            }
            return 0;
        case MSG_DESTROY:
            // Also when the pet window takes the dialog with it: the list of
            // open dialogs must never keep a window that is gone.
            remove_open_dialog(program, dialog);
            program.dialogs.options_open = 0;
            return 0;
    }
    return 0;
}
