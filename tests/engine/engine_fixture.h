// Runs the loader on a copy of the built-in script that a test may change,
// on a chosen screen, collecting every message it shows.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/action_script.h"
#include "engine/engine.h"

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        script = builtin_script();
        messages().clear();
        room = Room{0, 0, 1024, 768, 0, 0, 0, 0};
        timer_ms = 150;
        seed = 1;
    }

    void TearDown() override { release(); }

    void release()
    {
        pet_release(pet);
        pet = nullptr;
    }

    // Loads `script`; 1 when it loaded.
    int load()
    {
        release();
        messages().clear();
        pet = pet_init(script, room, timer_ms, seed, {collect, nullptr});
        return pet ? 1 : 0;
    }

    // Replaces one cell of action n (1-based).
    void set_cell(int n, ScriptColumn column, const char* text) { script.columns[column][n - 1] = text; }

    // Loads and expects exactly one message, which it returns.
    std::string load_failure()
    {
        EXPECT_EQ(load(), 0);
        EXPECT_EQ(pet, nullptr);
        EXPECT_EQ(messages().size(), 1u);
        return messages().empty() ? "" : messages().back();
    }

    const Action& action(int n) const { return pet->actions[n - 1]; }

    // Empties the history and sets the newest entries (0-based actions).
    void set_history(std::initializer_list<std::pair<int, int>> newest_first)
    {
        for (int j = 0; j < HISTORY_LENGTH; ++j) {
            pet->history[j] = -1;
            pet->history_facing[j] = 2;
        }
        int j = 0;
        for (const auto& [a, facing] : newest_first) {
            pet->history[j] = a;
            pet->history_facing[j] = static_cast<uint8_t>(facing);
            ++j;
        }
    }

    static std::vector<std::string>& messages()
    {
        static std::vector<std::string> shown;
        return shown;
    }
    ScriptText script;
    PetState* pet = nullptr;
    Room room;
    int32_t timer_ms;
    uint32_t seed;

private:
    static void collect(void*, const char* text) { messages().push_back(text); }
};
