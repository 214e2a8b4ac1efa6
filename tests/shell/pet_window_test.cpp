// The pet window message by message: mouse, menu, commands, ticks, paints.
#include "shell_harness.h"

#include "graphics/sprites.h"

namespace {

struct PetWindow : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        ASSERT_EQ(start(), 0);
        fake_clear_calls();
    }
    intptr_t send(unsigned message, uintptr_t wparam = 0, intptr_t lparam = 0)
    {
        return fake_send(pet(), message, wparam, lparam);
    }
    // The one monitor changes size, and the pet window hears of it.
    void change_screen(int32_t width, int32_t height)
    {
        fake.screen_width = width;
        fake.screen_height = height;
        send(MSG_DISPLAYCHANGE, 32, (height << 16) | width);
    }
    // Puts the pet into the first action whose drag_action is `kind` of it.
    bool run_action_where(bool (*fits)(const Action& action, int32_t index))
    {
        for (int32_t i = 0; i < state()->action_count; ++i) {
            if (fits(state()->actions[i], i)) {
                state()->current_action = i;
                state()->tick = 0;
                set_image(state());
                return true;
            }
        }
        return false;
    }
    // The pets sub-menu is filled afresh (here: the built-in cat alone) just
    // before the menu opens; with the notification-area icon up, the icon's
    // own entries are not in it; hiding for fullscreen programs is.
    std::string menu_at(int32_t x, int32_t y)
    {
        return "set_pet_submenu(105,40005,\"宠物(&P)\",\"Dorrabee\",\"送走它(&S)\",40100,0)\n"
               "set_menu_item(105,40004,40008,null,-1)\n"
               "set_menu_item(105,40004,40009,null,-1)\n"
               "set_menu_item(105,40004,40010,\"全屏时隐藏(&F)\",1)\n"
               "track_popup_menu(105," +
               std::to_string(pet()->x + x) + "," + std::to_string(pet()->y + y) + ",pet)";
    }
};

// ---- mouse and menu

TEST_F(PetWindow, ADoubleClickIsAShortDragThenTheMenuAndItsSecondPressStartsNoDrag)
{
    send(MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(10, 12));
    send(MSG_LBUTTONUP, 0, fake_point(10, 12));
    send(MSG_LBUTTONDBLCLK, MOUSE_LEFT_BUTTON, fake_point(10, 12));
    send(MSG_LBUTTONUP, 0, fake_point(10, 12));
    EXPECT_EQ(fake_log(),
              "set_capture(pet)\n"
              "set_cursor(109)\n"
              "set_cursor(0)\n"
              "release_capture()\n"
              "client_to_screen(pet,10,12)\n" +
                  menu_at(10, 12) + "\n");
    EXPECT_EQ(state()->dragging, 0);
    EXPECT_EQ(fake.capture, nullptr);
}

TEST_F(PetWindow, TheRightButtonOpensTheMenuAtThePointerAndItsReleaseDoesNothing)
{
    EXPECT_EQ(send(MSG_RBUTTONDOWN, 0, fake_point(41, 3)), 0);
    EXPECT_EQ(send(MSG_RBUTTONUP, 0, fake_point(41, 3)), 0);
    EXPECT_EQ(fake_log(), "client_to_screen(pet,41,3)\n" + menu_at(41, 3) + "\n");
}

TEST_F(PetWindow, ContinueClosesTheMenuAndChangesNothing)
{
    fake.popup_command = CMD_CONTINUE;
    const int32_t x = state()->x, y = state()->y, image = state()->current_image;
    send(MSG_RBUTTONDOWN, 0, fake_point(5, 5));
    fake_clear_calls();
    fake_pump();
    EXPECT_EQ(fake_log(), "");
    EXPECT_EQ(state()->x, x);
    EXPECT_EQ(state()->y, y);
    EXPECT_EQ(state()->current_image, image);
    EXPECT_TRUE(pet()->alive);
}

TEST_F(PetWindow, OnlyTheLowWordOfACommandCounts)
{
    send(MSG_COMMAND, 0x10000u | CMD_EXIT);
    EXPECT_FALSE(pet()->alive);
}

