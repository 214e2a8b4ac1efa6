#include "shell_harness.h"

#include "graphics/sprites.h"

namespace {

constexpr uint32_t GROUND = 0x123456;        // the dialog's pixels before a paint
constexpr uint32_t SCENE_COLOUR = 0x203040;  // the synthetic scene background
constexpr uint32_t TILE_COLOUR = 0xE0E0E0;
constexpr int32_t TILE_WIDTH = 6;

struct AboutDialog : ShellTest {
    Window* dialog = nullptr;
    DialogAnimation saved_first{};
    int32_t saved_count = 0;
    std::vector<ImageRef> routine;

    void SetUp() override
    {
        ShellTest::SetUp();
        ASSERT_EQ(start(), 0);
        program.dialogs.scroll_offset = 0;
        program.dialogs.about_unpainted = 0;
        saved_first = state()->dialog_animations[0];
        saved_count = state()->dialog_animation_count;
    }
    void TearDown() override
    {
        if (state()) {
            state()->dialog_animations[0] = saved_first;
            state()->dialog_animation_count = saved_count;
        }
        ShellTest::TearDown();
    }
    // The only routine the next opening can pick.
    void use_routine(std::vector<ImageRef> images)
    {
        routine = std::move(images);
        state()->dialog_animations[0] = DialogAnimation{int32_t(routine.size()), routine.data()};
        state()->dialog_animation_count = 1;
    }
    void open()
    {
        fake_send(pet(), MSG_COMMAND, CMD_ABOUT);
        dialog = fake_window("about");
    }
    void paint()
    {
        std::fill(dialog->pixels.begin(), dialog->pixels.end(), GROUND);
        fake_send(dialog, MSG_PAINT);
    }
    uint32_t pixel(int32_t x, int32_t y) const { return dialog->pixels[size_t(y) * dialog->width + x]; }
    // Scene pixel (x, y) of the last paint, the scene standing at (277, 119) in a 364 x 310 client.
    uint32_t scene(int32_t x, int32_t y) const { return pixel(277 + x, 119 + y); }
    std::set<void*> live_blocks() const
    {
        std::set<void*> blocks;
        for (const auto& [block, size] : fake.live_blocks)
            blocks.insert(block);
        return blocks;
    }
};

// The About set-up's allocations, in order, and the message a failure of each gives.
const std::vector<std::string> ALLOCATION_FAILURES = {
    "Out of memory",                                // the open-dialog node, through alloc_or_report
    "Fail to load bitmap image",                    // title pixels
    "Insufficient memory to create bitmap image",   // title mask
    "Fail to load bitmap image",                    // scene background
    "Fail to load bitmap image",                    // tile
    "Insufficient memory to create bitmap image",   // cell mask
    "Insufficient memory to create bitmap image",   // cell
    "Insufficient memory to create bitmap image",   // scene
    "Insufficient memory to create memory device",  // the seven surfaces
    "Insufficient memory to create memory device",
    "Insufficient memory to create memory device",
    "Insufficient memory to create memory device",
    "Insufficient memory to create memory device",
    "Insufficient memory to create memory device",
    "Insufficient memory to create memory device",
};

}  // namespace

TEST_F(AboutDialog, SetUpInOrder)
{
    fake_clear_calls();
    open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->owner, pet());
    EXPECT_TRUE(in_order(fake.calls, {"create_dialog(104,pet)", "acquire_window_context(about)", "load_bitmap(110)",
                                      "load_bitmap(111)", "load_bitmap(112)", "client_size(about)",
                                      "set_timer(about,1,225)", "release_window_context(about)"}));
    EXPECT_EQ(fake_count("heap_alloc"), int(ALLOCATION_FAILURES.size()));
    EXPECT_EQ(fake_count("message_box"), 0);
    EXPECT_EQ(fake.contexts_held, 0);
    EXPECT_EQ(program.dialogs.about_open, 1);
    EXPECT_EQ(program.dialogs.about_unpainted, 1);
    EXPECT_EQ(state()->about_frame, 0);
    ASSERT_NE(program.dialogs.open_dialogs, nullptr);
    EXPECT_EQ(program.dialogs.open_dialogs->window, dialog);
}

