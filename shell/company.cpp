// The pets living together in one program.
#include "shell/company.h"

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "shell/pet_choice.h"
#include "shell/pet_graphics.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "shell/window_shape.h"

namespace {

Pet* new_pet(Program& program)
{
    Pet* pet = new Pet{};
    pet->program = &program;
    pet->zoom = program.zoom;
    pet->room = pet_room(program, pet->zoom);
    return pet;
}

Pet* keep_if_loaded(Program& program, Pet* pet, bool loaded)
{
    if (!loaded) {
        pet_release(pet->state);
        delete pet;
        return nullptr;
    }
    // A window made later is mapped above the ones before it.
    pet->stacked = ++program.stack_top;
    program.pets.push_back(pet);
    return pet;
}

bool carry_timer(Program& program, Window* window)
{
    if (!platform_set_timer(window, PET_TIMER_ID, static_cast<unsigned>(program.settings.timer_ms))) {
        report_error(program, nullptr, "Too many clocks or timers! Fail to set timer");
        return false;
    }
    program.timer_window = window;
    return true;
}

}  // namespace

uint32_t next_pet_seed(const Program& program)
{
    // A step of the golden ratio apart: two cats of one kind never share a
    // sequence, and a fixed first seed still fixes the whole company.
    return program.first_seed + static_cast<uint32_t>(program.pets.size()) * 0x9E3779B9u;
}

Pet* company_load(Program& program, const PetKind& kind)
{
    Pet* pet = new_pet(program);
    return keep_if_loaded(program, pet, pet_load(*pet, kind, next_pet_seed(program)));
}

Pet* company_load_built_in(Program& program)
{
    Pet* pet = new_pet(program);
    return keep_if_loaded(program, pet, pet_load_built_in(*pet, next_pet_seed(program)));
}

bool pet_open_window(Pet& pet, int show_command)
{
    Program& program = *pet.program;
    pet.window = platform_create_pet_window(pet_window_side(pet), &pet);
    platform_place_hidden(pet.window, pet_to_screen(pet.state->x, pet.zoom), pet_to_screen(pet.state->y, pet.zoom));
    if (!graphics_init(pet) || !window_shape_init(pet))
        return false;
    // Pets put away wait for their call back to live again.
    if (!program.timer_window && !program.pets_away && !carry_timer(program, pet.window))
        return false;
    platform_show_window(pet.window, show_command);
    platform_update_window(pet.window);
    return true;
}

Pet* company_add(Program& program, const PetKind& kind)
{
    Pet* pet = company_load(program, kind);
    if (!pet)
        return nullptr;
    if (pet_open_window(*pet, program.show_command))
        return pet;
    // Whatever failed was reported as fatal: the whole company goes.
    company_close_windows(program);
    return nullptr;
}

int living_pets(const Program& program)
{
    int count = 0;
    for (const Pet* pet : program.pets)
        count += pet_lives(*pet) ? 1 : 0;
    return count;
}

Window* oldest_living_window(const Program& program)
{
    for (const Pet* pet : program.pets)
        if (pet_lives(*pet))
            return pet->window;
    return nullptr;
}

void company_close_windows(Program& program)
{
    for (size_t k = program.pets.size(); k-- > 0;)
        if (Window* window = program.pets[k]->window)
            platform_destroy_window(window);
}

void company_window_gone(Program& program, Window* window)
{
    if (program.timer_window == window)
        program.timer_window = nullptr;
    Window* next = oldest_living_window(program);
    if (!next) {
        platform_post_quit(0);
        return;
    }
    if (!program.timer_window && !program.fatal_error && !program.pets_away && !carry_timer(program, next))
        company_close_windows(program);
}

bool company_timer_start(Program& program)
{
    Window* oldest = oldest_living_window(program);
    return !oldest || carry_timer(program, oldest);
}

void company_end(Program& program)
{
    company_save(program);
    company_close_windows(program);
}

void company_end_session(Program& program)
{
    if (living_pets(program) == 0)
        return;  // another window heard it first
    company_save(program, true);
    company_close_windows(program);
}

const std::vector<Window*>& company_stacking(Program& program)
{
    std::vector<Window*>& windows = program.stacking;
    windows.clear();
    // Few pets, nearly in order already: each goes in after those stacked lower.
    for (const Pet* pet : program.pets) {
        if (!pet_lives(*pet))
            continue;
        auto at = windows.end();
        while (at != windows.begin() && pet_of(*(at - 1))->stacked > pet->stacked)
            --at;
        windows.insert(at, pet->window);
    }
    return windows;
}

void company_lift(Pet& pet)
{
    Program& program = *pet.program;
    pet.stacked = ++program.stack_top;
    const std::vector<Window*>& windows = company_stacking(program);
    platform_begin_changes(windows.data(), static_cast<int>(windows.size()));
    platform_end_changes(windows.data(), static_cast<int>(windows.size()));
}