TEST_F(PetWindow, MessagesItDoesNotHandleGoToDefaultProcessing)
{
    EXPECT_EQ(send(MSG_CREATE), 0);
    EXPECT_EQ(send(MSG_SIZE), 0);
    send(0x0084);  // hit testing
    EXPECT_EQ(fake_log(), "default_window_proc(pet,0x0084)\n");
}

TEST_F(PetWindow, OptionsAndAboutChosenTwiceOpenOneDialogEachOwnedByThePet)
{
    for (int i = 0; i < 2; ++i) {
        send(MSG_COMMAND, CMD_OPTIONS);
        send(MSG_COMMAND, CMD_ABOUT);
    }
    EXPECT_EQ(fake_calls_starting("create_dialog"),
              (std::vector<std::string>{"create_dialog(113,pet)", "create_dialog(104,pet)"}));
    // Exit takes both dialogs down before the pet window.
    fake_clear_calls();
    send(MSG_COMMAND, CMD_EXIT);
    EXPECT_TRUE(in_order(fake.calls, {"destroy_window(pet)", "destroy_window(options)", "destroy_window(about)",
                                      "kill_timer(pet,1)", "post_quit(0)"}));
    EXPECT_FALSE(fake_window("options")->alive);
    EXPECT_FALSE(fake_window("about")->alive);
}

// ---- state()->dragging

TEST_F(PetWindow, APressOutsideTheWindowHoldsTheNearestPointAndTheDragStaysInTheBox)
{
    send(MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(-3, 50));
    EXPECT_EQ(state()->grab_x, 0);
    EXPECT_EQ(state()->grab_y, 42);
    EXPECT_EQ(fake.capture, pet());
    fake_clear_calls();
    send(MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON, fake_point(30000, 30000));
    EXPECT_EQ(state()->x, 1024 - 42);
    EXPECT_EQ(state()->y, 768 - 42);
    EXPECT_EQ(fake_log(), "invalidate(pet)\nmove_window(pet,982,726)\n");
    // Held against the corner the pet does not move, but is repainted.
    fake_clear_calls();
    send(MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON, fake_point(30000, 30000));
    EXPECT_TRUE(in_order(fake.calls, {"invalidate(pet)", "update_window(pet)", "begin_paint(pet)"}));
    EXPECT_EQ(fake_count("move_window"), 0);
    fake_clear_calls();
    send(MSG_LBUTTONUP, 0, fake_point(0, 0));
    EXPECT_EQ(fake_log(), "set_cursor(0)\nrelease_capture()\n");
    EXPECT_EQ(fake.cursor->resource_id, 0);
}

TEST_F(PetWindow, AMenuOpenedDuringADragPutsThePetDown)
{
    send(MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(20, 20));
    fake_clear_calls();
    send(MSG_RBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(20, 20));  // the menu takes the release
    EXPECT_TRUE(in_order(fake.calls, {"track_popup_menu(105," + std::to_string(pet()->x + 20) + "," +
                                          std::to_string(pet()->y + 20) + ",pet)",
                                      "set_cursor(0)", "release_capture()"}));
    EXPECT_EQ(state()->dragging, 0);
}

TEST_F(PetWindow, AMoveWithoutTheLeftButtonEndsADragWhoseReleaseWentElsewhere)
{
    send(MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(20, 20));
    fake_clear_calls();
    send(MSG_MOUSEMOVE, 0, fake_point(25, 25));
    EXPECT_EQ(fake_log(), "set_cursor(0)\nrelease_capture()\n");
    EXPECT_EQ(state()->dragging, 0);
}

TEST_F(PetWindow, AReleaseWithoutADragDoesNothing)
{
    send(MSG_LBUTTONUP, 0, fake_point(3, 3));
    send(MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON, fake_point(3, 3));
    EXPECT_EQ(fake_log(), "");
}

TEST_F(PetWindow, ATickDuringADragThatChangesNothingTouchesNoWindow)
{
    ASSERT_TRUE(run_action_where([](const Action& a, int32_t) { return a.drag_action == 0; }));
    send(MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(20, 20));
    fake_clear_calls();
    for (int tick = 0; tick < 5; ++tick)
        send(MSG_TIMER, 1);
    EXPECT_EQ(fake_log(), "");
}

