// Fatal errors, the guarded allocation and the open modeless dialogs.
#include "shell/errors.h"

#include "platform/platform.h"
#include "shell/company.h"
#include "shell/program.h"
#include "support/texts.h"

namespace {

bool is_pet_window(const Program& program, const Window* window)
{
    for (const Pet* pet : program.pets)
        if (pet->window == window)
            return true;
    return false;
}

}  // namespace

void report_error(Program& program, Window* window, const char* text)
{
    // Set before the box: its modal loop keeps delivering ticks and paints,
    // which must already stand still.
    program.fatal_error = 1;
    platform_message_box(oldest_living_window(program), text, BOX_WARNING, text_of(program.language, TextId::ok));
    if (!window)
        return;
    if (!is_pet_window(program, window))
        platform_destroy_window(window);
    // Pet windows may already be gone (a dialog reporting while its pet
    // window's destruction takes it down).
    company_close_windows(program);
}

void* alloc_or_report(Program& program, size_t size)
{
    void* block = platform_heap_alloc(size);
    if (!block) {
        platform_message_box(oldest_living_window(program), "Out of memory", BOX_ERROR,
                             text_of(program.language, TextId::ok));
        company_close_windows(program);
    }
    return block;
}

OpenDialog* add_open_dialog(Program& program, Window* window)
{
    auto* node = static_cast<OpenDialog*>(alloc_or_report(program, sizeof(OpenDialog)));
    if (!node)
        return nullptr;
    node->window = window;
    node->next = program.dialogs.open_dialogs;
    program.dialogs.open_dialogs = node;
    return node;
}

void remove_open_dialog(Program& program, Window* window)
{
    for (OpenDialog** link = &program.dialogs.open_dialogs; *link; link = &(*link)->next) {
        if ((*link)->window == window) {
            OpenDialog* node = *link;
            *link = node->next;
            platform_heap_free(node);
            return;
        }
    }
}

int offer_to_dialogs(const Program& program, PlatformMessage* message)
{
    // A dialog that takes the message may close and leave the list; the walk
    // ends right there, so it never reads a freed node.
    for (OpenDialog* node = program.dialogs.open_dialogs; node; node = node->next)
        if (platform_is_dialog_message(node->window, message))
            return 1;
    return 0;
}
