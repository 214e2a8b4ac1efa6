#include "shell_harness.h"

#include "support/ini.h"

namespace {

#ifdef _WIN32
constexpr char SEP = '\\';
const std::string ROOT = "C:\\";
#else
constexpr char SEP = '/';
const std::string ROOT = "/";
#endif

// A folder path of exactly `length` characters, ending in the separator.
std::string folder_of_length(size_t length)
{
    return ROOT + std::string(length - ROOT.size() - 1, 'd') + SEP;
}

struct SettingsFile : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        desktop_read(program.desktop);  // 1024 x 768
    }
    int fits(int32_t top, int32_t left, int32_t bottom, int32_t right)
    {
        return margins_fit(program.desktop.monitors[0], program.zoom, top, left, bottom, right);
    }
    void read(const std::string& file)
    {
        fake.ini_files[ini_path()] = file;
        settings_path_init(program);
        settings_read(program);
    }
};

std::vector<int32_t> values(const Settings& s)
{
    return {s.display_mode, s.top_margin, s.bottom_margin, s.left_margin, s.right_margin, s.timer_ms};
}

}  // namespace

TEST_F(SettingsFile, PathIsInThePlatformsSettingsFolder)
{
    settings_path_init(program);
    EXPECT_EQ(program.settings_path, ini_path());

    // However long, as long as the whole path fits: 247 bytes once sent the
    // settings to a bare name, which Windows looks for in its own folder.
    for (const size_t length : {size_t(246), size_t(247), size_t(SETTINGS_PATH_SIZE - 10)}) {
        fake.settings_folder = folder_of_length(length);
        settings_path_init(program);
        EXPECT_EQ(program.settings_path, folder_of_length(length) + "dorra.ini") << length;
    }
    // Deep folders of Chinese names: three bytes a letter.
    std::string deep = ROOT;
    for (int level = 0; level < 26; ++level)
        deep += std::string("\xE6\xA1\x8C\xE9\x9D\xA2\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB9") + SEP;
    fake.settings_folder = deep;
    settings_path_init(program);
    EXPECT_EQ(program.settings_path, deep + "dorra.ini");
    // Too long to hold whole: no file at all rather than another one.
    fake.settings_folder = folder_of_length(SETTINGS_PATH_SIZE - 9);
    settings_path_init(program);
    EXPECT_STREQ(program.settings_path, "");
}

// Without a folder of its own the program never uses the current directory:
// it runs on the defaults, and a save says why it cannot be done.
TEST_F(SettingsFile, NoSettingsFolderMeansDefaultsAndASaveThatSaysSo)
{
    fake.settings_folder_fails = true;
    fake.current_directory = ROOT + "home";
    fake.ini_files[ROOT + "home" + SEP + "dorra.ini"] = "[Setup]\nTimer=70\n";
    settings_path_init(program);
    EXPECT_STREQ(program.settings_path, "");
    settings_read(program);
    EXPECT_EQ(program.settings.timer_ms, 150);
    EXPECT_EQ(fake_count("ini_read"), 0);
    program.pending_settings.timer_ms = 70;
    int failure = 0;
    EXPECT_FALSE(settings_write(program, &failure));
    EXPECT_EQ(failure, SAVE_NOWHERE);
    EXPECT_EQ(settings_save_failure(program.settings_path, failure),
              "Fail to save the settings !  There is no folder to keep them in ..");
    EXPECT_EQ(fake_count("ini_write"), 0);
}

TEST_F(SettingsFile, NoFileGivesTheDefaultsAndCreatesNone)
{
    fake.ini_files.clear();
    settings_path_init(program);
    settings_read(program);
    EXPECT_EQ(values(program.settings), (std::vector<int32_t>{MODE_PRECOMPUTED, 0, 0, 0, 0, 150}));
    EXPECT_EQ(values(program.pending_settings), values(program.settings));
    EXPECT_EQ(program.desk_settings.one_monitor, 0);     // every monitor
    EXPECT_EQ(program.desk_settings.floor_at_panel, 0);  // walks over panels, as it always has
    EXPECT_EQ(program.desk_settings.hide_for_fullscreen, 1);
    EXPECT_TRUE(fake.ini_files.empty());
    EXPECT_EQ(fake_count("message_box"), 0);
    std::string path = "\"" + ini_path() + "\",\"Setup\"";
    EXPECT_EQ(fake_calls_starting("ini_"),
              (std::vector<std::string>{
                  "ini_read_int(" + path + ",\"Mode\",1)", "ini_read_int(" + path + ",\"Top Margin\",0)",
                  "ini_read_int(" + path + ",\"Bottom Margin\",0)", "ini_read_int(" + path + ",\"Left Margin\",0)",
                  "ini_read_int(" + path + ",\"Right Margin\",0)", "ini_read_int(" + path + ",\"Timer\",150)",
                  "ini_read_int(" + path + ",\"Monitor\",0)", "ini_read_int(" + path + ",\"Floor At Panel\",0)",
                  "ini_read_int(" + path + ",\"Hide For Fullscreen\",1)"}));
}

