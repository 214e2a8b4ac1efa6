// The program's life: start-up, the message loop, the end.
#include "shell/startup.h"

#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/company.h"
#include "shell/errors.h"
#include "shell/language.h"
#include "shell/pet_choice.h"
#include "shell/pet_graphics.h"
#include "shell/pet_window.h"
#include "shell/program.h"
#include "shell/tray.h"
#include "shell/window_shape.h"

namespace {

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
    program.command_line_paths.clear();
    for (int k = 1; k + 1 < argc; ++k)
        if (std::string(argv[k]) == "--pet")
            program.command_line_paths.push_back(argv[++k]);
}

bool program_start(Program& program, int show_command)
{
    platform_register_pet_class(pet_window_proc);
    desktop_read(program.desktop);
    settings_path_init(program);
    program.language = language_at_start(program.settings_path);
    zoom_init(program);
    settings_read(program);

    program.first_seed = behaviour_seed();
    program.show_command = show_command;
    bool built_in_tried = false;
    for (const PetKind& kind : company_at_start(program)) {
        built_in_tried = built_in_tried || is_built_in(kind);
        company_load(program, kind);
    }
    // Every pet named failed (each with its box): the built-in cat runs,
    // unless it was among them, for it fails the same way again.
    if (program.pets.empty() && (built_in_tried || !company_load_built_in(program)))
        return false;
    for (size_t k = 0; k < program.pets.size(); ++k)
        if (!pet_open_window(*program.pets[k], show_command)) {
            // Reported already: whatever was made goes with the windows.
            company_close_windows(program);
            return false;
        }
    tray_start(*program.pets.front());
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
    company_close_windows(program);
    for (Pet* pet : program.pets) {
        graphics_release(*pet);
        release_outlines(*pet);
        pet_release(pet->state);
        delete pet;
    }
    program.pets.clear();
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
