// The program's life: start-up, the message loop, the end.
#include "shell/startup.h"

#include <cstdlib>

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "shell/language.h"
#include "shell/pet_choice.h"
#include "shell/pet_graphics.h"
#include "shell/pet_window.h"
#include "shell/settings.h"
#include "shell/window_shape.h"
#include "support/texts.h"

namespace {

void show_script_message(const char* text)
{
    // The script is loaded before the pet window exists: no owner.
    platform_message_box(nullptr, text, BOX_ERROR, text_of(settings.language, TextId::ok));
}

// A start-up that fails after the pet window exists takes the window down,
// which releases whatever was made for it; the window was never shown.
int end_start_up()
{
    if (pet_window)
        platform_destroy_window(pet_window);
    return 0;
}

// DORRABEE_SEED=N fixes the behaviour's seed, so that two runs (or two builds)
// live the same sequence of actions and can be measured side by side; anything
// but a plain decimal number that fits leaves the clock to seed it.
uint32_t behaviour_seed()
{
    const char* text = std::getenv("DORRABEE_SEED");
    if (!text || !*text)
        return platform_seconds_now();
    uint64_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return platform_seconds_now();
        value = value * 10 + static_cast<uint64_t>(*c - '0');
        if (value > UINT32_MAX)
            return platform_seconds_now();
    }
    return static_cast<uint32_t>(value);
}

void run_message_loop()
{
    PlatformMessage* message = nullptr;
    // An error from the fetch ends the loop rather than spinning on it.
    while (platform_next_message(&message) > 0)
        if (!offer_to_dialogs(message))
            platform_dispatch_message(message);
}

}  // namespace

int dorrabee_main(int show_command)
{
    engine_host = EngineHost{show_script_message, behaviour_seed};
    platform_register_pet_class(pet_window_proc);
    platform_screen_size(&screen_width, &screen_height);
    settings_path_init();
    settings.language = language_at_start(settings_path);
    zoom_init();
    settings_read();
    if (!pet_choice_start())
        return 0;

    pet_window = platform_create_pet_window(SPRITE_SIZE * pet_zoom);
    platform_place_hidden(pet_window, zoom_out(pet->x, pet_zoom), zoom_out(pet->y, pet_zoom));
    if (!graphics_init(pet_window) || !window_shape_init())
        return end_start_up();
    if (!platform_set_timer(pet_window, PET_TIMER_ID, static_cast<unsigned>(pet->tick_ms))) {
        report_error(nullptr, "Too many clocks or timers! Fail to set timer");
        return end_start_up();
    }
    platform_show_window(pet_window, show_command);
    platform_update_window(pet_window);
    run_message_loop();
    return 0;
}
