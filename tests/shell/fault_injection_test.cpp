// Failures in the middle of a whole session rather than one step at a time:
// the program starts, ticks, opens Options and About, ticks with both open
// and exits, while one platform call after another fails in turn. Whatever
// fails, the user sees exactly one message, with its icon; from a fatal
// report on, no tick moves the pet and no paint draws; every window is
// destroyed, every block, context and the screen released; the exit code is 0.
#include "shell_harness.h"

#include <set>

namespace {

const std::set<std::string> FATAL_TEXTS = {
    "Fail to identify the window device context",
    "Fail to load the cursor image",
    "Fail to create the window device context",
    "Insufficient memory to create bitmap image",
    "Insufficient memory to load bitmap image",
    "Unexpected error: Data error in bitmap image",
    "Insufficient memory to load pop-up menu",
    "Too many clocks or timers! Fail to set timer",
    "Fail to identify the window for painting",
    "Fail to identify the dialog window",
    "Fail to load bitmap image",
    "Insufficient memory to create memory device",
    "Fail to identify the dialog window for painting",
};

// One user's session, stage by stage, each run when the message loop has
// nothing left to fetch. `before_stage` may break the platform at a stage.
struct Session {
    int stage = 0;
    std::function<void(int stage)> before_stage;
};
Session session;

void post_ticks(int count)
{
    for (int i = 0; i < count; ++i)
        for (auto& window : fake.windows)
            if (window->alive)
                for (auto& [id, interval] : window->timers)
                    fake_post(window.get(), MSG_TIMER, id);
}

void next_stage()
{
    if (!pet_window())
        return;
    if (session.before_stage)
        session.before_stage(session.stage);
    switch (session.stage++) {
        case 0:
            post_ticks(30);
            break;
        case 1:
            fake_post(pet_window(), MSG_COMMAND, CMD_OPTIONS);
            post_ticks(5);
            break;
        case 2:
            fake_post(pet_window(), MSG_COMMAND, CMD_ABOUT);
            post_ticks(5);
            break;
        case 3:
            fake_paint_pending();
            post_ticks(20);
            break;
        case 4:
            fake_paint_pending();
            post_ticks(20);
            break;
        default:
            fake_post(pet_window(), MSG_COMMAND, CMD_EXIT);
            return;
    }
    fake_paint_pending();
    fake.when_idle = next_stage;
}

// What the user saw and what the program did while the box was up.
struct BoxWatch {
    int boxes = 0;
    std::string text;
    unsigned kind = 0;
    bool moved_during_fatal_box = false;
    bool drew_during_fatal_box = false;
};
BoxWatch watch;

// The box's modal loop: every timer fires and every window with something to
// repaint is painted (a dialog still in its set-up is not shown yet).
void modal_loop(Window*, const std::string& text, unsigned kind)
{
    ++watch.boxes;
    watch.text = text;
    watch.kind = kind;
    if (!state())
        return;  // the engine is not loaded yet: nothing can tick
    const int32_t x = state()->x, y = state()->y, image = state()->current_image, mirrored = state()->current_mirrored;
    const int32_t about_frame = state()->about_frame;
    const size_t calls_before = fake.calls.size();
    for (size_t i = 0; i < fake.windows.size(); ++i) {
        Window* window = fake.windows[i].get();
        if (!window->alive)
            continue;
        for (auto [id, interval] : std::map<unsigned, unsigned>(window->timers))
            fake_send(window, MSG_TIMER, id);
    }
    fake_paint_pending();
    if (running_program->fatal_error) {
        watch.moved_during_fatal_box = x != state()->x || y != state()->y || image != state()->current_image ||
                                       mirrored != state()->current_mirrored || about_frame != state()->about_frame;
        for (size_t i = calls_before; i < fake.calls.size(); ++i)
            if (fake.calls[i].starts_with("present"))
                watch.drew_during_fatal_box = true;
    }
}

struct FaultInjection : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        session = Session{};
        watch = BoxWatch{};
        fake.during_message_box = modal_loop;
        fake.when_idle = next_stage;
    }

    // Runs the whole session in `mode`; the program's exit code.
    int run(int mode)
    {
        fake.ini_files[ini_path()] = "[Setup]\nMode=" + std::to_string(mode) + "\n";
        return ShellTest::run(5);
    }

    // Everything that must hold once the program has ended, whatever failed.
    void expect_clean_end()
    {
        for (auto& window : fake.windows)
            EXPECT_FALSE(window->alive) << window->name << " still alive";
        EXPECT_EQ(pet_window(), nullptr);
        EXPECT_EQ(program.dialogs.open_dialogs, nullptr);
        EXPECT_EQ(fake.contexts_held, 0);
        EXPECT_FALSE(fake.screen_open);
        EXPECT_EQ(fake.capture, nullptr);
        EXPECT_TRUE(fake.live_blocks.empty()) << fake.live_blocks.size() << " heap blocks never released";
        EXPECT_TRUE(fake.quit_posted);
        EXPECT_EQ(fake_count("present OUTSIDE PAINT"), 0);
    }

    // Exactly one message, with the icon its kind calls for.
    void expect_one_report()
    {
        ASSERT_EQ(watch.boxes, 1) << fake_log();
        if (watch.kind == BOX_ERROR) {
            EXPECT_EQ(watch.text, "Out of memory");
            EXPECT_EQ(program.fatal_error, 0);  // not fatal in itself: the window goes instead
        } else {
            EXPECT_EQ(watch.kind, BOX_WARNING);
            EXPECT_TRUE(FATAL_TEXTS.count(watch.text)) << watch.text;
            EXPECT_EQ(program.fatal_error, 1);
            EXPECT_FALSE(watch.moved_during_fatal_box) << "a tick ran after " << watch.text;
            EXPECT_FALSE(watch.drew_during_fatal_box) << "a paint drew after " << watch.text;
        }
    }
};

