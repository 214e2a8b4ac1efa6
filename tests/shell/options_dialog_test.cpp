#include "shell_harness.h"

#include "support/ini.h"

namespace {

constexpr int MODE_PRECOMPUTED_BUTTON = 1000, MODE_LIVE_BUTTON = 1001, MODE_STANDARD_BUTTON = 1006;
constexpr int TOP = IDC_TOP_MARGIN, LEFT = IDC_LEFT_MARGIN, BOTTOM = IDC_BOTTOM_MARGIN, RIGHT = IDC_RIGHT_MARGIN,
              SPEED = IDC_SPEED;

const std::string INVALID_MARGIN = "message_box(options,\"Invalid Margin Values !  Please Re-enter ..\",0x0010)";
const std::string MARGIN_TOO_LARGE = "message_box(options,\"Margin too large !  Please Re-enter ..\",0x0010)";
const std::string INVALID_SPEED = "message_box(options,\"Invalid Speed Value !  Please Re-enter ..\",0x0010)";

std::vector<int32_t> values(const Settings& s)
{
    return {s.display_mode, s.top_margin, s.bottom_margin, s.left_margin, s.right_margin, s.timer_ms};
}

struct OptionsDialog : ShellTest {
    Window* dialog = nullptr;

    void SetUp() override
    {
        ShellTest::SetUp();
        bare_pet();  // on a 1024 x 768 screen
        fake.ini_files.clear();
        settings_path_init(program);
        open(Settings{MODE_PRECOMPUTED, 0, 0, 0, 0, 150});
    }
    void open(Settings pending)
    {
        if (dialog && dialog->alive)
            fake_send(dialog, MSG_COMMAND, 2);
        program.pending_settings = pending;
        open_options_dialog(the_pet(), nullptr);
        dialog = fake_window("options");
        ASSERT_NE(dialog, nullptr);
    }
    void type(int id, const std::string& text) { dialog->item_texts[id] = text; }
    void choose(int button)
    {
        for (int id : {MODE_PRECOMPUTED_BUTTON, MODE_LIVE_BUTTON, MODE_STANDARD_BUTTON})
            dialog->checks[id] = id == button;
    }
    // OK: the message it showed, if any ("" for none).
    std::string ok()
    {
        fake_clear_calls();
        EXPECT_EQ(fake_send(dialog, MSG_COMMAND, 1), 1);
        std::vector<std::string> boxes = fake_calls_starting("message_box");
        EXPECT_LE(boxes.size(), 1u);
        EXPECT_EQ(dialog->alive, !boxes.empty()) << "the dialog closes exactly when nothing was wrong";
        return boxes.empty() ? "" : boxes[0];
    }
    // Types the margins (top, left, bottom, right) and the speed into a fresh dialog and presses OK.
    std::string try_entries(const std::string& top, const std::string& left, const std::string& bottom,
                            const std::string& right, const std::string& speed)
    {
        if (!dialog->alive)
            open(program.pending_settings);
        type(TOP, top);
        type(LEFT, left);
        type(BOTTOM, bottom);
        type(RIGHT, right);
        type(SPEED, speed);
        return ok();
    }
};

}  // namespace

TEST_F(OptionsDialog, ShowsThePendingValues)
{
    fake_send(dialog, MSG_COMMAND, 2);
    fake_clear_calls();
    open(Settings{MODE_LIVE, 10, 20, 30, 40, 200});
    EXPECT_EQ(fake_calls_starting("set_"),
              (std::vector<std::string>{"set_check(options,1000,0)", "set_check(options,1001,1)",
                                        "set_check(options,1006,0)", "set_item_text(options,1002,\"10\")",
                                        "set_item_text(options,1004,\"20\")", "set_item_text(options,1003,\"30\")",
                                        "set_item_text(options,1005,\"40\")", "set_item_text(options,1007,\"200\")"}));
    EXPECT_EQ(program.dialogs.options_open, 1);
    ASSERT_NE(program.dialogs.open_dialogs, nullptr);
    EXPECT_EQ(program.dialogs.open_dialogs->window, dialog);
}

