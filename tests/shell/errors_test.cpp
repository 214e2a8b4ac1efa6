// The error reporter, the guarded allocation and the list of open dialogs.
#include "shell_harness.h"

namespace {

intptr_t quiet_dialog(Window*, unsigned, uintptr_t, intptr_t)
{
    return 0;
}

struct Errors : ShellTest {
    Window* dialog(int id) { return platform_create_dialog(id, pet_window(), quiet_dialog, nullptr); }
    std::vector<Window*> listed()
    {
        std::vector<Window*> windows;
        for (OpenDialog* node = program.dialogs.open_dialogs; node; node = node->next)
            windows.push_back(node->window);
        return windows;
    }
};

TEST_F(Errors, TheFlagIsSetBeforeTheBoxSoTicksDuringItStandStill)
{
    ASSERT_EQ(start(), 0);
    Window* about = dialog(104);
    fake_clear_calls();
    int flag_during_box = -1;
    fake.during_message_box = [&](Window*, const std::string&, unsigned) {
        flag_during_box = program.fatal_error;
        fake_send(pet_window(), MSG_TIMER, 1);  // the box's own loop keeps ticking
    };
    report_error(program, about, "Fail to identify the dialog window");
    EXPECT_EQ(flag_during_box, 1);
    EXPECT_TRUE(in_order(fake.calls, {"message_box(pet,\"Fail to identify the dialog window\",0x0030)",
                                      "destroy_window(about)", "destroy_window(pet)", "post_quit(0)"}));
    // The tick in the box did nothing: no window work between box and destroy.
    EXPECT_EQ(fake.calls[1], "destroy_window(about)");
    EXPECT_FALSE(about->alive);
    EXPECT_FALSE(pet()->alive);
}

TEST_F(Errors, ReportingThePetWindowItselfDestroysItOnce)
{
    ASSERT_EQ(start(), 0);
    fake_clear_calls();
    report_error(program, pet_window(), "Fail to identify the window for painting");
    EXPECT_EQ(fake_calls_starting("destroy_window"), std::vector<std::string>{"destroy_window(pet)"});
    EXPECT_EQ(fake_count("post_quit"), 1);
}

TEST_F(Errors, WithoutAnyWindowTheBoxHasNoOwnerAndNothingIsDestroyed)
{
    report_error(program, nullptr, "Too many clocks or timers! Fail to set timer");
    EXPECT_EQ(fake_log(), "message_box(none,\"Too many clocks or timers! Fail to set timer\",0x0030)\n");
    EXPECT_EQ(program.fatal_error, 1);
}

TEST_F(Errors, OutOfMemoryIsNotFatalButTakesThePetWindowDown)
{
    ASSERT_EQ(start(), 0);
    fake_clear_calls();
    fake.fail_heap_alloc_at = fake.heap_allocations + 1;
    EXPECT_EQ(alloc_or_report(program, 16), nullptr);
    EXPECT_TRUE(in_order(fake.calls,
                         {"heap_alloc(16)=null", "message_box(pet,\"Out of memory\",0x0010)", "destroy_window(pet)"}));
    EXPECT_EQ(program.fatal_error, 0);
    EXPECT_FALSE(pet()->alive);
}

TEST_F(Errors, OutOfMemoryBeforeAnyWindowOnlyTellsTheUser)
{
    fake.fail_heap_alloc_at = 1;
    EXPECT_EQ(alloc_or_report(program, 16), nullptr);
    EXPECT_EQ(fake_log(), "heap_alloc(16)=null\nmessage_box(none,\"Out of memory\",0x0010)\n");
}

TEST_F(Errors, TheListKeepsTheNewestFirstAndRemovesOnlyWhatItHolds)
{
    ASSERT_EQ(start(), 0);
    Window* a = dialog(1);
    Window* b = dialog(2);
    Window* c = dialog(3);
    Window* stranger = dialog(4);
    ASSERT_NE(add_open_dialog(program, a), nullptr);
    add_open_dialog(program, b);
    add_open_dialog(program, c);
    EXPECT_EQ(listed(), (std::vector<Window*>{c, b, a}));
    const size_t blocks = fake.live_blocks.size();

    remove_open_dialog(program, stranger);
    EXPECT_EQ(listed(), (std::vector<Window*>{c, b, a}));
    EXPECT_EQ(fake.live_blocks.size(), blocks);

    remove_open_dialog(program, c);  // the head: its successor takes over
    EXPECT_EQ(listed(), (std::vector<Window*>{b, a}));
    remove_open_dialog(program, a);  // the tail
    EXPECT_EQ(listed(), std::vector<Window*>{b});
    remove_open_dialog(program, b);
    EXPECT_EQ(program.dialogs.open_dialogs, nullptr);
    EXPECT_EQ(fake.live_blocks.size(), blocks - 3);
}

TEST_F(Errors, AMessageGoesToTheFirstDialogThatTakesItAndNoFurther)
{
    ASSERT_EQ(start(), 0);
    Window* older = dialog(1);
    Window* newer = dialog(2);
    add_open_dialog(program, older);
    add_open_dialog(program, newer);
    fake.takes_dialog_message = [](Window* d, const PlatformMessage&) { return d->name == "2"; };
    PlatformMessage key{older, FAKE_KEYDOWN, 'A', 0};
    fake_clear_calls();
    EXPECT_EQ(offer_to_dialogs(program, &key), 1);
    EXPECT_EQ(fake_log(), "is_dialog_message(2,0x0100)\n");
    fake.takes_dialog_message = [](Window*, const PlatformMessage&) { return false; };
    fake_clear_calls();
    EXPECT_EQ(offer_to_dialogs(program, &key), 0);
    EXPECT_EQ(fake_log(), "is_dialog_message(2,0x0100)\nis_dialog_message(1,0x0100)\n");
}

TEST_F(Errors, ADialogThatCannotBeListedEndsTheProgram)
{
    ASSERT_EQ(start(), 0);
    Window* options = dialog(113);
    fake.fail_heap_alloc_at = fake.heap_allocations + 1;
    EXPECT_EQ(add_open_dialog(program, options), nullptr);
    EXPECT_EQ(program.dialogs.open_dialogs, nullptr);
    EXPECT_FALSE(options->alive);  // owned by the pet window, which went down
    EXPECT_FALSE(pet()->alive);
}

}  // namespace