TEST_F(AboutDialog, EverySetUpFailureIsReportedAndReleasesEverything)
{
    struct Case {
        std::string what;
        std::function<void()> arrange;
        std::string message;
    };
    std::vector<Case> cases = {
        {"context", [] { fake.acquire_context_fails = true; }, "Fail to identify the dialog window"},
        {"image 110", [] { fake.bitmaps.erase(RES_TITLE); }, "Fail to load bitmap image"},
        {"image 111", [] { fake.bitmaps.erase(RES_SCENE); }, "Fail to load bitmap image"},
        {"image 112", [] { fake.bitmaps.erase(RES_TILE); }, "Fail to load bitmap image"},
        {"timer", [] { fake.timer_fails = true; }, "Too many clocks or timers! Fail to set timer"},
    };
    for (size_t n = 0; n < ALLOCATION_FAILURES.size(); ++n)
        cases.push_back({"allocation " + std::to_string(n + 1), [n] { fake.fail_heap_alloc_at = long(n) + 1; },
                         ALLOCATION_FAILURES[n]});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        std::set<void*> before = live_blocks();
        fake.heap_allocations = 0;
        c.arrange();
        fake_clear_calls();
        open();
        bool out_of_memory = c.message == "Out of memory";
        EXPECT_EQ(fake_calls_starting("message_box"),
                  std::vector<std::string>{"message_box(pet,\"" + c.message + "\"," +
                                           (out_of_memory ? "0x0010" : "0x0030") + ")"});
        EXPECT_EQ(program.fatal_error, out_of_memory ? 0 : 1);
        EXPECT_FALSE(dialog->alive);
        EXPECT_FALSE(pet()->alive);
        EXPECT_EQ(fake.contexts_held, 0);
        EXPECT_EQ(program.dialogs.about_open, 0);
        EXPECT_EQ(program.dialogs.open_dialogs, nullptr);
        for (void* block : live_blocks())
            EXPECT_TRUE(before.count(block)) << "a block of the set-up was not released";
        EXPECT_EQ(fake_count("set_timer(about"), c.what == "timer" ? 1 : 0);
    }
}

TEST_F(AboutDialog, PaintLaysTitleTilesAndPetOverTheScene)
{
    use_routine({5, -7});
    open();
    fake_clear_calls();
    paint();
    EXPECT_EQ(program.dialogs.about_unpainted, 0);
    EXPECT_EQ(fake_calls_starting("present"),
              (std::vector<std::string>{"present_keyed(about,270,40,47,16,0x0000)", "present(about,114,65,277,119)"}));
    // The title's black ground leaves the dialog as it was.
    EXPECT_EQ(pixel(47 + 10, 16 + 20), 0xC04020u);
    EXPECT_EQ(pixel(47 + 10, 16 + 19), GROUND);
    // Image 5 unmirrored at (14, 11): its blob, and the scene where the cell is yellow.
    EXPECT_EQ(scene(14 + 3, 11 + 10), fake_art_pixel(4, 3, 10));
    EXPECT_EQ(scene(14 + 40, 11 + 10), SCENE_COLOUR);
    EXPECT_EQ(scene(14 + 21, 11 + 21), SCENE_COLOUR) << "the blob's hole";
    // Tiles at offset 0: rows 0-4, 10-14, ... of both columns.
    for (int32_t x : {2, 2 + TILE_WIDTH - 1, 61}) {
        EXPECT_EQ(scene(x, 0), TILE_COLOUR);
        EXPECT_EQ(scene(x, 4), TILE_COLOUR);
        EXPECT_EQ(scene(x, 5), SCENE_COLOUR);
        EXPECT_EQ(scene(x, 59), SCENE_COLOUR);
        EXPECT_EQ(scene(x, 64), TILE_COLOUR) << "the last tile just fits";
    }
    EXPECT_EQ(scene(1, 0), SCENE_COLOUR);

    // The next frame, -7: image 7 mirrored.
    fake_send(dialog, MSG_TIMER, 1);
    paint();
    EXPECT_EQ(scene(14 + 41 - 3, 11 + 10), fake_art_pixel(6, 3, 10));
    EXPECT_EQ(scene(14 + 0, 11 + 10), SCENE_COLOUR);
    // Offset 8: a tile's lower three rows at the top, then from row 8.
    EXPECT_EQ(scene(2, 2), TILE_COLOUR);
    EXPECT_EQ(scene(2, 3), SCENE_COLOUR);
    EXPECT_EQ(scene(2, 8), TILE_COLOUR);
}

TEST_F(AboutDialog, SmallClientAreaLayout)
{
    fake.dialog_client_sizes[RES_ABOUT_DIALOG] = {220, 150};
    open();
    fake_clear_calls();
    fake_send(dialog, MSG_PAINT);
    EXPECT_EQ(fake_calls_starting("present"),
              (std::vector<std::string>{"present_keyed(about,270,40,0,8,0x0000)", "present(about,114,65,168,58)"}));
}

