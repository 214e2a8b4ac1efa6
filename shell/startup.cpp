// The program's life: start-up, the message loop, the end.
#include "shell/startup.h"

#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "shell/pet_choice.h"
#include "shell/pet_graphics.h"
#include "shell/pet_window.h"
#include "shell/program.h"
#include "shell/tray.h"
#include "shell/window_shape.h"

namespace {

// A start-up that fails after the pet window exists takes the window down,
// which releases whatever was made for it; the window was never shown.
bool end_start_up(Pet& pet)
{
    if (pet.window)
        platform_destroy_window(pet.window);
    return false;
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

}  // namespace

void desktop_read(Desktop& desktop)
{
    const int count = platform_monitors(desktop.monitors, MAX_MONITORS);
    desktop.count = count < 1 ? 1 : count > MAX_MONITORS ? MAX_MONITORS : count;
    if (count < 1)
        desktop.monitors[0] = Monitor{};
}

void program_options(Program& program, const char* program_folder, int argc, const char* const* argv)
{
    program.program_folder = program_folder ? program_folder : "";
    program.command_line_path.clear();
    for (int k = 1; k + 1 < argc; ++k)
        if (std::string(argv[k]) == "--pet")
            program.command_line_path = argv[++k];
}

bool program_start(Program& program, int show_command)
{
    platform_register_pet_class(pet_window_proc);
    desktop_read(program.desktop);
    settings_path_init(program);
    zoom_init(program);
    settings_read(program);

    program.pet = new Pet{};
    Pet& pet = *program.pet;
    pet.program = &program;
    pet.zoom = program.zoom;
    pet.room = pet_room(program, pet.zoom);
    if (!pet_choice_start(pet, behaviour_seed()))
        return false;

    pet.window = platform_create_pet_window(SPRITE_SIZE * pet.zoom, &pet);
    platform_place_hidden(pet.window, pet_to_screen(pet.state->x, pet.zoom), pet_to_screen(pet.state->y, pet.zoom));
    if (!graphics_init(pet) || !window_shape_init(pet))
        return end_start_up(pet);
    if (!platform_set_timer(pet.window, PET_TIMER_ID, static_cast<unsigned>(program.settings.timer_ms))) {
        report_error(program, nullptr, "Too many clocks or timers! Fail to set timer");
        return end_start_up(pet);
    }
    platform_show_window(pet.window, show_command);
    platform_update_window(pet.window);
    tray_start(pet);
    return true;
}

void program_run(Program& program)
{
    PlatformMessage* message = nullptr;
    // An error from the fetch ends the loop rather than spinning on it.
    while (platform_next_message(&message) > 0)
        if (!offer_to_dialogs(program, message))
            platform_dispatch_message(message);
}

void program_release(Program& program)
{
    if (Pet* pet = program.pet) {
        if (pet->window)
            platform_destroy_window(pet->window);
        graphics_release(*pet);
        release_outlines(*pet);
        pet_release(pet->state);
        delete pet;
        program.pet = nullptr;
    }
}

int dorrabee_main(int show_command, const char* program_folder, int argc, const char* const* argv)
{
    Program program{};
    settings_reset(program);
    program_options(program, program_folder, argc, argv);
    if (program_start(program, show_command))
        program_run(program);
    program_release(program);
    return 0;
}
