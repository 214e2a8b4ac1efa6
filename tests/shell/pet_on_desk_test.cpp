// A living pet on a desk of several monitors: out of the way of fullscreen
// programs on its own monitor only, and kept on monitors that remain.
#include "shell_harness.h"

#include <tuple>

#include "graphics/zoom.h"

namespace {

struct PetOnDesk : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        // A tall primary and a shorter monitor on its right: a dead zone below it.
        fake.monitors = {{0, 0, 1920, 1080, 0, 0, 1920, 1080, 96}, {1920, 0, 1280, 720, 1920, 0, 1280, 720, 96}};
    }
    void tick() { fake_send(pet(), MSG_TIMER, 1); }
    void fullscreen_on(const Monitor& m)
    {
        fake.fullscreen_x = m.x;
        fake.fullscreen_y = m.y;
        fake.fullscreen_width = m.width;
        fake.fullscreen_height = m.height;
    }
};

TEST_F(PetOnDesk, AFullscreenProgramOnItsMonitorSendsThePetAwayAndBack)
{
    ASSERT_EQ(start(), 0);
    ASSERT_TRUE(pet()->visible);
    ASSERT_LT(state()->x, 1920);  // it starts on the primary
    // On the other monitor: the pet lives on.
    fullscreen_on(fake.monitors[1]);
    const int32_t x = state()->x;
    const int32_t y = state()->y;
    for (int k = 0; k < 30; ++k)
        tick();
    EXPECT_TRUE(pet()->visible);
    EXPECT_TRUE(state()->x != x || state()->y != y);
    // On its own: hidden at the next tick, and it waits where it was.
    fullscreen_on(fake.monitors[0]);
    tick();
    EXPECT_FALSE(pet()->visible);
    const int32_t away_x = state()->x;
    const int32_t away_y = state()->y;
    const int32_t away_image = state()->current_image;
    for (int k = 0; k < 30; ++k)
        tick();
    EXPECT_EQ(state()->x, away_x);
    EXPECT_EQ(state()->y, away_y);
    EXPECT_EQ(state()->current_image, away_image);
    // The program leaves: back where it was, without taking the focus.
    fake.fullscreen_width = 0;
    fake_clear_calls();
    tick();
    EXPECT_TRUE(pet()->visible);
    EXPECT_EQ(fake_calls_starting("show_window").size(), 1u);
    EXPECT_EQ(fake_calls_starting("show_window")[0], "show_window(pet,4)");
}

TEST_F(PetOnDesk, TheKeyKeepsThePetAboveFullscreenPrograms)
{
    fake.ini_files[ini_path()] = "[Setup]\nHide For Fullscreen=0\n";
    run();
    fullscreen_on(fake.monitors[0]);
    for (int k = 0; k < 5; ++k)
        tick();
    EXPECT_TRUE(pet()->visible);
}

TEST_F(PetOnDesk, TheMenuEntryShowsTheKeyAndSwitchesItForGood)
{
    // As the file has it: checked, and what choosing it writes.
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"", 1, "0"},
        {"Hide For Fullscreen=1\n", 1, "0"},
        {"Hide For Fullscreen=0\n", 0, "1"},
        {"Hide For Fullscreen=7\n", 0, "1"},  // anything but 1 is off
    };
    for (const auto& [line, checked, written] : cases) {
        reset_program();
        fake_use_synthetic_art();
        fake.ini_files[ini_path()] = "[Setup]\n" + line;
        run();
        fake.popup_command = 0;
        fake_send(pet(), MSG_RBUTTONDOWN, 0, fake_point(5, 5));
        const auto* item = fake_menu_item(CMD_HIDE_FOR_FULLSCREEN);
        ASSERT_NE(item, nullptr) << line;
        EXPECT_EQ(item->caption, "全屏时隐藏(&F)");
        EXPECT_EQ(item->checked, checked) << line;
        fake_send(pet(), MSG_COMMAND, CMD_HIDE_FOR_FULLSCREEN);
        EXPECT_NE(fake.ini_files[ini_path()].find("Hide For Fullscreen=" + written + "\n"), std::string::npos)
            << line << fake.ini_files[ini_path()];
        EXPECT_EQ(program.desk_settings.hide_for_fullscreen, checked ? 0 : 1) << line;
    }
}

TEST_F(PetOnDesk, SwitchedOffFromTheMenuAPetAwayComesBackAndAFailedSaveIsShown)
{
    ASSERT_EQ(start(), 0);
    fullscreen_on(fake.monitors[0]);
    tick();
    ASSERT_FALSE(pet()->visible);
    fake.unwritable_ini_files.insert(ini_path());
    fake_send(pet(), MSG_COMMAND, CMD_HIDE_FOR_FULLSCREEN);
    EXPECT_EQ(fake_count("message_box(pet,\"Fail to save the settings to " + ini_path()), 1);
    tick();
    EXPECT_TRUE(pet()->visible);
    // Checked again: away again, with the program still in front.
    fake.unwritable_ini_files.clear();
    fake_send(pet(), MSG_COMMAND, CMD_HIDE_FOR_FULLSCREEN);
    tick();
    EXPECT_FALSE(pet()->visible);
}

TEST_F(PetOnDesk, ThePetStaysOnAMonitorThatRemains)
{
    ASSERT_EQ(start(), 0);
    // Put on the right monitor (as a drop there does), which then goes.
    state()->x = 2500;
    state()->y = 300;
    fake.monitors.pop_back();
    fake_send(pet(), MSG_DISPLAYCHANGE, 32, (1080 << 16) | 1920);
    EXPECT_EQ(state()->x, 1920 - SPRITE_SIZE);
    EXPECT_EQ(state()->y, 300);
    EXPECT_EQ(pet()->x, 1920 - SPRITE_SIZE);
    // The Monitor key: the pet starts, and stays, on the monitor it names.
    reset_program();
    fake.monitors = {{0, 0, 1920, 1080, 0, 0, 1920, 1080, 96}, {-1280, 0, 1280, 720, -1280, 0, 1280, 720, 96}};
    fake.ini_files[ini_path()] = "[Setup]\nMonitor=2\n";
    run();
    for (int k = 0; k < 200; ++k) {
        tick();
        ASSERT_LE(state()->x + SPRITE_SIZE, 0);
        ASSERT_GE(state()->x, -1280);
    }
}

}  // namespace
