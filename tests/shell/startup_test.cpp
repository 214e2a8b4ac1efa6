// Start-up in order, its failures, and the message loop.
#include "shell_harness.h"

#include <cstdlib>

#include "engine/random.h"
#include "graphics/sprites.h"

namespace {

using StartUp = ShellTest;

// The window pixels the outline lets show, as a 42 x 42 grid.
std::vector<bool> shown_pixels(const Window& window)
{
    std::vector<bool> shown(CELL_PIXELS, false);
    for (const OutlineRect& r : window.outline.rects)
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = r.left; x < r.right; ++x)
                shown[static_cast<size_t>(y) * SPRITE_SIZE + x] = true;
    return shown;
}

std::vector<bool> blob(bool mirrored)
{
    std::vector<bool> inside(CELL_PIXELS);
    for (int32_t y = 0; y < SPRITE_SIZE; ++y)
        for (int32_t x = 0; x < SPRITE_SIZE; ++x)
            inside[static_cast<size_t>(y) * SPRITE_SIZE + x] = fake_art_inside(mirrored ? SPRITE_SIZE - 1 - x : x, y);
    return inside;
}

TEST_F(StartUp, RunsTheStepsInOrderAndShowsThePetShaped)
{
    EXPECT_EQ(start(MODE_PRECOMPUTED, 7), 0);
    const std::string at = std::to_string(state()->x) + "," + std::to_string(state()->y);
    EXPECT_TRUE(in_order(fake.calls, {
                                         "register_pet_class()",
                                         "monitors()",
                                         "settings_folder(1024)",
                                         "ini_read_int(\"" + ini_path() + "\",\"Setup\",\"Mode\",1)",
                                         "seconds_now()",
                                         "create_pet_window()",
                                         "place_hidden(pet," + at + ")",
                                         "acquire_window_context(pet)",
                                         "load_cursor(109)",
                                         "load_bitmap(107)",
                                         "load_bitmap(103)",
                                         "release_window_context(pet)",
                                         "load_pet_menu()",
                                         "set_timer(pet,1,150)",
                                         "show_window(pet,7)",
                                         "update_window(pet)",
                                         "begin_paint(pet)",
                                         "present(pet,42,42,0,0)",
                                         "end_paint(pet)",
                                         "next_message()=-1 (nothing queued)",
                                     }));
    // The outline went on while the window was hidden, before the timer.
    EXPECT_TRUE(in_order(
        fake.calls,
        {"set_window_outline(pet,rects=" + std::to_string(pet()->outline.rects.size()) + ")", "set_timer(pet,1,150)"}));
    EXPECT_EQ(the_pet().room.width, 1024);
    EXPECT_EQ(the_pet().room.height, 768);
    EXPECT_TRUE(pet()->visible);
    EXPECT_EQ(pet()->x, state()->x);
    EXPECT_EQ(pet()->y, state()->y);
    EXPECT_EQ(shown_pixels(*pet()), blob(state()->current_mirrored != 0));
    // The frame is the current image's cell, key colour and all.
    for (int32_t y = 0; y < SPRITE_SIZE; ++y)
        for (int32_t x = 0; x < SPRITE_SIZE; ++x) {
            const int32_t sx = state()->current_mirrored ? SPRITE_SIZE - 1 - x : x;
            const uint32_t cell = fake_art_inside(sx, y) ? fake_art_pixel(state()->current_image, sx, y) : KEY_COLOUR;
            ASSERT_EQ(pet()->pixels[static_cast<size_t>(y) * SPRITE_SIZE + x], cell) << x << "," << y;
        }
    EXPECT_EQ(fake_count("message_box"), 0);
    EXPECT_EQ(fake_count("ini_write_string"), 0);
}

TEST_F(StartUp, StandardModeCapturesTheScreenUnderTheHiddenWindowAndComposites)
{
    fake.desktop_pixel = [](int32_t x, int32_t y) { return static_cast<uint32_t>(0x100000 + x * 1000 + y); };
    start(MODE_STANDARD);
    const std::string capture =
        "capture_screen(" + std::to_string(state()->x) + "," + std::to_string(state()->y) + ",42,42)";
    EXPECT_TRUE(in_order(fake.calls, {"open_screen()", "set_window_outline(pet,rects=1)", capture,
                                      "set_timer(pet,1,150)", "show_window(pet,5)", "present(pet,42,42,0,0)"}));
    EXPECT_EQ(fake_count("load_bitmap(107)"), 0);  // the mask is never needed
    for (int32_t y = 0; y < SPRITE_SIZE; ++y)
        for (int32_t x = 0; x < SPRITE_SIZE; ++x) {
            const int32_t sx = state()->current_mirrored ? SPRITE_SIZE - 1 - x : x;
            const uint32_t expected = fake_art_inside(sx, y) ? fake_art_pixel(state()->current_image, sx, y)
                                                             : fake.desktop_pixel(state()->x + x, state()->y + y);
            ASSERT_EQ(pet()->pixels[static_cast<size_t>(y) * SPRITE_SIZE + x], expected) << x << "," << y;
        }
}

