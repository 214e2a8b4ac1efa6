// Loading the script while the heap refuses one block after another: each
// refusal gives exactly one "Fail to allocate memory" message, leaves no
// engine state and no block behind (LeakSanitizer sees the rest), and the
// next load with a willing heap succeeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/action_script.h"
#include "engine/engine.h"

// The engine's calls to calloc and free come here (linked with
// -Wl,--wrap=calloc -Wl,--wrap=free).
// The bookkeeping allocates nothing and needs no constructor: where the C
// library is linked in (Windows), free is called before and after main too.
namespace {
long calls = 0;
long fail_at = 0;  // the Nth call from the last reset fails; 0: none

constexpr int MAX_BLOCKS = 4096;
void* live[MAX_BLOCKS];  // handed out by calloc and not yet freed
int live_count = 0;

void forget(void* block)
{
    for (int i = 0; i < live_count; ++i)
        if (live[i] == block) {
            live[i] = live[--live_count];
            return;
        }
}
}  // namespace

extern "C" {
void* __real_calloc(size_t count, size_t size);
void __real_free(void* block);

void* __wrap_calloc(size_t count, size_t size)
{
    ++calls;
    if (fail_at && calls == fail_at)
        return nullptr;
    void* block = __real_calloc(count, size);
    if (block && live_count < MAX_BLOCKS)
        live[live_count++] = block;
    return block;
}

void __wrap_free(void* block)
{
    forget(block);
    __real_free(block);
}
}

namespace {

void collect(void* context, const char* text)
{
    static_cast<std::vector<std::string>*>(context)->emplace_back(text);
}

constexpr Room SCREEN = {0, 0, 1024, 768, 0, 0, 0, 0};

struct LoaderHeap : testing::Test {
    std::vector<std::string> messages;

    void SetUp() override
    {
        builtin_script();  // parsed once, before the heap is counted
        calls = fail_at = 0;
        live_count = 0;
    }
    PetState* load() { return pet_init(builtin_script(), SCREEN, 150, 7, ScriptMessages{collect, &messages}); }
};

TEST_F(LoaderHeap, EveryRefusedBlockIsReportedOnceAndLeavesNothing)
{
    PetState* pet = load();
    ASSERT_NE(pet, nullptr);
    const long blocks = calls;
    // The state, the action table, 65 frame arrays, the link and dislike
    // lists, the weights, the About table and its 35 arrays.
    ASSERT_GT(blocks, 65 + 35);
    ASSERT_TRUE(messages.empty());
    pet_release(pet);
    ASSERT_EQ(live_count, 0);

    for (long n = 1; n <= blocks; ++n) {
        SCOPED_TRACE("block " + std::to_string(n) + " of " + std::to_string(blocks));
        messages.clear();
        calls = 0;
        fail_at = n;
        EXPECT_EQ(load(), nullptr);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].rfind("** ERROR : Fail to allocate memory", 0), 0u) << messages[0];
        EXPECT_EQ(live_count, 0) << "blocks of the failed load were not freed";
    }

    // The heap is willing again: the same engine loads as if nothing happened.
    fail_at = 0;
    messages.clear();
    pet = load();
    EXPECT_NE(pet, nullptr);
    EXPECT_TRUE(messages.empty());
    pet_release(pet);
}

TEST_F(LoaderHeap, TheFramesAndAboutArraysNameTheirAction)
{
    PetState* pet = load();
    ASSERT_NE(pet, nullptr);
    const long blocks = calls;
    pet_release(pet);
    // Failing every block in turn meets both per-action messages, each with
    // the number of the action or routine whose array could not be made.
    int frames = 0, routines = 0;
    for (long n = 1; n <= blocks; ++n) {
        messages.clear();
        calls = 0;
        fail_at = n;
        load();
        const std::string& text = messages.at(0);
        frames += text.rfind("** ERROR : Fail to allocate memory for animation action : ", 0) == 0;
        routines += text.rfind("** ERROR : Fail to allocate memory for dialog animation action : ", 0) == 0;
    }
    EXPECT_EQ(frames, SCRIPT_ACTION_COUNT);
    EXPECT_EQ(routines, SCRIPT_DIALOG_ANIMATION_COUNT);
}

}  // namespace
