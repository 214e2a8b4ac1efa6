// The notification-area icon, putting the pet away and calling it back, and
// starting at login, message by message on the fake platform.
#include "shell_harness.h"

#include "shell/command_line.h"

namespace {

struct Tray : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        program_options(program, "/opt/dorrabee", 1, nullptr);
        ASSERT_EQ(start(), 0);
        fake_clear_calls();
    }
    intptr_t send(unsigned message, uintptr_t wparam = 0, intptr_t lparam = 0)
    {
        return fake_send(pet(), message, wparam, lparam);
    }
    // The icon's menu chosen from at the screen point, its command delivered.
    void choose_from_icon(int command, int16_t x = 1000, int16_t y = 10)
    {
        fake.popup_command = command;
        send(MSG_TRAY, TRAY_MENU_WANTED, fake_point(x, y));
        fake_pump();
    }
    std::string caption(int command)
    {
        const auto* item = fake_menu_item(command);
        return item ? item->caption : "(none)";
    }
    // The icon's menu opened and closed with nothing chosen.
    void look_at_icon_menu()
    {
        fake.popup_command = 0;
        send(MSG_TRAY, TRAY_MENU_WANTED, fake_point(0, 0));
    }
    int checked(int command)
    {
        const auto* item = fake_menu_item(command);
        return item ? item->checked : -2;
    }
};

TEST_F(Tray, TheIconComesUpAfterThePetShowsAndGoesWithIt)
{
    reset_program();
    fake_use_synthetic_art();
    start();
    EXPECT_TRUE(in_order(
        fake.calls, {"show_window(pet,5)", "add_tray_icon(pet,\"Dorrabee\")", "next_message()=-1 (nothing queued)"}));
    fake.popup_command = CMD_EXIT;
    send(MSG_RBUTTONDOWN, 0, fake_point(5, 5));
    fake_clear_calls();
    fake_pump();
    EXPECT_TRUE(in_order(fake.calls, {"destroy_window(pet)", "remove_tray_icon(pet)", "post_quit(0)"}));
    EXPECT_EQ(fake.tray_owner, nullptr);
    EXPECT_EQ(program.icon_owner, nullptr);
}

// ---- one menu

TEST_F(Tray, TheIconsMenuIsThePetsMenuWithItsEntriesAtThePointer)
{
    send(MSG_TRAY, TRAY_MENU_WANTED, fake_point(-20, 700));  // a monitor left of the primary one
    EXPECT_EQ(fake_log(),
              "set_pet_submenu(105,40005,\"宠物(&P)\",\"Dorrabee\",\"送走它(&S)\",40100,0)\n"
              "set_menu_item(105,40004,40008,\"收起宠物(&H)\",-1)\n"
              "login_command(null)\n"
              "read_login_entry()\n"
              "set_menu_item(105,40004,40009,\"登录时启动(&L)\",0)\n"
              "set_menu_item(105,40004,40010,\"全屏时隐藏(&F)\",1)\n"
              "track_popup_menu(105,-20,700,pet)\n");
}

TEST_F(Tray, TheIconsCommandsReachThePetsOwnHandlers)
{
    choose_from_icon(CMD_OPTIONS);
    ASSERT_NE(fake_window("options"), nullptr);
    EXPECT_TRUE(fake_window("options")->alive);
    choose_from_icon(CMD_ABOUT);
    ASSERT_NE(fake_window("about"), nullptr);
    choose_from_icon(CMD_PET_FIRST);  // the running cat again: nothing to do
    EXPECT_EQ(fake.restarts, 0);
    choose_from_icon(CMD_EXIT);
    EXPECT_FALSE(pet()->alive);
}

TEST_F(Tray, WithoutANotificationAreaThePetsMenuCarriesStartAtLoginButNotPutAway)
{
    fake.tray_available = false;
    send(MSG_RBUTTONDOWN, 0, fake_point(5, 5));
    EXPECT_EQ(caption(CMD_START_AT_LOGIN), "登录时启动(&L)");
    EXPECT_EQ(caption(CMD_PUT_AWAY), "(none)");
    // A notification area that comes later takes the entry back.
    fake.tray_available = true;
    send(MSG_RBUTTONDOWN, 0, fake_point(5, 5));
    EXPECT_EQ(caption(CMD_START_AT_LOGIN), "(none)");
    EXPECT_EQ(fake.menu_items.size(), 1u);  // hiding for fullscreen programs
}

// ---- put away, called back