TEST_F(FaultInjection, ACleanSessionShowsNothingAndReleasesEverything)
{
    for (int mode : {MODE_STANDARD, MODE_PRECOMPUTED, MODE_LIVE}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        TearDown();
        SetUp();
        EXPECT_EQ(run(mode), 0);
        EXPECT_EQ(watch.boxes, 0) << fake_log();
        EXPECT_GE(session.stage, 6);  // the session reached Exit
        EXPECT_EQ(fake_count("create_dialog(113"), 1);
        EXPECT_EQ(fake_count("create_dialog(104"), 1);
        expect_clean_end();
    }
}

// Every heap block the program takes in a session, refused in turn.
TEST_F(FaultInjection, EveryAllocationOfASessionFailingInTurn)
{
    for (int mode : {MODE_STANDARD, MODE_PRECOMPUTED, MODE_LIVE}) {
        TearDown();
        SetUp();
        ASSERT_EQ(run(mode), 0);
        const long allocations = fake.heap_allocations;
        ASSERT_GT(allocations, 10);
        for (long n = 1; n <= allocations; ++n) {
            SCOPED_TRACE("mode " + std::to_string(mode) + ", allocation " + std::to_string(n) + " of " +
                         std::to_string(allocations));
            TearDown();
            SetUp();
            fake.fail_heap_alloc_at = n;
            EXPECT_EQ(run(mode), 0);
            expect_one_report();
            expect_clean_end();
            if (HasFailure())
                return;
        }
    }
}

// The platform refusing something else, at the stage where the session needs it.
struct RuntimeFailure {
    const char* name;
    int stage;  // before which the platform breaks
    std::function<void()> arrange;
    const char* text;
};

const RuntimeFailure RUNTIME_FAILURES[] = {
    {"pet_paint_while_ticking", 1, [] { fake.begin_paint_fails = true; }, nullptr},
    {"paint_with_both_dialogs_open", 3, [] { fake.begin_paint_fails = true; }, nullptr},
    {"about_timer_with_options_open", 2, [] { fake.timer_fails = true; },
     "Too many clocks or timers! Fail to set timer"},
    {"about_context_with_options_open", 2, [] { fake.acquire_context_fails = true; },
     "Fail to identify the dialog window"},
    {"about_title_image", 2, [] { fake.bitmaps.erase(RES_TITLE); }, "Fail to load bitmap image"},
    {"about_tile_image", 2, [] { fake.bitmaps.erase(RES_TILE); }, "Fail to load bitmap image"},
};

struct AtRuntime : FaultInjection, testing::WithParamInterface<std::tuple<RuntimeFailure, int>> {};

TEST_P(AtRuntime, OneWarningEndsTheProgramAndNothingMovesAfterIt)
{
    const auto& [failure, mode] = GetParam();
    session.before_stage = [&failure](int stage) {
        if (stage == failure.stage)
            failure.arrange();
    };
    EXPECT_EQ(run(mode), 0);
    expect_one_report();
    EXPECT_EQ(watch.kind, BOX_WARNING);
    if (failure.text) {
        EXPECT_EQ(watch.text, failure.text);
    } else {
        // Whichever window painted first reports; the other then draws nothing.
        EXPECT_TRUE(watch.text == "Fail to identify the window for painting" ||
                    watch.text == "Fail to identify the dialog window for painting")
            << watch.text;
    }
    EXPECT_EQ(fake_count("message_box(pet,"), 1);  // owned by the pet window
    expect_clean_end();
}

INSTANTIATE_TEST_SUITE_P(EveryMode, AtRuntime,
                         testing::Combine(testing::ValuesIn(RUNTIME_FAILURES),
                                          testing::Values(MODE_STANDARD, MODE_PRECOMPUTED, MODE_LIVE)),
                         [](const testing::TestParamInfo<std::tuple<RuntimeFailure, int>>& info) {
                             return std::string(std::get<0>(info.param).name) + "_mode" +
                                    std::to_string(std::get<1>(info.param));
                         });

}  // namespace