TEST_F(SettingsFile, ModeAndTimerAreTakenAsRead)
{
    read("[Setup]\nMode=3\nTimer=0\nTop Margin=5\nRight Margin=7\n");
    EXPECT_EQ(values(program.settings), (std::vector<int32_t>{3, 5, 0, 0, 7, 0}));
    EXPECT_EQ(values(program.pending_settings), values(program.settings));
    read("[Setup]\nTimer=5000\n");
    EXPECT_EQ(program.settings.timer_ms, 5000);
    EXPECT_EQ(program.pending_settings.timer_ms, 5000);
}

TEST_F(SettingsFile, AMarginThatDoesNotFitZeroesAllFour)
{
    const std::string file = "[Setup]\nTop Margin=10\nBottom Margin=-1\nLeft Margin=20\nRight Margin=30\nTimer=99\n";
    read(file);
    EXPECT_EQ(fake_calls_starting("message_box"),
              std::vector<std::string>{"message_box(none,\"Invalid Margin Values !\",0x0010)"});
    EXPECT_EQ(values(program.settings), (std::vector<int32_t>{MODE_PRECOMPUTED, 0, 0, 0, 0, 99}));
    EXPECT_EQ(values(program.pending_settings), values(program.settings));
    EXPECT_EQ(fake.ini_files[ini_path()], file);
    EXPECT_EQ(program.fatal_error, 0);
}

TEST_F(SettingsFile, MarginsFitTheScreenWithOnePositionLeft)
{
    EXPECT_TRUE(fits(0, 500, 0, 482));
    EXPECT_FALSE(fits(0, 500, 0, 483));
    EXPECT_TRUE(fits(363, 0, 363, 0));
    EXPECT_FALSE(fits(363, 0, 364, 0));
    EXPECT_FALSE(fits(0, -1, 0, 0));
    // Sums beyond 32 bits must not wrap into a fitting value.
    EXPECT_FALSE(fits(0, INT32_MAX, 0, INT32_MAX));
    EXPECT_FALSE(fits(INT32_MAX, 0, INT32_MAX, 0));

    read("[Setup]\nLeft Margin=500\nRight Margin=482\n");
    EXPECT_EQ(program.settings.left_margin, 500);
    EXPECT_EQ(fake_count("message_box"), 0);
    read("[Setup]\nLeft Margin=500\nRight Margin=483\n");
    EXPECT_EQ(program.settings.left_margin, 0);
    EXPECT_EQ(fake_count("message_box"), 1);
}

TEST_F(SettingsFile, WritingPutsAllSixKeysInOrder)
{
    settings_path_init(program);
    program.pending_settings = Settings{MODE_STANDARD, 1, 2, 3, -4, 150};
    ASSERT_TRUE(settings_write(program));
    EXPECT_EQ(fake.ini_files[ini_path()], "[Setup]" + std::string(INI_NEWLINE) + "Mode=0" + std::string(INI_NEWLINE) +
                                              "Top Margin=1" + std::string(INI_NEWLINE) + "Bottom Margin=2" +
                                              std::string(INI_NEWLINE) + "Left Margin=3" + std::string(INI_NEWLINE) +
                                              "Right Margin=-4" + std::string(INI_NEWLINE) + "Timer=150" +
                                              std::string(INI_NEWLINE));
}

TEST_F(SettingsFile, AFailedWriteIsReported)
{
    settings_path_init(program);
    fake.unwritable_ini_files.insert(ini_path());
    EXPECT_FALSE(settings_write(program));
    EXPECT_EQ(fake_count("ini_write_string"), 1);  // the first failure ends the attempt
}
