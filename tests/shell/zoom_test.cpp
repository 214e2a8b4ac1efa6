// The pet at a zoom: the engine in pet pixels, the windows in screen pixels.
#include "shell_harness.h"

#include <cstdlib>

#include "graphics/sprites.h"
#include "shell/desk.h"

namespace {

struct Zoomed : ShellTest {
    // Starts at 192 DPI (zoom 2) on a screen not divisible by it.
    void start_zoomed(const std::string& setup)
    {
        fake.screen_width = 1025;
        fake.screen_height = 769;
        fake.screen_dpi = 192;
        fake.ini_files[ini_path()] = "[Setup]\n" + setup;
        ASSERT_EQ(run(5), 0);
    }
    // What pixel (x, y) of the 84 x 84 window must show: the cell's pixel
    // (x / 2, y / 2), or `outside` where the cell is the key colour.
    uint32_t cell_scaled(int32_t x, int32_t y, uint32_t outside)
    {
        const int32_t sx = state()->current_mirrored ? SPRITE_SIZE - 1 - x / 2 : x / 2;
        return fake_art_inside(sx, y / 2) ? fake_art_pixel(state()->current_image, sx, y / 2) : outside;
    }
};

TEST_F(Zoomed, ThePetLivesInItsPixelsAndShowsInBlocksOfTheScreens)
{
    start_zoomed("Mode=1\nLeft Margin=5\nRight Margin=3\nTop Margin=4\n");
    EXPECT_TRUE(in_order(fake.calls, {"monitors()", "set_zoom(2)", "create_pet_window(84)"}));
    EXPECT_EQ(the_pet().room.width, 512);
    EXPECT_EQ(the_pet().room.height, 384);
    EXPECT_EQ(the_pet().room.left_margin, 3);  // rounded up: at least 5 screen pixels
    EXPECT_EQ(the_pet().room.right_margin, 2);
    EXPECT_EQ(the_pet().room.top_margin, 2);
    EXPECT_EQ(program.pending_settings.left_margin, 5);  // the Options dialog shows what the file says
    EXPECT_EQ(pet()->x, state()->x * 2);
    EXPECT_EQ(pet()->y, state()->y * 2);
    ASSERT_EQ(pet()->width, 84);
    std::vector<bool> shown(84 * 84, false);
    for (const OutlineRect& r : pet()->outline.rects)
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = r.left; x < r.right; ++x)
                shown[size_t(y * 84 + x)] = true;
    for (int32_t y = 0; y < 84; ++y)
        for (int32_t x = 0; x < 84; ++x) {
            ASSERT_EQ(pet()->pixels[size_t(y * 84 + x)], cell_scaled(x, y, KEY_COLOUR)) << x << "," << y;
            ASSERT_EQ(shown[size_t(y * 84 + x)], cell_scaled(x, y, KEY_COLOUR) != KEY_COLOUR) << x << "," << y;
        }

    // A drag in screen pixels moves the pet by whole pet pixels, and the
    // window lands inside the margins of the real screen.
    const int32_t x0 = state()->x;
    fake_send(pet(), MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(21, 43));
    EXPECT_EQ(state()->grab_x, 10);
    EXPECT_EQ(state()->grab_y, 21);
    fake_send(pet(), MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON, fake_point(31, 43));
    const int32_t x1 = std::min(x0 + 5, 512 - 42 - 2);
    EXPECT_EQ(state()->x, x1);
    fake_send(pet(), MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON, fake_point(-9, -30000));
    EXPECT_EQ(state()->x, std::max(x1 - 5 - 10, 3));  // left of the window: the pet pixel left of it
    fake_send(pet(), MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON, fake_point(30000, 30000));
    EXPECT_EQ(pet()->x, (512 - 42 - 2) * 2);
    EXPECT_LE(pet()->x + 84, 1025 - 3);
    EXPECT_EQ(pet()->y, (384 - 42) * 2);
}

