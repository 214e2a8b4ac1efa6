// What every platform promises the shell (platform/platform.h), written once
// and linked with each platform and its driver (tests/platform/*_driver.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "graphics/outline.h"
#include "tests/platform/contract.h"

namespace {

struct Delivered {
    Window* window;
    unsigned message;
    uintptr_t wparam;
    void* user;  // what platform_window_user said while the message was delivered
};
std::vector<Delivered> delivered;

int count(unsigned message, Window* window)
{
    int n = 0;
    for (const Delivered& d : delivered)
        n += d.message == message && d.window == window;
    return n;
}

// A timer invalidates the window, so that paints follow; paints are painted.
intptr_t pet_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    delivered.push_back({window, message, wparam, platform_window_user(window)});
    if (message == MSG_TIMER)
        platform_invalidate(window);
    if (message == MSG_PAINT && platform_begin_paint(window)) {
        platform_end_paint(window);
        return 0;
    }
    return platform_default_window_proc(window, message, wparam, lparam);
}

intptr_t dialog_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t)
{
    delivered.push_back({window, message, wparam, platform_window_user(window)});
    return 0;
}

class Contract : public testing::Test {
protected:
    void SetUp() override
    {
        delivered.clear();
        platform_register_pet_class(pet_proc);
        pet = platform_create_pet_window(42, &pet_owner);
        ASSERT_NE(pet, nullptr);
    }
    void TearDown() override
    {
        if (pet)
            platform_destroy_window(pet);
        contract_run_until([] { return false; }, 0);
    }
    Window* pet = nullptr;
    int pet_owner = 0, dialog_owner = 0;  // what the windows belong to
};

TEST_F(Contract, CreationAndDestructionAreDeliveredBeforeTheCallsReturnOwnedDialogsFirst)
{
    EXPECT_EQ(count(MSG_CREATE, pet), 1);
    Window* dialog = platform_create_dialog(RES_OPTIONS_DIALOG, pet, dialog_proc, &dialog_owner);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(count(MSG_INITDIALOG, dialog), 1);
    // Each window finds what it belongs to from its first message to its last.
    EXPECT_EQ(platform_window_user(pet), &pet_owner);
    EXPECT_EQ(platform_window_user(dialog), &dialog_owner);
    for (const Delivered& d : delivered)
        EXPECT_EQ(d.user, d.window == pet ? static_cast<void*>(&pet_owner) : &dialog_owner) << d.message;

    delivered.clear();
    platform_destroy_window(pet);
    std::vector<Window*> destroyed;
    for (const Delivered& d : delivered)
        if (d.message == MSG_DESTROY)
            destroyed.push_back(d.window);
    EXPECT_EQ(destroyed, (std::vector<Window*>{dialog, pet}));
    pet = nullptr;
}

TEST_F(Contract, ModalLoopsKeepDeliveringTimersAndPaints)
{
    platform_place_hidden(pet, 100, 100);
    platform_show_window(pet, 1);
    Menu* menu = platform_load_pet_menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(platform_set_timer(pet, 5, 20));
    for (const bool box : {true, false}) {
        delivered.clear();
        auto enough = [this] { return count(MSG_TIMER, pet) >= 3 && count(MSG_PAINT, pet) >= 1; };
        contract_close_modal_when(enough);
        if (box)
            platform_message_box(pet, "Dorrabee", BOX_WARNING);
        else
            platform_track_popup_menu(menu, 110, 110, pet);
        EXPECT_TRUE(enough()) << (box ? "message box: " : "menu: ") << count(MSG_TIMER, pet) << " ticks, "
                              << count(MSG_PAINT, pet) << " paints";
    }
    platform_kill_timer(pet, 5);
}

TEST_F(Contract, TimersCarryTheirIdAndOutOfRangeIntervalsAreClampedNotRefused)
{
    ASSERT_TRUE(platform_set_timer(pet, 3, 0));  // "Timer=0" in the settings file
    contract_run_until([] { return false; }, 100);
    const int ticks = count(MSG_TIMER, pet);
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 15) << "a 0 ms timer waits 10 ms, it does not spin";
    for (const Delivered& d : delivered)
        EXPECT_TRUE(d.message != MSG_TIMER || d.wparam == 3u) << d.wparam;
    platform_kill_timer(pet, 3);

    ASSERT_TRUE(platform_set_timer(pet, 4, static_cast<unsigned>(-1)));  // a negative setting waits
    delivered.clear();
    contract_run_until([] { return false; }, 60);
    EXPECT_EQ(count(MSG_TIMER, pet), 0) << "neither the killed timer nor the longest one ticked";
    platform_kill_timer(pet, 4);
}

