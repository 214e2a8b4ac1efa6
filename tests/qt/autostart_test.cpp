// The autostart entry: how an Exec value is written and read back, and the
// file put, replaced and removed in a scratch config folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../shell/temp_folder.h"
#include "platform/qt/qt_host.h"

namespace {

TEST(Autostart, ExecArgumentsAreQuotedAndEscapedAsDesktopEntriesAsk)
{
    EXPECT_EQ(desktop_exec_argument("/usr/games/dorrabee"), "/usr/games/dorrabee");
    EXPECT_EQ(desktop_exec_argument("/home/cat/My Pets/dorrabee"), "\"/home/cat/My Pets/dorrabee\"");
    // Inside quotes: \" \` \$ \\, and each backslash once more as a string value.
    EXPECT_EQ(desktop_exec_argument("/a\"b`c$d\\e"), "\"/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e\"");
    EXPECT_EQ(desktop_exec_argument("/100%/cat"), "/100%%/cat");
    EXPECT_EQ(desktop_exec_argument("/a\nb"), "\"/a\\nb\"");
    EXPECT_EQ(desktop_exec_argument(""), "\"\"");
}

TEST(Autostart, TheExecOfAnEntryCountsOnlyWhereTheDesktopWouldRunIt)
{
    const std::string ours = desktop_entry_text("/opt/dorrabee/dorrabee --pet /x");
    EXPECT_EQ(desktop_entry_exec(ours), "/opt/dorrabee/dorrabee --pet /x");
    EXPECT_EQ(desktop_entry_exec("[Desktop Entry]\r\nExec = /a b\r\n"), "/a b");
    EXPECT_EQ(desktop_entry_exec(ours + "Hidden=true\n"), "");
    EXPECT_EQ(desktop_entry_exec(ours + "X-GNOME-Autostart-enabled=false\n"), "");
    EXPECT_EQ(desktop_entry_exec("[Desktop Action new]\nExec=/elsewhere\n"), "");
    EXPECT_EQ(desktop_entry_exec("[Desktop Entry]\nExecute=/no\nName=Exec\n"), "");
    EXPECT_EQ(desktop_entry_exec(""), "");
}

TEST(Autostart, ThePathFollowsXdgConfigHomeElseHomeAndIgnoresRelativeValues)
{
    EXPECT_EQ(autostart_path("/x/config", "/home/cat"), "/x/config/autostart/dorrabee.desktop");
    EXPECT_EQ(autostart_path("config", "/home/cat"), "/home/cat/.config/autostart/dorrabee.desktop");
    EXPECT_EQ(autostart_path(nullptr, "cat"), "");
}

struct AutostartFile : testing::Test {
    std::filesystem::path config = test_folder("dorrabee-autostart");
    std::filesystem::path entry = config / "deep" / "autostart" / "dorrabee.desktop";
    void SetUp() override
    {
        std::filesystem::remove_all(config);
        std::filesystem::create_directories(config);
        setenv("XDG_CONFIG_HOME", (config / "deep").c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(config);
    }
    std::string read_entry()
    {
        char buffer[256];
        const size_t length = platform_read_login_entry(buffer, sizeof buffer);
        return length < sizeof buffer ? std::string(buffer, length) : "(too long)";
    }
};

TEST_F(AutostartFile, IsWrittenReadBackReplacedAndRemoved)
{
    EXPECT_EQ(read_entry(), "");
    ASSERT_TRUE(platform_write_login_entry("/old/dorrabee"));  // the folders are made
    EXPECT_EQ(read_entry(), "/old/dorrabee");
    ASSERT_TRUE(platform_write_login_entry("/new/dorrabee"));
    EXPECT_EQ(read_entry(), "/new/dorrabee");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(entry.parent_path()), {}), 1);  // no leftovers
    EXPECT_TRUE(platform_write_login_entry(nullptr));
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_TRUE(platform_write_login_entry(nullptr));  // nothing there is no failure
}

TEST_F(AutostartFile, ALinkStandingThereIsReplacedNotFollowed)
{
    const auto target = config / "dotfiles.desktop";
    std::ofstream(target) << "[Desktop Entry]\nExec=/theirs\n";
    std::filesystem::create_directories(entry.parent_path());
    std::filesystem::create_symlink(target, entry);
    EXPECT_EQ(read_entry(), "/theirs");
    ASSERT_TRUE(platform_write_login_entry("/ours"));
    EXPECT_FALSE(std::filesystem::is_symlink(entry));
    std::stringstream kept;
    kept << std::ifstream(target).rdbuf();
    EXPECT_EQ(kept.str(), "[Desktop Entry]\nExec=/theirs\n");
}

TEST_F(AutostartFile, WhatIsNotAReasonableFileHoldsNoEntry)
{
    std::filesystem::create_directories(entry);  // a folder of that name
    EXPECT_EQ(read_entry(), "");
    std::filesystem::remove(entry);
    std::ofstream(entry) << "[Desktop Entry]\nExec=/big\n" << std::string(70 * 1024, '#');
    EXPECT_EQ(read_entry(), "");
}

TEST(Autostart, ThisCopysCommandIsItsAbsolutePathAndAnAbsolutePetFolder)
{
    char buffer[4096];
    const size_t length = platform_login_command("pets/../pets/domino", buffer, sizeof buffer);
    ASSERT_GT(length, 0u);
    const std::string command(buffer, length);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(command, desktop_exec_argument(self) + " --pet " +
                           desktop_exec_argument((std::filesystem::current_path() / "pets/domino").string()));
}

}  // namespace
