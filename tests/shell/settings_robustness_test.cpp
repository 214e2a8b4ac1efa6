// The settings file as users and other programs leave it: garbage, binary,
// huge and empty files, values with signs, blanks, letters and too many
// digits, a file that cannot be read, a folder that cannot be written, other
// programs editing it while the pet runs, a save killed half way, devices,
// FIFOs and links to them in its place, read-only files and other owners.
#include "shell_harness.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "support/ini.h"
#include "temp_folder.h"

#ifndef _WIN32
#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

constexpr size_t HUGE_BYTES = 50u << 20;

// ---- what start-up makes of a file, through the program's own reading

struct Reading {
    const char* name;
    std::string file;
    Settings expected;
    bool margin_box;  // "Invalid Margin Values !" shown
};

const Settings DEFAULTS{MODE_PRECOMPUTED, 0, 0, 0, 0, 150};

std::string random_bytes(size_t size, unsigned seed, bool with_brackets)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
        if (!with_brackets && c == '[')
            c = ']';
    }
    return bytes;
}

std::vector<Reading> readings()
{
    return {
        {"empty", "", DEFAULTS, false},
        {"binary_without_sections", random_bytes(4096, 1, false), DEFAULTS, false},
        {"binary_around_the_section",
         random_bytes(777, 2, false) + "\n[Setup]\nMode=2\nTimer=300\n" + random_bytes(500, 3, false),
         {MODE_LIVE, 0, 0, 0, 0, 300},
         false},
        {"signs_and_blanks",
         "[Setup]\nMode= +0 \nTop Margin=\t+12\nLeft Margin=  -0\nTimer=  -0040\n",
         {MODE_STANDARD, 12, 0, 0, 0, -40},
         false},
        {"letters_after_digits",
         "[Setup]\nTop Margin=12px\nBottom Margin=7 pixels\nTimer=250ms\n",
         {MODE_PRECOMPUTED, 12, 7, 0, 0, 250},
         false},
        {"letters_only",
         "[Setup]\nMode=standard\nLeft Margin=abc\nTimer=fast\n",
         {MODE_STANDARD, 0, 0, 0, 0, 0},
         false},
        {"empty_values_read_as_missing", "[Setup]\nMode=\nTimer=\nTop Margin=\n", DEFAULTS, false},
        {"quoted_value", "[Setup]\nTimer=\"90\"\n", {MODE_PRECOMPUTED, 0, 0, 0, 0, 90}, false},
        {"overflowing_mode_and_timer",
         "[Setup]\nMode=99999999999999999999\nTimer=-99999999999999999999\n",
         {INT32_MAX, 0, 0, 0, 0, INT32_MIN},
         false},
        {"overflowing_margin", "[Setup]\nLeft Margin=99999999999999999999\nTop Margin=5\n", DEFAULTS, true},
        {"negative_overflowing_margin", "[Setup]\nBottom Margin=-2147483649\n", DEFAULTS, true},
        // Each fits on its own; their sum wraps round in 32 bits.
        {"margins_whose_sum_wraps", "[Setup]\nLeft Margin=2147483647\nRight Margin=2147483647\n", DEFAULTS, true},
        {"margins_leaving_one_place",
         "[Setup]\nLeft Margin=500\nRight Margin=482\nTop Margin=726\n",
         {MODE_PRECOMPUTED, 726, 0, 500, 482, 150},
         false},
        {"nul_inside_a_value",
         "[Setup]\nTimer=4\0"s
         "5\n",
         {MODE_PRECOMPUTED, 0, 0, 0, 0, 4},
         false},
        {"only_line_ends", std::string(1000, '\n') + std::string(1000, '\r'), DEFAULTS, false},
        {"line_longer_than_any_buffer",
         std::string(3 * INI_LINE_LIMIT, 'M') + "=1\n[Setup]\nMode=0\n",
         {MODE_STANDARD, 0, 0, 0, 0, 150},
         false},
        {"key_past_a_line_longer_than_any_buffer",
         "[Setup]\nMode" + std::string(2 * INI_LINE_LIMIT, ' ') + "=2\nTimer=20\n",
         {MODE_PRECOMPUTED, 0, 0, 0, 0, 20},
         false},
    };
}

struct SettingsReading : ShellTest {};