TEST_F(StartUp, LiveModeBuildsOnlyTheFirstOutline)
{
    start(MODE_LIVE);
    EXPECT_EQ(fake_count("set_window_outline"), 1);
    EXPECT_EQ(shown_pixels(*pet()), blob(state()->current_mirrored != 0));
    // Surfaces, mask bits and the frame; no outline tables.
    EXPECT_EQ(fake_count("heap_alloc"), 4);
}

// Sets the measuring seed for one start; empty takes it away again.
void set_seed_variable(const char* value)
{
#ifdef _WIN32
    _putenv_s("DORRABEE_SEED", value);
#else
    setenv("DORRABEE_SEED", value, 1);
#endif
}

TEST_F(StartUp, AMeasuringSeedReplacesTheClockOnlyWhenItIsAWholeNumberThatFits)
{
    // What the generator draws next after a start seeded by the clock at 4242.
    fake.seconds_now = 4242;
    start();
    const int32_t clock_draw = random_draw(state()->random);
    const struct {
        const char* variable;
        bool replaces_clock;
    } cases[] = {{"4242", true}, {"", false}, {"42x", false}, {"-1", false}, {"4294967296", false}};
    for (const auto& c : cases) {
        reset_program();
        fake_use_synthetic_art();
        fake.seconds_now = c.replaces_clock ? 99 : 4242;
        set_seed_variable(c.variable);
        start();
        set_seed_variable("");
        EXPECT_EQ(random_draw(state()->random), clock_draw) << c.variable;
        EXPECT_EQ(fake_count("seconds_now"), c.replaces_clock ? 0 : 1) << c.variable;
    }
}

TEST_F(StartUp, AModeOutsideTheThreeGetsNoShapeButTicksAsARegionMode)
{
    start(3);
    EXPECT_EQ(fake_count("set_window_outline"), 0);
    EXPECT_EQ(fake_count("open_screen"), 0);
    EXPECT_FALSE(pet()->has_outline);
    // The first change of image builds an outline live.
    for (int tick = 0; tick < 200 && !pet()->has_outline; ++tick)
        fake_send(pet(), MSG_TIMER, 1);
    EXPECT_TRUE(pet()->has_outline);
    EXPECT_EQ(shown_pixels(*pet()), blob(state()->current_mirrored != 0));
}

TEST_F(StartUp, WithoutASettingsFileRunsOnTheDefaultsAndCreatesNoFile)
{
    run(5);
    EXPECT_EQ(program.settings.display_mode, MODE_PRECOMPUTED);
    EXPECT_EQ(fake_count("set_timer(pet,1,150)"), 1);
    EXPECT_EQ(fake_count("ini_write_string"), 0);
    EXPECT_TRUE(fake.ini_files.empty());
}

TEST_F(StartUp, TheTimerSettingIsTheTickIntervalUnchecked)
{
    for (const char* timer : {"0", "5000"}) {
        reset_program();
        fake_use_synthetic_art();
        fake.ini_files[ini_path()] = std::string("[Setup]\nTimer=") + timer + "\n";
        run(5);
        EXPECT_EQ(fake_count(std::string("set_timer(pet,1,") + timer + ")"), 1) << fake_log();
    }
}

TEST_F(StartUp, ANegativeMarginIsReportedWithoutOwnerBeforeAnyWindow)
{
    fake.ini_files[ini_path()] = "[Setup]\nTop Margin=-1\nLeft Margin=30\n";
    run(5);
    EXPECT_TRUE(in_order(fake.calls, {"message_box(none,\"Invalid Margin Values !\",0x0010)", "create_pet_window()"}));
    EXPECT_EQ(program.settings.left_margin, 0);
    EXPECT_EQ(program.fatal_error, 0);
    EXPECT_TRUE(pet()->visible);
}