TEST_F(Tray, PutAwayHidesThePetAndPausesItsLifeUntilItIsCalledBack)
{
    state()->x = 100;
    state()->y = 100;
    choose_from_icon(CMD_PUT_AWAY);
    EXPECT_FALSE(pet()->visible);
    EXPECT_TRUE(pet()->timers.empty());
    EXPECT_TRUE(program.pets_away);
    EXPECT_EQ(fake_count("show_window(pet,0)"), 1);

    look_at_icon_menu();
    EXPECT_EQ(caption(CMD_PUT_AWAY), "叫回宠物(&H)");
    fake_clear_calls();
    choose_from_icon(CMD_PUT_AWAY);
    EXPECT_TRUE(pet()->visible);
    EXPECT_EQ(pet()->timers, (std::map<unsigned, unsigned>{{PET_TIMER_ID, 150}}));
    EXPECT_FALSE(program.pets_away);
    // At the middle of the floor, moved there before it shows.
    EXPECT_EQ(pet()->x, (1024 - 42) / 2);
    EXPECT_EQ(pet()->y, 768 - 42);
    EXPECT_EQ(state()->current_action, state()->start_action - 1);
    EXPECT_TRUE(in_order(fake.calls, {"move_window(pet,491,726)", "show_window(pet,4)", "set_timer(pet,1,150)"}));
    look_at_icon_menu();
    EXPECT_EQ(caption(CMD_PUT_AWAY), "收起宠物(&H)");
}

TEST_F(Tray, PutAwayActsOnEveryPetAndTheIconOutlivesThePetItReportedTo)
{
    Window* first = pet();
    program.listed.clear();  // the sub-menu as filled with the built-in cat alone
    fake_send(first, MSG_COMMAND, CMD_PET_FIRST);
    Window* second = pet();
    ASSERT_NE(first, second);
    fake.popup_command = CMD_PUT_AWAY;
    fake_send(first, MSG_TRAY, TRAY_MENU_WANTED, fake_point(1000, 10));
    fake_pump();
    EXPECT_FALSE(first->visible || second->visible);
    EXPECT_TRUE(first->timers.empty() && second->timers.empty());

    // The icon's pet sent away while the others are away: the icon moves on
    // and no life resumes before the call back.
    program.listed.clear();
    fake_send(first, MSG_COMMAND, CMD_PET_FIRST + 1);
    EXPECT_FALSE(first->alive);
    EXPECT_EQ(program.icon_owner, second);
    EXPECT_TRUE(second->timers.empty());
    fake_send(second, MSG_TRAY, TRAY_ACTIVATED, fake_point(1000, 10));
    EXPECT_TRUE(second->visible);
    EXPECT_EQ(second->timers, (std::map<unsigned, unsigned>{{PET_TIMER_ID, 150}}));
}

TEST_F(Tray, ActivatingTheIconCallsThePetBackOrBringsItToTheFloorWithinTheMargins)
{
    choose_from_icon(CMD_PUT_AWAY);
    send(MSG_TRAY, TRAY_ACTIVATED, fake_point(1000, 10));
    EXPECT_TRUE(pet()->visible);
    EXPECT_EQ(fake_count("set_timer(pet,1,150)"), 1);
    // Out already: only brought to the floor, its clock left alone.
    program.settings.left_margin = 100;
    program.settings.right_margin = 300;
    program.settings.bottom_margin = 68;
    state()->x = 10;
    state()->y = 10;
    fake_clear_calls();
    send(MSG_TRAY, TRAY_ACTIVATED, fake_point(1000, 10));
    EXPECT_EQ(pet()->x, 100 + (1024 - 300 - 42 - 100) / 2);
    EXPECT_EQ(pet()->y, 768 - 68 - 42);
    EXPECT_EQ(fake_count("set_timer"), 0);
    EXPECT_EQ(fake_count("show_window"), 0);
    // A box narrower than the pet: the left margin wins.
    program.settings.right_margin = 1000;
    send(MSG_TRAY, TRAY_ACTIVATED, fake_point(1000, 10));
    EXPECT_EQ(pet()->x, 100);
}

TEST_F(Tray, APetCarriedWhenPutAwayIsLetGo)
{
    send(MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(20, 20));
    ASSERT_EQ(state()->dragging, 1);
    choose_from_icon(CMD_PUT_AWAY);
    EXPECT_EQ(state()->dragging, 0);
    EXPECT_EQ(fake.capture, nullptr);
}

TEST_F(Tray, ACallBackWithoutAClockIsReported)
{
    choose_from_icon(CMD_PUT_AWAY);
    fake.timer_fails = true;
    send(MSG_TRAY, TRAY_ACTIVATED, fake_point(0, 0));
    EXPECT_EQ(fake_count("message_box(pet,\"Too many clocks or timers! Fail to set timer\""), 1);
    EXPECT_FALSE(pet()->alive);
}