TEST_F(Zoomed, TheStandardModeCapturesAndCompositesTheLargerBlock)
{
    fake.desktop_pixel = [](int32_t x, int32_t y) { return static_cast<uint32_t>(0x100000 + x * 1000 + y); };
    start_zoomed("Mode=0\n");
    const std::string capture =
        "capture_screen(" + std::to_string(state()->x * 2) + "," + std::to_string(state()->y * 2) + ",84,84)";
    EXPECT_TRUE(in_order(fake.calls, {capture, "present(pet,84,84,0,0)"}));
    for (int32_t y = 0; y < 84; ++y)
        for (int32_t x = 0; x < 84; ++x)
            ASSERT_EQ(pet()->pixels[size_t(y * 84 + x)],
                      cell_scaled(x, y, fake.desktop_pixel(pet()->x + x, pet()->y + y)))
                << x << "," << y;
}

TEST_F(Zoomed, TheKeyOverridesTheScreensScaling)
{
    struct Case {
        const char* setup;
        int32_t dpi;
        const char* window;
    };
    for (const Case& c :
         {Case{"Zoom=1\n", 192, "create_pet_window()"}, Case{"Zoom=3\n", 96, "create_pet_window(126)"},
          Case{"Zoom=9\n", 288, "create_pet_window(126)"}, Case{"Zoom=0\n", 120, "create_pet_window()"},
          // A 100 x 100 screen holds the pet at zoom 2 at most, and no margins are wrong.
          Case{"Zoom=4\n", 96, "create_pet_window(84)"}, Case{"Zoom=0\n", 384, "create_pet_window(84)"}}) {
        reset_program();
        fake_use_synthetic_art();
        if (c.window == std::string("create_pet_window(84)"))
            fake.screen_width = fake.screen_height = 100;
        fake.screen_dpi = c.dpi;
        fake.ini_files[ini_path()] = std::string("[Setup]\n") + c.setup;
        ASSERT_EQ(run(5), 0);
        EXPECT_EQ(fake_count(c.window), 1) << c.setup << " at " << c.dpi;
        EXPECT_EQ(fake_count("message_box"), 0) << c.setup << " at " << c.dpi;
    }
}

TEST_F(Zoomed, TheAboutPicturesGrowWithThePet)
{
    start_zoomed("Mode=1\n");
    fake_send(pet(), MSG_COMMAND, CMD_ABOUT);
    Window* about = fake_window("about");
    ASSERT_NE(about, nullptr);
    fake_clear_calls();
    fake_send(about, MSG_PAINT);
    EXPECT_EQ(fake_calls_starting("present"),
              (std::vector<std::string>{"present_keyed(about,540,80,0,16,0x0000)", "present(about,228,130,277,119)"}));
}

}  // namespace

// ---- a zoom per monitor: a 96-DPI monitor beside a 192-DPI one

struct PerMonitor : ShellTest {
    void start_on_two(const std::string& setup)
    {
        fake.monitors = {{0, 0, 1920, 1080, 0, 0, 1920, 1080, 96}, {1920, 0, 1920, 1080, 1920, 0, 1920, 1080, 192}};
        fake.ini_files[ini_path()] = "[Setup]\n" + setup;
        ASSERT_EQ(run(5), 0);
    }
    // Carried by its middle until that is at the screen point, and let go.
    void drop_middle_at(int32_t x, int32_t y)
    {
        const int32_t half = pet()->width / 2;
        fake_send(pet(), MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(int16_t(half), int16_t(half)));
        fake_send(pet(), MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON, fake_point(int16_t(x - pet()->x), int16_t(y - pet()->y)));
        fake_send(pet(), MSG_LBUTTONUP, 0, fake_point(0, 0));
    }
    int32_t middle_x() { return pet()->x + pet()->width / 2; }
    int32_t bottom() { return pet()->y + pet()->height; }
};