TEST_F(Contract, WindowsStandWhereTheyArePutAtTheSizeAsked)
{
    platform_place_hidden(pet, 200, 150);
    int32_t x = 3, y = 4;
    platform_client_to_screen(pet, &x, &y);
    EXPECT_EQ(x, 203);
    EXPECT_EQ(y, 154);
    platform_show_window(pet, 1);
    platform_move_window(pet, 250, 90);
    // (Where the window system moves windows itself, once it has.)
    contract_run_until(
        [&] {
            x = y = 0;
            platform_client_to_screen(pet, &x, &y);
            return x == 250 && y == 90;
        },
        1000);
    EXPECT_EQ(x, 250);
    EXPECT_EQ(y, 90);
    for (const int32_t side : {42, 84}) {
        Window* window = side == 42 ? pet : platform_create_pet_window(side, nullptr);
        platform_place_hidden(window, 10, 10);
        int32_t width = 0, height = 0;
        platform_client_size(window, &width, &height);
        EXPECT_EQ(width, side);
        EXPECT_EQ(height, side);
        if (window != pet)
            platform_destroy_window(window);
    }
    // A change of zoom: the new size, the corner where it was.
    int32_t corner_x = 0, corner_y = 0;
    platform_client_to_screen(pet, &corner_x, &corner_y);
    platform_resize_window(pet, 126);
    contract_run_until(
        [&] {
            int32_t width = 0, height = 0;
            platform_client_size(pet, &width, &height);
            return width == 126 && height == 126;
        },
        1000);
    int32_t width = 0, height = 0;
    platform_client_size(pet, &width, &height);
    EXPECT_EQ(width, 126);
    EXPECT_EQ(height, 126);
    x = y = 0;
    platform_client_to_screen(pet, &x, &y);
    EXPECT_EQ(x, corner_x);
    EXPECT_EQ(y, corner_y);
}

TEST_F(Contract, TheProgramsOwnWindowsAreNoFullscreenProgram)
{
    Monitor monitors[MAX_MONITORS] = {};
    const int count = std::min(platform_monitors(monitors, MAX_MONITORS), MAX_MONITORS);
    for (int i = 0; i < count; ++i)
        EXPECT_FALSE(platform_fullscreen_in_front(monitors[i])) << "monitor " << i << " before any window of ours";
    // One of ours over the whole primary, shown and in front: still none.
    const Monitor& primary = monitors[0];
    Window* cover = platform_create_pet_window(std::max(primary.width, primary.height), nullptr);
    platform_place_hidden(cover, primary.x, primary.y);
    platform_show_window(cover, SHOW_NOACTIVATE);
    contract_run_until([] { return false; }, 100);
    EXPECT_FALSE(platform_fullscreen_in_front(primary));
    platform_show_window(cover, SHOW_HIDE);
    platform_destroy_window(cover);
}

TEST_F(Contract, TheOutlineDecidesWhereTheWindowShowsKeptOrNot)
{
    Outline strips, empty;
    strips.rects = {{0, 10, 1, 42}, {1, 5, 2, 8}, {1, 20, 2, 23}, {2, 5, 3, 8}, {41, 0, 42, 1}, {20, 30, 21, 41}};
    auto expect_shape = [this](const Outline* outline, const char* what) {
        platform_set_window_outline(pet, outline);
        for (int32_t y = 0; y < 42; ++y)
            for (int32_t x = 0; x < 42; ++x) {
                bool inside = !outline;
                for (const OutlineRect& r : outline ? outline->rects : std::vector<OutlineRect>{})
                    inside |= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                ASSERT_EQ(contract_window_shows(pet, x, y), inside) << what << " at " << x << "," << y;
            }
    };
    expect_shape(&strips, "strips");
    expect_shape(&empty, "an empty outline");
    expect_shape(nullptr, "no outline");

    Outline* plain[] = {&strips, &empty};
    Outline* mirrored[] = {&empty, nullptr};
    platform_keep_window_outlines(pet, plain, mirrored, 2);
    expect_shape(&strips, "kept strips");
    expect_shape(&empty, "a kept empty outline");
    platform_keep_window_outlines(pet, nullptr, nullptr, 0);
    expect_shape(&strips, "strips no longer kept");
}