TEST_F(OptionsDialog, OkWithoutAChangeWritesNothing)
{
    EXPECT_EQ(ok(), "");
    EXPECT_EQ(fake_count("ini_write_string"), 0);
    EXPECT_TRUE(fake.ini_files.empty());
    EXPECT_EQ(program.dialogs.options_open, 0);
    EXPECT_EQ(program.dialogs.open_dialogs, nullptr);
}

TEST_F(OptionsDialog, ChangingOnlyTheModeWritesAllSixKeys)
{
    choose(MODE_STANDARD_BUTTON);
    EXPECT_EQ(ok(), "");
    EXPECT_EQ(values(program.pending_settings), (std::vector<int32_t>{MODE_STANDARD, 0, 0, 0, 0, 150}));
    EXPECT_EQ(fake_count("ini_write_string"), 6);
    EXPECT_EQ(ini_get(fake.ini_files[ini_path()], "Setup", "Mode"), "0");
    EXPECT_EQ(ini_get(fake.ini_files[ini_path()], "Setup", "Timer"), "150");
    EXPECT_EQ(values(program.settings), (std::vector<int32_t>{MODE_PRECOMPUTED, 0, 0, 0, 0, 150}));
}

TEST_F(OptionsDialog, MarginEntries)
{
    EXPECT_EQ(try_entries(" 25\t", "0000", "3", "0007", "150"), "");
    EXPECT_EQ(values(program.pending_settings), (std::vector<int32_t>{MODE_PRECOMPUTED, 25, 3, 0, 7, 150}));
    for (const char* entry : {"2 5", "+5", "-5", "12345", "   ", "1a"}) {
        EXPECT_EQ(try_entries("0", "0", entry, "0", "150"), INVALID_MARGIN) << entry;
        EXPECT_EQ(dialog->item_texts[BOTTOM], entry) << "entries stay as typed";
    }
    EXPECT_EQ(fake_count("set_item_text"), 0);
}

TEST_F(OptionsDialog, MarginsMustLeaveRoomOnThe1024By768Screen)
{
    EXPECT_EQ(try_entries("0", "500", "0", "483", "150"), MARGIN_TOO_LARGE);
    EXPECT_EQ(try_entries("0", "500", "0", "482", "150"), "");
    EXPECT_EQ(try_entries("363", "0", "364", "0", "150"), MARGIN_TOO_LARGE);
    EXPECT_EQ(try_entries("363", "0", "363", "0", "150"), "");
}

TEST_F(OptionsDialog, SpeedEntries)
{
    EXPECT_EQ(try_entries("0", "0", "0", "0", "9"), INVALID_SPEED);
    EXPECT_EQ(try_entries("0", "0", "0", "0", "1001"), INVALID_SPEED);
    EXPECT_EQ(try_entries("0", "0", "0", "0", "fast"), INVALID_SPEED);
    EXPECT_EQ(try_entries("0", "0", "0", "0", "10"), "");
    EXPECT_EQ(program.pending_settings.timer_ms, 10);
    EXPECT_EQ(try_entries("0", "0", "0", "0", "1000"), "");
    EXPECT_EQ(program.pending_settings.timer_ms, 1000);
    EXPECT_EQ(try_entries("0", "0", "0", "0", "0150"), "");
    EXPECT_EQ(program.pending_settings.timer_ms, 150);
}

TEST_F(OptionsDialog, TheFirstCheckThatFailsIsTheOnlyMessage)
{
    EXPECT_EQ(try_entries("x", "0", "0", "0", "1"), INVALID_MARGIN);
    EXPECT_EQ(try_entries("0", "999", "0", "999", "1"), MARGIN_TOO_LARGE);
    EXPECT_EQ(fake_count("get_item_text(options,1007)"), 0) << "the speed is read only after the margins pass";
}

TEST_F(OptionsDialog, AnEmptyFieldStandsForItsPendingValue)
{
    open(Settings{MODE_LIVE, 5, 6, 7, 8, 300});
    type(TOP, "");
    type(SPEED, "");
    EXPECT_EQ(ok(), "");
    EXPECT_EQ(fake_count("ini_write_string"), 0);

    open(Settings{MODE_LIVE, 5, 6, 7, 8, 300});
    type(TOP, "");
    type(LEFT, "9");
    EXPECT_EQ(ok(), "");
    EXPECT_EQ(values(program.pending_settings), (std::vector<int32_t>{MODE_LIVE, 5, 6, 9, 8, 300}));
}