TEST_F(AboutDialog, TickAdvancesOnlyAfterTheFirstPaintAndRepaintsThreeRectangles)
{
    use_routine({1, 2});
    open();
    fake_clear_calls();
    fake_send(dialog, MSG_TIMER, 1);
    EXPECT_EQ(state()->about_frame, 0) << "no paint had begun";
    EXPECT_EQ(program.dialogs.scroll_offset, 8);
    EXPECT_EQ(fake.calls,
              (std::vector<std::string>{"invalidate_rect(about,291,130,42,42)", "invalidate_rect(about,279,119,6,65)",
                                        "invalidate_rect(about,338,119,6,65)", "update_window(about)",
                                        "begin_paint(about)", "present_keyed(about,270,40,47,16,0x0000)",
                                        "present(about,114,65,277,119)", "end_paint(about)"}));
    std::vector<int32_t> frames, offsets;
    for (int i = 0; i < 6; ++i) {
        fake_send(dialog, MSG_TIMER, 1);
        frames.push_back(state()->about_frame);
        offsets.push_back(program.dialogs.scroll_offset);
    }
    EXPECT_EQ(frames, (std::vector<int32_t>{1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(offsets, (std::vector<int32_t>{6, 4, 2, 0, 8, 6}));
}

TEST_F(AboutDialog, TheStripGoesOnWhereTheLastOpeningStopped)
{
    open();
    for (int i = 0; i < 3; ++i)
        fake_send(dialog, MSG_TIMER, 1);
    ASSERT_EQ(program.dialogs.scroll_offset, 4);
    EXPECT_EQ(fake_send(dialog, MSG_COMMAND, 2), 1);
    open();
    fake_send(dialog, MSG_TIMER, 1);
    EXPECT_EQ(program.dialogs.scroll_offset, 2);
}

TEST_F(AboutDialog, ChosenTwiceChangesNothing)
{
    use_routine({1, 2, 3});
    open();
    fake_send(dialog, MSG_TIMER, 1);
    fake_send(dialog, MSG_TIMER, 1);
    int32_t frame = state()->about_frame;
    fake_clear_calls();
    open();
    EXPECT_EQ(fake.calls, std::vector<std::string>{});
    EXPECT_EQ(fake_window("about"), dialog);
    EXPECT_EQ(state()->about_frame, frame);
}

TEST_F(AboutDialog, CloseReleasesEverything)
{
    std::set<void*> before = live_blocks();
    open();
    EXPECT_EQ(fake_send(dialog, MSG_COMMAND, 40000), 0);
    EXPECT_TRUE(dialog->alive);
    fake_clear_calls();
    EXPECT_EQ(fake_send(dialog, MSG_COMMAND, 1), 1);
    EXPECT_FALSE(dialog->alive);
    EXPECT_TRUE(in_order(fake.calls, {"destroy_window(about)", "kill_timer(about,1)"}));
    EXPECT_EQ(fake_count("heap_free()"), 15);
    EXPECT_EQ(live_blocks(), before);
    EXPECT_EQ(program.dialogs.about_open, 0);
    EXPECT_EQ(program.dialogs.open_dialogs, nullptr);
    EXPECT_TRUE(pet()->alive);
}

TEST_F(AboutDialog, AFailedPaintEndsTheProgram)
{
    open();
    fake.begin_paint_fails = true;
    fake_clear_calls();
    fake_send(dialog, MSG_PAINT);
    EXPECT_EQ(fake_calls_starting("message_box"),
              std::vector<std::string>{"message_box(pet,\"Fail to identify the dialog window for painting\",0x0030)"});
    EXPECT_EQ(program.dialogs.about_unpainted, 0);
    EXPECT_FALSE(dialog->alive);
    EXPECT_FALSE(pet()->alive);
}

TEST_F(AboutDialog, AfterAnErrorTheSceneStandsStill)
{
    open();
    Window* about = dialog;
    // Ticks and paints keep coming while the error's box is up.
    fake.during_message_box = [this, about](Window*, const std::string&, unsigned) {
        int32_t offset = program.dialogs.scroll_offset;
        fake_clear_calls();
        fake_send(about, MSG_TIMER, 1);
        fake_send(about, MSG_PAINT);
        EXPECT_EQ(fake.calls, std::vector<std::string>{});
        EXPECT_EQ(program.dialogs.scroll_offset, offset);
        EXPECT_EQ(program.dialogs.about_unpainted, 1);
    };
    report_error(program, pet(), "Something broke");
    EXPECT_FALSE(dialog->alive);
}