TEST_F(PetWindow, ATickDuringADragThatAnimatesInPlaceRepaintsWithoutMoving)
{
    ASSERT_TRUE(
        run_action_where([](const Action& a, int32_t i) { return a.drag_action == i + 1 && a.frame_count > 1; }));
    send(MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(20, 20));
    const int32_t image = state()->current_image;
    fake_clear_calls();
    send(MSG_TIMER, 1);
    ASSERT_NE(state()->current_image, image);
    EXPECT_TRUE(
        in_order(fake.calls, {"set_window_outline(pet,rects=" + std::to_string(pet()->outline.rects.size()) + ")",
                              "invalidate(pet)", "update_window(pet)", "present(pet,42,42,0,0)"}));
    EXPECT_EQ(fake_count("move_window"), 0);
}

// ---- fatal errors

// A smaller screen (a lower resolution, a monitor unplugged): the pet comes
// back inside at once, margins that no longer fit go as at start-up, and the
// ticks after keep it inside the new box.
TEST_F(PetWindow, AScreenThatShrinksBringsThePetInsideAtOnce)
{
    program.settings.right_margin = 300;
    state()->x = 1024 - 42 - 300;
    state()->y = 700;
    change_screen(640, 480);
    EXPECT_EQ(the_pet().room.width, 640);
    EXPECT_EQ(the_pet().room.height, 480);
    EXPECT_EQ(the_pet().room.right_margin, 300) << "still fits: 640 - 42 - 300 >= 0";
    EXPECT_EQ(state()->x, 640 - 42 - 300);
    EXPECT_EQ(state()->y, 480 - 42);
    EXPECT_EQ(pet()->x, state()->x);
    EXPECT_EQ(pet()->y, state()->y);
    change_screen(320, 400);
    EXPECT_EQ(the_pet().room.right_margin, 0) << "no longer fits";
    EXPECT_EQ(state()->x, 320 - 42);
    for (int tick = 0; tick < 200; ++tick) {
        send(MSG_TIMER, PET_TIMER_ID);
        ASSERT_LE(state()->x, 320 - 42);
        ASSERT_LE(state()->y, 400 - 42);
    }
}

// At zoom 2 the margins (here 600 screen pixels, 300 of the pet's) are
// checked in the pet's pixels like the screen; a monitor plugged back in
// brings back the margins its unplugging took.
TEST_F(PetWindow, MarginsASmallerScreenTookComeBackWithTheLargerOne)
{
    the_pet().zoom = 2;
    program.zoom = 2;
    program.zoom_key = 2;  // as "Zoom=2" sets it
    program.settings.left_margin = 600;
    change_screen(640, 480);
    EXPECT_EQ(the_pet().room.left_margin, 0) << "320 - 42 - 300 < 0";
    EXPECT_GE(state()->x, 0);
    change_screen(1024, 768);
    EXPECT_EQ(the_pet().room.left_margin, 300);
    EXPECT_GE(state()->x, 300);
}

TEST_F(PetWindow, AfterAFatalErrorTicksAndPaintsDoNothingButPaintsAreAcknowledged)
{
    program.fatal_error = 1;
    send(MSG_TIMER, 1);
    send(MSG_PAINT);
    EXPECT_EQ(fake_log(), "default_window_proc(pet,0x000F)\n");
}

TEST_F(PetWindow, APaintThatCannotBeginIsFatalAndTakesThePetDown)
{
    fake.begin_paint_fails = true;
    send(MSG_PAINT);
    EXPECT_TRUE(in_order(fake.calls,
                         {"begin_paint(pet)", "message_box(pet,\"Fail to identify the window for painting\",0x0030)",
                          "destroy_window(pet)", "post_quit(0)"}));
    EXPECT_EQ(fake_count("destroy_window"), 1);
    EXPECT_EQ(fake_count("present"), 0);
    EXPECT_EQ(program.fatal_error, 1);
}

// ---- the tick, over a long run in every mode

struct TickRun : ShellTest, testing::WithParamInterface<int> {};

