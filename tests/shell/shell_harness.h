// A fresh program for every test: the fake desktop, the engine, the
// settings and the shell's own state back to how a process starts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "platform/fake/fake_platform.h"
#include "shell/dialogs.h"
#include "shell/errors.h"
#include "shell/pet_graphics.h"
#include "shell/pet_window.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/window_shape.h"

// The settings file where the program looks for it on this build.
inline std::string ini_path()
{
#ifdef _WIN32
    return "C:\\Games\\Dorrabee\\dorra.ini";
#else
    return "/opt/dorrabee/dorra.ini";
#endif
}

// The program of the test running now, for helpers outside the fixture
// (the fake's callbacks, message boxes' modal loops).
inline Program* running_program = nullptr;
// The oldest pet's.
inline PetState* state()
{
    return running_program && !running_program->pets.empty() ? running_program->pets[0]->state : nullptr;
}
inline Window* pet_window()
{
    return running_program && !running_program->pets.empty() ? running_program->pets[0]->window : nullptr;
}

struct ShellTest : testing::Test {
    void SetUp() override
    {
        running_program = &program;
        fake_reset();
        fake_use_synthetic_art();
        settings_reset(program);
    }
    void TearDown() override { reset_program(); }
    // Releases through the shell while the fake still holds its blocks, then
    // a fresh desktop and a program as a process starts it.
    void reset_program()
    {
        program_release(program);
        fake_reset();
        program = Program{};
        settings_reset(program);
    }

    // Runs the program with the given "Mode" until its message loop has
    // nothing more to fetch; the pet window then stays up for the test.
    int start(int mode = MODE_PRECOMPUTED, int show_command = 5)
    {
        fake.ini_files[ini_path()] = "[Setup]\nMode=" + std::to_string(mode) + "\n";
        return run(show_command);
    }
    // The same with the settings file as the test left it.
    int run(int show_command = 5)
    {
        if (!program.pets.empty() && !program.pets.front()->window)
            program_release(program);  // a bare pet gives way to the real start
        if (program_start(program, show_command))
            program_run(program);
        return 0;
    }

    // The desk read and a pet record with neither window nor engine, for
    // what is tested without a running pet (settings, dialogs alone).
    Pet& bare_pet()
    {
        desktop_read(program.desktop);
        Pet* pet = new Pet{};
        pet->program = &program;
        pet->zoom = program.zoom;
        program.pets.push_back(pet);
        return *pet;
    }

    // The newest pet window as the fake keeps it.
    Window* pet() { return fake_window("pet"); }
    // The oldest pet's records, once start-up made them.
    Pet& the_pet() { return *program.pets.front(); }

    Program program{};
};

// True when every `expected` call occurs in `calls`, in this order
// (others may come between).
inline testing::AssertionResult in_order(const std::vector<std::string>& calls,
                                         const std::vector<std::string>& expected)
{
    size_t at = 0;
    for (const std::string& call : calls)
        if (at < expected.size() && call == expected[at])
            ++at;
    if (at == expected.size())
        return testing::AssertionSuccess();
    std::string log;
    for (const std::string& call : calls)
        log += "  " + call + "\n";
    return testing::AssertionFailure() << "missing, in order: " << expected[at] << "\ncalls:\n" << log;
}
