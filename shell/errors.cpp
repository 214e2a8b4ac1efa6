// Fatal errors, the guarded allocation and the open modeless dialogs.
#include "shell/errors.h"

#include "engine/shared.h"
#include "platform/platform.h"
#include "shell/dialogs.h"
#include "support/texts.h"

Window* pet_window = nullptr;
int32_t fatal_error = 0;
Dialogs dialogs;

void dialogs_reset()
{
    dialogs = Dialogs{};
}

void report_error(Window* window, const char* text)
{
    // Set before the box: its modal loop keeps delivering ticks and paints,
    // which must already stand still.
    fatal_error = 1;
    platform_message_box(pet_window, text, BOX_WARNING, text_of(settings.language, TextId::ok));
    if (!window)
        return;
    if (window != pet_window)
        platform_destroy_window(window);
    // The pet window may already be gone (a dialog reporting while the pet
    // window's destruction takes it down).
    if (pet_window)
        platform_destroy_window(pet_window);
}

void* alloc_or_report(size_t size)
{
    void* block = platform_heap_alloc(size);
    if (!block) {
        platform_message_box(pet_window, "Out of memory", BOX_ERROR, text_of(settings.language, TextId::ok));
        if (pet_window)
            platform_destroy_window(pet_window);
    }
    return block;
}

OpenDialog* add_open_dialog(Window* window)
{
    auto* node = static_cast<OpenDialog*>(alloc_or_report(sizeof(OpenDialog)));
    if (!node)
        return nullptr;
    node->window = window;
    node->next = dialogs.open_dialogs;
    dialogs.open_dialogs = node;
    return node;
}

void remove_open_dialog(Window* window)
{
    for (OpenDialog** link = &dialogs.open_dialogs; *link; link = &(*link)->next) {
        if ((*link)->window == window) {
            OpenDialog* node = *link;
            *link = node->next;
            platform_heap_free(node);
            return;
        }
    }
}

int offer_to_dialogs(PlatformMessage* message)
{
    // A dialog that takes the message may close and leave the list; the walk
    // ends right there, so it never reads a freed node.
    for (OpenDialog* node = dialogs.open_dialogs; node; node = node->next)
        if (platform_is_dialog_message(node->window, message))
            return 1;
    return 0;
}