TEST_F(StartUp, AScriptThatFailsToLoadEndsBeforeAnyWindow)
{
    static ScriptText broken = builtin_script();
    broken.columns[COLUMN_NEXT][0] = "1,(";
    program.builtin_behaviour = &broken;
    EXPECT_EQ(run(5), 0);
    const std::vector<std::string> boxes = fake_calls_starting("message_box");
    ASSERT_EQ(boxes.size(), 1u);
    // The loader's own words, an error box without owner.
    EXPECT_EQ(boxes[0].rfind("message_box(none,\"** ERROR : ", 0), 0u) << boxes[0];
    EXPECT_TRUE(boxes[0].ends_with(",0x0010)")) << boxes[0];
    EXPECT_EQ(fake_count("create_pet_window"), 0);
    EXPECT_EQ(program.fatal_error, 0);
}

TEST_F(StartUp, ATimerThatCannotStartIsFatalAndTheHiddenWindowGoes)
{
    fake.timer_fails = true;
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(in_order(
        fake.calls, {"set_timer(pet,1,150)", "message_box(pet,\"Too many clocks or timers! Fail to set timer\",0x0030)",
                     "destroy_window(pet)", "post_quit(0)"}));
    EXPECT_EQ(program.fatal_error, 1);
    EXPECT_EQ(fake_count("show_window"), 0);
    EXPECT_EQ(fake_count("next_message"), 0);
    EXPECT_FALSE(pet()->alive);
    EXPECT_TRUE(fake.live_blocks.empty());
}

// ---- the message loop

TEST_F(StartUp, EveryMessageIsOfferedToTheOpenDialogsBeforeDispatch)
{
    start();
    Window* pet_before = pet();
    Window* dialog = platform_create_dialog(
        999, pet_before, [](Window*, unsigned, uintptr_t, intptr_t) -> intptr_t { return 0; }, nullptr);
    add_open_dialog(program, dialog);
    fake_clear_calls();
    fake_post(dialog, FAKE_KEYDOWN, 'A');
    fake_post(pet_before, MSG_RBUTTONUP);
    fake_post(pet_before, MSG_COMMAND, CMD_EXIT);
    PlatformMessage* message = nullptr;
    while (platform_next_message(&message) > 0)
        if (!offer_to_dialogs(program, message))
            platform_dispatch_message(message);
    EXPECT_TRUE(in_order(fake.calls, {
                                         "next_message()=999,0x0100",
                                         "is_dialog_message(999,0x0100)",
                                         "next_message()=pet,0x0205",
                                         "is_dialog_message(999,0x0205)",
                                         "dispatch_message(pet,0x0205)",
                                         "next_message()=pet,0x0111",
                                         "is_dialog_message(999,0x0111)",
                                         "dispatch_message(pet,0x0111)",
                                         "destroy_window(pet)",
                                         "destroy_window(999)",
                                         "kill_timer(pet,1)",
                                         "post_quit(0)",
                                         "next_message()=quit",
                                     }));
    // The dialog took its key: it never reached translation and dispatch.
    EXPECT_EQ(fake_count("dispatch_message(999"), 0);
    // The right button's release is neither handled nor passed on.
    EXPECT_EQ(fake_count("default_window_proc"), 0);
}

TEST_F(StartUp, ExitEndsTheProgramWithCodeZeroAndReleasesEverything)
{
    fake.ini_files[ini_path()] = "[Setup]\nMode=0\n";
    // Once the program is up, the user right-clicks and chooses Exit.
    fake.when_idle = [] { fake_post(pet_window(), MSG_RBUTTONDOWN, 0, fake_point(10, 10)); };
    fake.popup_command = CMD_EXIT;
    EXPECT_EQ(run(5), 0);
    EXPECT_TRUE(in_order(fake.calls, {"next_message()=pet,0x0204", "dispatch_message(pet,0x0204)",
                                      "track_popup_menu(105," + std::to_string(pet()->x + 10) + "," +
                                          std::to_string(pet()->y + 10) + ",pet)",
                                      "next_message()=pet,0x0111", "destroy_window(pet)", "kill_timer(pet,1)",
                                      "close_screen()", "post_quit(0)", "next_message()=quit"}));
    EXPECT_FALSE(pet()->alive);
    EXPECT_EQ(pet_window(), nullptr);
    EXPECT_TRUE(fake.live_blocks.empty());
}

TEST_F(StartUp, AFetchErrorEndsTheLoopInsteadOfSpinning)
{
    fake.next_message_fails = true;
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(fake_count("next_message()=-1"), 1);
    EXPECT_EQ(fake_count("dispatch_message"), 0);
}

}  // namespace