TEST_F(OptionsDialog, AModeNoButtonShowsIsKept)
{
    open(Settings{3, 0, 0, 0, 0, 150});
    EXPECT_EQ(dialog->checks[MODE_PRECOMPUTED_BUTTON] + dialog->checks[MODE_LIVE_BUTTON] +
                  dialog->checks[MODE_STANDARD_BUTTON],
              0);
    EXPECT_EQ(ok(), "");
    EXPECT_EQ(program.pending_settings.display_mode, 3);
    EXPECT_EQ(fake_count("ini_write_string"), 0);
}

TEST_F(OptionsDialog, AFailedSaveIsToldAndNothingIsLost)
{
    fake.unwritable_ini_files.insert(ini_path());
    type(SPEED, "300");
    EXPECT_EQ(ok(), "message_box(options,\"Fail to save the settings to " + ini_path() +
                        " !  Please check that the folder can be written ..\",0x0010)");
    EXPECT_EQ(dialog->item_texts[SPEED], "300");
    EXPECT_EQ(program.pending_settings.timer_ms, 150) << "still what the file holds";

    fake.unwritable_ini_files.clear();
    EXPECT_EQ(ok(), "") << "OK again saves";
    EXPECT_EQ(ini_get(fake.ini_files[ini_path()], "Setup", "Timer"), "300");
}

// A writable folder is not the fault when the file itself refuses.
TEST_F(OptionsDialog, AFileThatRefusesTheSaveIsNamedAsTheCause)
{
    fake.unusable_ini_files.insert(ini_path());
    type(SPEED, "300");
    EXPECT_EQ(ok(), "message_box(options,\"Fail to save the settings to " + ini_path() +
                        " !  The file cannot be read or written (read-only, or not a regular file) ..\",0x0010)");
}

TEST_F(OptionsDialog, ReopeningShowsTheSavedValuesNotThoseInUse)
{
    type(LEFT, "12");
    EXPECT_EQ(ok(), "");
    open_options_dialog(the_pet(), nullptr);
    EXPECT_EQ(fake_window("options")->item_texts[LEFT], "12");
    EXPECT_EQ(program.settings.left_margin, 0);
}

TEST_F(OptionsDialog, ChosenTwiceFromTheMenuOpensOnce)
{
    fake_send(dialog, MSG_COMMAND, 2);
    ASSERT_EQ(start(), 0);
    fake_clear_calls();
    fake_send(pet(), MSG_COMMAND, CMD_OPTIONS);
    fake_send(pet(), MSG_COMMAND, CMD_OPTIONS);
    EXPECT_EQ(fake_count("create_dialog"), 1);
    dialog = fake_window("options");
    EXPECT_EQ(dialog->owner, pet());
    EXPECT_EQ(program.dialogs.options_open, 1);

    // Escape reaches the dialog through the loop's offer and closes it.
    PlatformMessage escape{dialog, FAKE_KEYDOWN, FAKE_KEY_ESCAPE, 0};
    EXPECT_EQ(offer_to_dialogs(program, &escape), 1);
    EXPECT_FALSE(dialog->alive);
    EXPECT_EQ(program.dialogs.options_open, 0);
    EXPECT_EQ(fake_count("ini_write_string"), 0);
    fake_send(pet(), MSG_COMMAND, CMD_OPTIONS);
    EXPECT_EQ(fake_count("create_dialog"), 2);
}

TEST_F(OptionsDialog, GoingWithThePetWindowLeavesNoStaleEntry)
{
    fake_send(dialog, MSG_COMMAND, 2);
    ASSERT_EQ(start(), 0);
    fake_send(pet(), MSG_COMMAND, CMD_OPTIONS);
    platform_destroy_window(pet());
    EXPECT_FALSE(fake_window("options")->alive);
    EXPECT_EQ(program.dialogs.open_dialogs, nullptr);
}

TEST_F(OptionsDialog, OtherCommandsAreNotHandled)
{
    EXPECT_EQ(fake_send(dialog, MSG_COMMAND, 1000), 0);
    EXPECT_EQ(fake_send(dialog, MSG_COMMAND, (1 << 16) | 1), 0);
    EXPECT_TRUE(dialog->alive);
}