TEST_F(SettingsReading, WhateverTheFileHoldsStartUpReadsItByTheRules)
{
    for (const Reading& reading : readings()) {
        SCOPED_TRACE(reading.name);
        TearDown();
        SetUp();
        fake.ini_files[ini_path()] = reading.file;
        desktop_read(program.desktop);  // 1024 x 768
        settings_path_init(program);
        settings_read(program);
        EXPECT_EQ(program.settings.display_mode, reading.expected.display_mode);
        EXPECT_EQ(program.settings.top_margin, reading.expected.top_margin);
        EXPECT_EQ(program.settings.bottom_margin, reading.expected.bottom_margin);
        EXPECT_EQ(program.settings.left_margin, reading.expected.left_margin);
        EXPECT_EQ(program.settings.right_margin, reading.expected.right_margin);
        EXPECT_EQ(program.settings.timer_ms, reading.expected.timer_ms);
        EXPECT_EQ(fake_count("message_box(none,\"Invalid Margin Values !\",0x0010)"), reading.margin_box ? 1 : 0);
        EXPECT_EQ(fake_count("message_box"), reading.margin_box ? 1 : 0);
        // The file is never changed by reading it.
        EXPECT_EQ(fake.ini_files[ini_path()], reading.file);
    }
}

TEST_F(SettingsReading, AHugeFileStartsThePetWithItsSettings)
{
    std::string file = random_bytes(HUGE_BYTES / 2, 4, false);
    file += "\n[Setup]\nMode=0\nTimer=200\n";
    file += std::string(HUGE_BYTES / 2, 'x');
    fake.ini_files[ini_path()] = file;
    fake.when_idle = [] { fake_post(pet_window(), MSG_COMMAND, CMD_EXIT); };
    EXPECT_EQ(run(5), 0);
    EXPECT_EQ(program.settings.display_mode, MODE_STANDARD);
    EXPECT_EQ(fake_count("set_timer(pet,1,200)"), 1);
    EXPECT_EQ(fake_count("message_box"), 0);
}

// ---- the file on disk, as the Linux program reads and writes it

struct SettingsOnDisk : testing::Test {
    fs::path folder;
    std::string path;