TEST_P(TickRun, EachTickDoesExactlyTheWindowWorkItsChangesNeed)
{
    const int mode = GetParam();
    fake.desktop_pixel = [](int32_t x, int32_t y) {
        return static_cast<uint32_t>((x * 31 + y * 17) & 0xFFFFFF) | 0x010000;
    };
    // Margins keep the pet in a small box so that moves overlap its old place.
    fake.ini_files[ini_path()] = "[Setup]\nMode=" + std::to_string(mode) +
                                 "\nLeft Margin=400\nRight Margin=500\nTop Margin=300\nBottom Margin=380\n";
    ASSERT_EQ(run(5), 0);
    Window* window = pet();
    int still = 0, image_only = 0, moved = 0;
    for (int tick = 0; tick < 800; ++tick) {
        const int32_t x = state()->x, y = state()->y, image = state()->current_image,
                      mirrored = state()->current_mirrored;
        const size_t rects = window->outline.rects.size();
        const bool had_outline = window->has_outline;
        fake_clear_calls();
        fake_send(window, MSG_TIMER, 1);
        const bool image_changed = image != state()->current_image || mirrored != state()->current_mirrored;
        const bool position_changed = x != state()->x || y != state()->y;
        SCOPED_TRACE("tick " + std::to_string(tick));
        if (!image_changed && !position_changed) {
            ++still;
            ASSERT_TRUE(fake.calls.empty()) << fake_log();
            continue;
        }
        const std::vector<std::string> outline_calls = fake_calls_starting("set_window_outline");
        if (mode != MODE_STANDARD && image_changed) {
            ASSERT_EQ(outline_calls.size(), 1u) << fake_log();
            ASSERT_EQ(fake.calls.front(), outline_calls[0]);  // before the window moves
        } else {
            ASSERT_TRUE(outline_calls.empty());
            ASSERT_EQ(window->has_outline, had_outline);
            ASSERT_EQ(window->outline.rects.size(), rects);
        }
        if (position_changed) {
            ++moved;
            ASSERT_TRUE(in_order(fake.calls, {"invalidate(pet)", "move_window(pet," + std::to_string(state()->x) + "," +
                                                                     std::to_string(state()->y) + ")"}));
            ASSERT_EQ(fake_count("capture_screen"), mode == MODE_STANDARD ? 1 : 0);
            fake_paint_pending();
        } else {
            ++image_only;
            ASSERT_EQ(fake_count("move_window"), 0);
            ASSERT_TRUE(in_order(fake.calls, {"invalidate(pet)", "update_window(pet)", "present(pet,42,42,0,0)"}));
        }
        ASSERT_EQ(window->x, state()->x);
        ASSERT_EQ(window->y, state()->y);
        // What the window shows is the current image, over the true screen
        // in the standard mode however the moves overlapped.
        std::vector<bool> in_outline(CELL_PIXELS, false);
        for (const OutlineRect& r : window->outline.rects)
            for (int32_t py = r.top; py < r.bottom; ++py)
                for (int32_t px = r.left; px < r.right; ++px)
                    in_outline[static_cast<size_t>(py) * SPRITE_SIZE + px] = true;
        for (int32_t py = 0; py < SPRITE_SIZE; ++py) {
            for (int32_t px = 0; px < SPRITE_SIZE; ++px) {
                const int32_t sx = state()->current_mirrored ? SPRITE_SIZE - 1 - px : px;
                const bool inside = fake_art_inside(sx, py);
                const uint32_t shown = window->pixels[static_cast<size_t>(py) * SPRITE_SIZE + px];
                if (inside) {
                    ASSERT_EQ(shown, fake_art_pixel(state()->current_image, sx, py)) << px << "," << py;
                } else if (mode == MODE_STANDARD) {
                    ASSERT_EQ(shown, fake.desktop_pixel(state()->x + px, state()->y + py)) << px << "," << py;
                }
                if (mode != MODE_STANDARD && window->has_outline) {
                    ASSERT_EQ(in_outline[static_cast<size_t>(py) * SPRITE_SIZE + px], inside) << px << "," << py;
                }
            }
        }
    }
    // The run met every kind of tick.
    EXPECT_GT(moved, 0);
    EXPECT_GT(image_only, 0);
    EXPECT_GT(still, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, TickRun, testing::Values(MODE_STANDARD, MODE_PRECOMPUTED, MODE_LIVE, 3),
                         [](const testing::TestParamInfo<int>& info) { return "mode" + std::to_string(info.param); });

}  // namespace