TEST_F(Contract, ThePetsSubMenuStandsAfterItsItemAndIsReplacedNotRepeated)
{
    Menu* menu = platform_load_pet_menu();
    ASSERT_NE(menu, nullptr);
    const char* three[] = {"Grey", "Tabby", "黑猫"};
    platform_set_pet_submenu(menu, CMD_CONTINUE, "Pet", three, 3, CMD_PET_FIRST, 1);
    const std::string after = std::to_string(CMD_CONTINUE) + "|Pet:";
    EXPECT_NE(contract_menu(menu).find(after + "Grey,*Tabby,黑猫|"), std::string::npos) << contract_menu(menu);
    const char* one[] = {"Tabby"};
    platform_set_pet_submenu(menu, CMD_CONTINUE, "Pet", one, 1, CMD_PET_FIRST, 0);
    const std::string shown = contract_menu(menu);
    EXPECT_NE(shown.find(after + "*Tabby|"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Pet:"), shown.rfind("Pet:")) << shown;
}

TEST(ContractSettings, SavedKeysReadBackAndMissingOnesAreEmptyOrTheDefault)
{
    const std::string path = (std::filesystem::temp_directory_path() / "dorrabee-contract.ini").string();
    std::filesystem::remove(path);
    char text[64] = "stale";
    EXPECT_EQ(platform_ini_read_string(path.c_str(), "Setup", "Pet", text, sizeof text), 0u);  // no file
    EXPECT_STREQ(text, "");

    const char* keys[] = {"Timer", "Pet", "Zoom"};
    const char* values[] = {"75", "Grey Tabby", "2"};
    ASSERT_EQ(platform_ini_write_strings(path.c_str(), "Setup", keys, values, 3), SAVE_DONE);
    const char* again[] = {"Pet"};
    const char* black[] = {"黑猫"};
    ASSERT_EQ(platform_ini_write_strings(path.c_str(), "Setup", again, black, 1), SAVE_DONE);
    values[1] = black[0];
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(platform_ini_read_string(path.c_str(), "Setup", keys[i], text, sizeof text), strlen(values[i]));
        EXPECT_STREQ(text, values[i]);
    }
    EXPECT_EQ(platform_ini_read_int(path.c_str(), "Setup", "Timer", 150), 75);
    EXPECT_EQ(platform_ini_read_int(path.c_str(), "Setup", "Left Margin", -3), -3);              // no key
    EXPECT_EQ(platform_ini_read_string(path.c_str(), "Other", "Timer", text, sizeof text), 0u);  // no section
    std::filesystem::remove(path);
}

TEST(ContractProcess, TheDeskIsMeasuredAndZoomGrowsDialogPictures)
{
    Monitor monitors[MAX_MONITORS] = {};
    const int count = platform_monitors(monitors, MAX_MONITORS);
    ASSERT_GE(count, 1);
    for (int i = 0; i < std::min(count, MAX_MONITORS); ++i) {
        const Monitor& m = monitors[i];
        EXPECT_GT(m.width, 0);
        EXPECT_GT(m.height, 0);
        EXPECT_GE(m.dpi, 96) << "96 is 100 %";
        // The work area lies within the monitor.
        EXPECT_GE(m.work_x, m.x);
        EXPECT_GE(m.work_y, m.y);
        EXPECT_GT(m.work_width, 0);
        EXPECT_GT(m.work_height, 0);
        EXPECT_LE(m.work_x + m.work_width, m.x + m.width);
        EXPECT_LE(m.work_y + m.work_height, m.y + m.height);
    }
    Monitor first = {};
    EXPECT_EQ(platform_monitors(&first, 1), count) << "the count does not depend on the room given";
    EXPECT_EQ(first.width, monitors[0].width) << "the primary comes first";

    int32_t shown[2] = {};
    for (const int32_t z : {1, 2}) {
        platform_set_zoom(z);
        Window* about = platform_create_dialog(RES_ABOUT_DIALOG, nullptr, dialog_proc, nullptr);
        ASSERT_NE(about, nullptr);
        shown[z - 1] = contract_picture_width(about);
        platform_destroy_window(about);
    }
    platform_set_zoom(1);
    if (shown[0] == 0)
        GTEST_SKIP() << "no pictures drawn here";
    EXPECT_EQ(shown[1], 2 * shown[0]);
}

// Starting another copy of the program (platform_restart_program) would
// start this test again: the end-to-end suites check it.

}  // namespace