    void SetUp() override
    {
        folder = test_folder("dorrabee-settings-" +
                             std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = (folder / "dorra.ini").string();
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    void write(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
    std::string read() const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    int32_t read_int(const char* key, int32_t fallback) const
    {
        return ini_read_int(path.c_str(), "Setup", key, fallback);
    }
    // What the Options dialog's save does: the six keys in one save.
    IniWrite save_six(const Settings& values) const
    {
        const char* keys[] = {"Mode", "Top Margin", "Bottom Margin", "Left Margin", "Right Margin", "Timer"};
        const std::string texts[] = {std::to_string(values.display_mode),  std::to_string(values.top_margin),
                                     std::to_string(values.bottom_margin), std::to_string(values.left_margin),
                                     std::to_string(values.right_margin),  std::to_string(values.timer_ms)};
        const char* text_pointers[6];
        for (int i = 0; i < 6; ++i)
            text_pointers[i] = texts[i].c_str();
        return ini_write_strings(path.c_str(), "Setup", keys, text_pointers, 6);
    }
    bool save(const Settings& values) const { return save_six(values) == IniWrite::written; }
    size_t entries() const { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); }
};

TEST_F(SettingsOnDisk, AHugeBinaryFileIsReadAndSavedKeepingEveryOtherByte)
{
    std::string file = random_bytes(HUGE_BYTES, 5, true);
    file += "\r\n[Setup]\r\nTimer=300\r\n";
    write(file);
    EXPECT_EQ(read_int("Timer", 150), 300);
    EXPECT_EQ(read_int("Mode", 1), 1);
    ASSERT_TRUE(ini_write_string(path.c_str(), "Setup", "Timer", "120"));
    std::string expected = file;
    ini_set(expected, "Setup", "Timer", "120");
    EXPECT_TRUE(read() == expected) << "the saved file differs from the old one beyond the value";
    EXPECT_EQ(read_int("Timer", 150), 120);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SettingsOnDisk, AFileThatCannotBeReadGivesTheDefaultsAndIsNotReplaced)
{
    // A folder where the file should be: it opens, but no byte can be read.
    fs::create_directory(path);
    EXPECT_EQ(read_int("Timer", 150), 150);
    EXPECT_FALSE(ini_write_string(path.c_str(), "Setup", "Timer", "100"));
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

TEST_F(SettingsOnDisk, EditsOfOtherProgramsSurviveASave)
{
    write("[Setup]\nMode=1\nTimer=150\n");
    // The pet starts and reads its settings; then another program edits the
    // file while the pet runs: a key of ours it does not know, a section of
    // its own, a comment, Windows line ends.
    const Settings read_at_start{read_int("Mode", 1), 0, 0, 0, 0, read_int("Timer", 150)};
    write("; tuned by hand\r\n[Setup]\r\nMode=1\r\nTimer=150\r\nVolume=11\r\n[Friends]\r\nDog=1\r\n");
    Settings chosen = read_at_start;
    chosen.display_mode = MODE_LIVE;
    chosen.left_margin = 30;
    ASSERT_TRUE(save(chosen));
    EXPECT_EQ(read(),
              "; tuned by hand\r\n[Setup]\r\nMode=2\r\nTimer=150\r\nVolume=11\r\nTop Margin=0\r\nBottom Margin=0\r\n"
              "Left Margin=30\r\nRight Margin=0\r\n[Friends]\r\nDog=1\r\n");
}

TEST_F(SettingsOnDisk, AnEditBetweenTheKeysOfOneSaveSurvivesIt)
{
    write("[Setup]\nMode=1\n");
    ASSERT_TRUE(ini_write_string(path.c_str(), "Setup", "Mode", "0"));
    std::ofstream(path, std::ios::app | std::ios::binary) << "[Other]\nkey=value\n";
    ASSERT_TRUE(ini_write_string(path.c_str(), "Setup", "Timer", "99"));
    EXPECT_EQ(read(), "[Setup]\nMode=0\nTimer=99\n[Other]\nkey=value\n");
}

#ifndef _WIN32
TEST_F(SettingsOnDisk, AFolderThatCannotBeWrittenFailsTheSaveAndCreatesNothing)
{
    // A read-only file system refuses even a program with every right.
    const std::string unwritable = "/proc/dorra.ini";
    EXPECT_FALSE(ini_write_string(unwritable.c_str(), "Setup", "Mode", "2"));
    EXPECT_FALSE(fs::exists(unwritable));
    EXPECT_EQ(ini_read_int(unwritable.c_str(), "Setup", "Mode", 1), 1);
}

// A save killed at any moment leaves the old file or the new one, never a
// mixture of the two: for one key, and for the six of one Options save.
TEST_F(SettingsOnDisk, ASaveKilledAtAnyMomentLeavesTheOldFileOrTheNew)
{
    for (bool six_keys : {false, true}) {
        SCOPED_TRACE(six_keys ? "six keys" : "one key");
        std::string old_file =
            "; the user's own notes\n[Setup]\nMode=1\nTimer=150\n" + std::string(200000, '#') + "\n[Other]\nx=1\n";
        std::string new_file = old_file;
        const Settings chosen{MODE_LIVE, 1, 2, 3, 4, 999};
        if (six_keys) {
            for (auto [key, value] : {std::pair{"Mode", "2"},
                                      {"Top Margin", "1"},
                                      {"Bottom Margin", "2"},
                                      {"Left Margin", "3"},
                                      {"Right Margin", "4"},
                                      {"Timer", "999"}})
                ini_set(new_file, "Setup", key, value);
        } else {
            ini_set(new_file, "Setup", "Timer", "999");
        }
        std::mt19937 random(6);
        // A kill counts as mid-way when it leaves the save's temporary behind.
        // Rounds go on past 60 until one has, or the test would prove nothing.
        int killed_mid_save = 0;
        for (int round = 0; round < 60 || (killed_mid_save == 0 && round < 2000); ++round) {
            write(old_file);
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                if (six_keys)
                    save_six(chosen);
                else
                    ini_write_string(path.c_str(), "Setup", "Timer", "999");
                _exit(0);
            }
            usleep(static_cast<useconds_t>(random() % 3000));
            kill(child, SIGKILL);
            int status = 0;
            waitpid(child, &status, 0);
            const std::string left = read();
            ASSERT_TRUE(left == old_file || left == new_file)
                << "round " << round << ": a file of " << left.size() << " bytes";
            for (const fs::directory_entry& entry : fs::directory_iterator(folder))
                if (entry.path() != fs::path(path)) {
                    killed_mid_save += WIFSIGNALED(status);
                    fs::remove(entry.path());
                }
        }
        RecordProperty(six_keys ? "killed_mid_six_key_save" : "killed_mid_save", killed_mid_save);
        EXPECT_GT(killed_mid_save, 0) << "no kill landed while a save was under way";
        write(old_file);
        ASSERT_TRUE(six_keys ? save(chosen) : ini_write_string(path.c_str(), "Setup", "Timer", "999"));
        EXPECT_EQ(read(), new_file);
    }
}

// Only a regular file is a settings file. Whatever else stands in its place
// reads as missing without waiting (a FIFO with no writer would block an open
// for ever, /dev/zero a read), and a save fails, naming the file, and leaves
// it as it was.
TEST_F(SettingsOnDisk, WhatIsNotARegularFileIsNeverWaitedOnReadNorReplaced)
{
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        mode_t kind;  // of what the path leads to afterwards
    };
    const bool root = geteuid() == 0;
    const std::string device = (folder / "device").string();
    const std::vector<Case> cases = {
        {"fifo", [](const std::string& at) { ASSERT_EQ(mkfifo(at.c_str(), 0644), 0); }, S_IFIFO},
        {"link_to_a_fifo",
         [&](const std::string& at) {
             ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0644), 0);
             fs::create_symlink(folder / "fifo", at);
         },
         S_IFIFO},
        {"link_to_dev_zero", [](const std::string& at) { fs::create_symlink("/dev/zero", at); }, S_IFCHR},
        // A device node of our own stands for /dev/null, which a save as root once replaced.
        {"link_to_a_device",
         [&](const std::string& at) {
             if (root) {
                 ASSERT_EQ(mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
                 fs::create_symlink(device, at);
             } else {
                 fs::create_symlink("/dev/null", at);
             }
         },
         S_IFCHR},
        {"socket",
         [](const std::string& at) {
             int fd = socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::snprintf(address.sun_path, sizeof address.sun_path, "%s", at.c_str());
             ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
             close(fd);
         },
         S_IFSOCK},
    };
    for (const Case& one : cases) {
        SCOPED_TRACE(one.name);
        TearDown();
        SetUp();
        one.make(path);
        EXPECT_EQ(read_int("Timer", 150), 150);
        EXPECT_EQ(save_six({MODE_LIVE, 0, 0, 0, 0, 100}), IniWrite::file_failed);
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & S_IFMT, one.kind);
    }
}

