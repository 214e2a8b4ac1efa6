// A fresh program for every test: the fake desktop, the engine, the
// settings and the shell's own state back to how a process starts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/action_script.h"
#include "engine/engine.h"
#include "platform/fake/fake_platform.h"
#include "shell/dialogs.h"
#include "shell/errors.h"
#include "shell/pet_graphics.h"
#include "shell/pet_window.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/tray.h"
#include "shell/window_shape.h"

inline void reset_program()
{
    // Release through the shell while the fake still holds its blocks.
    graphics_release();
    release_outlines();
    pet_release();
    fake_reset();
    fatal_error = 0;
    pet_window = nullptr;
    dialogs_reset();  // the open list's nodes went with the fake's heap
    tray_reset();
    action_script = &builtin_script;
    settings_reset();
    screen_width = screen_height = 0;
    pet_zoom = 1;
}

// The settings file where the program looks for it on this build.
inline std::string ini_path()
{
#ifdef _WIN32
    return "C:\\Games\\Dorrabee\\dorra.ini";
#else
    return "/opt/dorrabee/dorra.ini";
#endif
}

struct ShellTest : testing::Test {
    void SetUp() override
    {
        reset_program();
        fake_use_synthetic_art();
    }
    void TearDown() override { reset_program(); }

    // Runs the program with the given "Mode" until its message loop has
    // nothing more to fetch; the pet window then stays up for the test.
    int start(int mode = MODE_PRECOMPUTED, int show_command = 5)
    {
        fake.ini_files[ini_path()] = "[Setup]\nMode=" + std::to_string(mode) + "\n";
        return dorrabee_main(show_command);
    }

    // The pet window as the fake keeps it (the engine record is ::pet).
    Window* pet() { return fake_window("pet"); }
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