TEST_F(PerMonitor, ThePetTakesTheZoomOfTheMonitorUnderItsMiddleUnlessTheKeySetsOne)
{
    struct Case {
        const char* setup;
        int32_t middle_x;
        int32_t zoom;
    };
    const Case cases[] = {
        {"", 2900, 2}, {"", 1921, 2},  // just across: whole pet pixels keep the middle there
        {"", 1919, 1}, {"Zoom=1\n", 2900, 1}, {"Zoom=3\n", 900, 3}, {"Bottom Margin=40\n", 2900, 2},
    };
    for (const Case& c : cases) {
        reset_program();
        fake_use_synthetic_art();
        start_on_two(c.setup);
        drop_middle_at(c.middle_x, 500);
        EXPECT_EQ(the_pet().zoom, c.zoom) << c.setup << c.middle_x;
        EXPECT_EQ(pet()->width, SPRITE_SIZE * c.zoom) << c.setup << c.middle_x;
        EXPECT_EQ(pet()->x, state()->x * c.zoom);
        EXPECT_EQ(pet()->y, state()->y * c.zoom);
        EXPECT_LE(std::abs(middle_x() - c.middle_x), c.zoom) << c.setup << c.middle_x;
        EXPECT_EQ(middle_x() >= 1920, c.middle_x >= 1920) << c.setup << c.middle_x;
        // Margins stay screen pixels: 40 of them are 20 pet pixels at 2.
        EXPECT_EQ(the_pet().room.bottom_margin, c.setup[0] == 'B' ? 20 : 0);
        // And it keeps that zoom while it lives there.
        for (int k = 0; k < 5; ++k)
            fake_send(pet(), MSG_TIMER, 1);
        if ((middle_x() >= 1920) == (c.middle_x >= 1920)) {
            EXPECT_EQ(the_pet().zoom, c.zoom) << c.setup << c.middle_x;
        }
    }
}

TEST_F(PerMonitor, JustAcrossAnEdgeThatIsNoMultipleOfTheZoomTheMiddleStaysAcross)
{
    // At 3 a pet pixel is 3 screen pixels, and 1366 is none of their edges.
    fake.monitors = {{0, 0, 1366, 768, 0, 0, 1366, 768, 96}, {1366, 0, 1920, 1080, 1366, 0, 1920, 1080, 288}};
    ASSERT_EQ(run(5), 0);
    drop_middle_at(1366, 300);
    EXPECT_EQ(the_pet().zoom, 3);
    EXPECT_GE(middle_x(), 1366);
    fake_send(pet(), MSG_TIMER, 1);
    EXPECT_EQ(the_pet().zoom, 3);
}

TEST_F(PerMonitor, OnItsFloorThePetStaysOnItWhenItsMonitorsScalingChanges)
{
    start_on_two("Timer=1000\n");
    ASSERT_EQ(the_pet().zoom, 1);
    state()->y = room_floor(the_pet().room, state()->sprite_height);
    fake.monitors[0].dpi = 192;
    fake_send(pet(), MSG_DPICHANGED, (192 << 16) | 192, 0);
    EXPECT_EQ(the_pet().zoom, 2);
    EXPECT_EQ(pet()->width, 84);
    EXPECT_EQ(bottom(), 1080);
    EXPECT_EQ(state()->y, room_floor(the_pet().room, state()->sprite_height));
}

TEST_F(PerMonitor, TheWindowIsMadeAnewAtTheZoomInEachMode)
{
    // Standard: hidden while the screen behind is read at its new size.
    start_on_two("Mode=0\n");
    fake_clear_calls();
    drop_middle_at(2900, 500);
    EXPECT_TRUE(
        in_order(fake.calls, {"show_window(pet,0)", "resize_window(pet,84)",
                              "capture_screen(" + std::to_string(pet()->x) + "," + std::to_string(pet()->y) + ",84,84)",
                              "show_window(pet,4)", "present(pet,84,84,0,0)"}));
    // Precomputed outlines: made again at the larger size.
    reset_program();
    fake_use_synthetic_art();
    start_on_two("Mode=1\n");
    drop_middle_at(2900, 500);
    int32_t right = 0;
    for (const OutlineRect& r : pet()->outline.rects)
        right = std::max(right, r.right);
    EXPECT_GT(right, 42);
    EXPECT_LE(right, 84);
    EXPECT_EQ(fake_count("present(pet,84,84,0,0)") > 0, true);
}