TEST_F(SettingsOnDisk, AReadOnlyFileIsNotWrittenWhoeverAsks)
{
    write("[Setup]\nTimer=150\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(save_six({MODE_LIVE, 0, 0, 0, 0, 100}), IniWrite::file_failed);
    EXPECT_EQ(read(), "[Setup]\nTimer=150\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(entries(), 1u);
}

// A save keeps the file what it was to its owner: root saving a user's file
// must leave it the user's.
TEST_F(SettingsOnDisk, ASaveKeepsOwnerGroupAndMode)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root; run as root to check owners";
    write("[Setup]\nTimer=150\n");
    constexpr uid_t NOBODY = 65534;
    constexpr gid_t NOGROUP = 65534;
    ASSERT_EQ(chown(path.c_str(), NOBODY, NOGROUP), 0);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(save({MODE_LIVE, 0, 0, 0, 0, 100}));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, NOBODY);
    EXPECT_EQ(info.st_gid, NOGROUP);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(read_int("Timer", 150), 100);
}

TEST_F(SettingsOnDisk, TemporariesOfDeadProcessesGoAtTheNextSave)
{
    const pid_t dead = fork();
    ASSERT_GE(dead, 0);
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string stale = path + ".tmp" + std::to_string(dead) + "-0";
    const std::string alive = path + ".tmp1-0";  // init's: it may still be writing
    std::ofstream(stale) << "[Setup]\nMo";
    std::ofstream(alive) << "[Setup]\nMo";
    ASSERT_TRUE(save({MODE_LIVE, 0, 0, 0, 0, 100}));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(alive));
}
#endif

// What killed saves leave behind must not stop the next save. Temporaries
// were once named "dorra.ini.tmp0" to "dorra.ini.tmp99", tried in turn, so
// after a hundred killed saves no setting could ever be saved again.
TEST_F(SettingsOnDisk, TemporariesLeftByKilledSavesDoNotStopSaving)
{
    write("[Setup]\nTimer=150\n");
    for (int n = 0; n < 100; ++n)
        std::ofstream(path + ".tmp" + std::to_string(n)) << "[Setup]\nTim";
    ASSERT_TRUE(ini_write_string(path.c_str(), "Setup", "Timer", "999"));
    EXPECT_EQ(read(), "[Setup]\nTimer=999\n");
}

}  // namespace

// The pet's timer runs at the interval the platform clamps to, whatever
// "Timer" holds: never faster than every 10 ms, a negative value waits.
TEST_F(SettingsReading, TheTimerIntervalIsClampedAsOnEveryPlatform)
{
    for (auto [timer, interval] : {std::pair{"0", 10u}, {"9", 10u}, {"10", 10u}, {"-1", 0x7FFFFFFFu}, {"150", 150u}}) {
        SCOPED_TRACE(timer);
        TearDown();
        SetUp();
        fake.ini_files[ini_path()] = "[Setup]\nTimer="s + timer + "\n";
        fake.when_idle = [&] {
            EXPECT_EQ(fake_window("pet")->timers.at(1), interval);
            fake_post(pet_window(), MSG_COMMAND, CMD_EXIT);
        };
        EXPECT_EQ(run(5), 0);
    }
}