// ---- start at login

TEST_F(Tray, StartAtLoginIsReadFromTheSystemEveryTimeTheMenuOpens)
{
    const std::string mine = "/opt/dorrabee/dorrabee";
    const std::vector<std::pair<std::string, int>> entries = {
        {mine, 1},
        {"/home/cat/old/dorrabee", 0},  // another copy
        {mine + " --pet /x", 0},        // this copy with a pet this run was not given
        {mine + "x", 0},
        {"", 0},
    };
    for (const auto& [entry, on] : entries) {
        fake.login_has_entry = !entry.empty();
        fake.login_entry = entry;
        look_at_icon_menu();
        EXPECT_EQ(checked(CMD_START_AT_LOGIN), on) << entry;
    }
    EXPECT_EQ(fake_count("write_login_entry"), 0);
}

TEST_F(Tray, CheckingWritesThisCopysEntryReplacingAnotherAndUncheckingRemovesOnlyOurs)
{
    fake.login_has_entry = true;
    fake.login_entry = "\"C:\\old copy\\dorrabee.exe\"";
    choose_from_icon(CMD_START_AT_LOGIN);
    EXPECT_EQ(fake_count("write_login_entry(\"/opt/dorrabee/dorrabee\")"), 1);
    EXPECT_EQ(fake.login_entry, "/opt/dorrabee/dorrabee");
    choose_from_icon(CMD_START_AT_LOGIN);
    EXPECT_EQ(fake_count("write_login_entry(null)"), 1);
    EXPECT_FALSE(fake.login_has_entry);
    EXPECT_EQ(fake_count("write_login_entry"), 2);
    EXPECT_EQ(fake_count("message_box"), 0);
}

TEST_F(Tray, TheEntryCarriesThePetFolderOfTheCommandLine)
{
    const char* argv[] = {"dorrabee", "--pet", "pets/domino"};
    program_options(program, "/opt/dorrabee", 3, argv);
    choose_from_icon(CMD_START_AT_LOGIN);
    EXPECT_EQ(fake.login_entry, "/opt/dorrabee/dorrabee --pet pets/domino");
    EXPECT_EQ(fake_count("login_command(\"pets/domino\")"), 2);  // to compare, then to write
}

TEST_F(Tray, ALoginEntryThatCannotBeWrittenOrHadIsShown)
{
    fake.login_write_fails = true;
    choose_from_icon(CMD_START_AT_LOGIN);
    EXPECT_EQ(fake_count("message_box(pet,\"Fail to write the entry that starts the program at login.\""), 1);
    fake.login_command = "";
    choose_from_icon(CMD_START_AT_LOGIN);
    EXPECT_EQ(fake_count("message_box(pet,\"Fail to find the program's own path"), 1);
    EXPECT_EQ(fake_count("write_login_entry"), 1);
    EXPECT_TRUE(pet()->alive);
}

// ---- the command line

TEST(CommandLine, RunsWithAPetOrNothingAnswersHelpAndVersionAndRefusesTheRest)
{
    const std::vector<std::pair<std::vector<const char*>, CommandLineAsk>> cases = {
        {{"dorrabee"}, CommandLineAsk::run},
        {{"dorrabee", "--pet", "domino"}, CommandLineAsk::run},
        {{"dorrabee", "--pet", "--help"}, CommandLineAsk::run},  // a folder may be named anything
        {{"dorrabee", "--help"}, CommandLineAsk::help},
        {{"dorrabee", "-h"}, CommandLineAsk::help},
        {{"dorrabee", "--version"}, CommandLineAsk::version},
        {{"dorrabee", "--pet"}, CommandLineAsk::refused},
        {{"dorrabee", "--pets", "domino"}, CommandLineAsk::refused},
        {{"dorrabee", "domino"}, CommandLineAsk::refused},
        {{"dorrabee", "--pet", "domino", "-x"}, CommandLineAsk::refused},
        {{"dorrabee", ""}, CommandLineAsk::refused},
    };
    for (const auto& [argv, ask] : cases)
        EXPECT_EQ(command_line_ask(int(argv.size()), argv.data()), ask) << argv.back();
}

TEST(CommandLine, TheUsageNamesTheSettingsFile)
{
    fake_reset();
    const std::string usage = command_line_usage();
    EXPECT_NE(usage.find("Usage: dorrabee [--pet FOLDER]"), std::string::npos);
    EXPECT_NE(usage.find("Settings file: " + ini_path() + "\n"), std::string::npos) << usage;
    fake_reset();
}

}  // namespace
