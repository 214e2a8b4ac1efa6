#include "support/ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "temp_folder.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::string get(std::string_view text, const char* key, const char* section = "Setup")
{
    return ini_get(text, section, key).value_or("<missing>");
}

std::string set(std::string text, const char* key, const char* value, const char* section = "Setup")
{
    ini_set(text, section, key, value);
    return text;
}

// A folder of our own for file tests, removed afterwards.
struct IniFiles : testing::Test {
    fs::path folder;
    std::string path;

    void SetUp() override
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        folder = test_folder(std::string("dorrabee-ini-") + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = (folder / "dorra.ini").string();
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder, ignored);
    }
    void write(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
    std::string read() const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    size_t files() const { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); }
};

}  // namespace

TEST(IniParseInt, SignDigitsAndTheRestIgnored)
{
    EXPECT_EQ(ini_parse_int("150", 7), 150);
    EXPECT_EQ(ini_parse_int("  -25  ", 7), -25);
    EXPECT_EQ(ini_parse_int("+8", 7), 8);
    EXPECT_EQ(ini_parse_int("0150", 7), 150);
    EXPECT_EQ(ini_parse_int("12abc", 7), 12);
    EXPECT_EQ(ini_parse_int("1 2", 7), 1);
    EXPECT_EQ(ini_parse_int("abc", 7), 0);
    EXPECT_EQ(ini_parse_int("-", 7), 0);
    EXPECT_EQ(ini_parse_int("", 7), 7);
    EXPECT_EQ(ini_parse_int(" \t", 7), 7);
}

TEST(IniParseInt, ClampsToInt32)
{
    EXPECT_EQ(ini_parse_int("2147483647", 0), INT32_MAX);
    EXPECT_EQ(ini_parse_int("2147483648", 0), INT32_MAX);
    EXPECT_EQ(ini_parse_int("-2147483648", 0), INT32_MIN);
    EXPECT_EQ(ini_parse_int("-99999999999999999999999", 0), INT32_MIN);
    EXPECT_EQ(ini_parse_int("99999999999999999999999", 0), INT32_MAX);
}

TEST(IniGet, NamesIgnoreCaseAndBlanks)
{
    std::string text = "[ setup ]\n  TOP margin  =  12  \nmode=2\n";
    EXPECT_EQ(get(text, "Top Margin"), "12");
    EXPECT_EQ(get(text, "Mode"), "2");
    EXPECT_EQ(get(text, "Timer"), "<missing>");
    EXPECT_EQ(get(text, "Mode", "Other"), "<missing>");
}

TEST(IniGet, FilesWrittenByOtherPrograms)
{
    // CRLF, quotes, a comment, a key before any section, a duplicate key and
    // no final newline.
    std::string text =
        "Mode=9\r\n; Mode=8\r\n[Other]\r\nMode=7\r\n[Setup]\r\nTimer=\"200\"\r\n"
        "Mode=1\r\nMode=2\r\nnot an entry\r\n[Setup]\r\nLeft Margin=5";
    EXPECT_EQ(get(text, "Timer"), "200");
    EXPECT_EQ(get(text, "Mode"), "1");
    EXPECT_EQ(get(text, "Left Margin"), "5");  // a second section of the same name is read too
    EXPECT_EQ(get(text, "Mode", "Other"), "7");
    EXPECT_EQ(get(text, "not an entry"), "<missing>");
    EXPECT_EQ(get("", "Mode"), "<missing>");
}

TEST(IniGet, GarbageIsHarmless)
{
    std::string text = "\0\xff[Setup\n=\n[\n]]=]\n\x80Mode=3\n[Setup]\nMode\0=4\nMode=5\n"s;
    EXPECT_EQ(get(text, "Mode"), "5");
    EXPECT_EQ(get(text, "\x80Mode", ""), "3");
    EXPECT_EQ(get(std::string(100000, '['), "Mode"), "<missing>");
}

TEST(IniSet, ChangesOnlyTheValueOfTheFirstMatchingKey)
{
    EXPECT_EQ(set("; mine\r\n[setup]\r\n mode = 1 ; old\r\nMode=2\r\n\r\n[Other]\r\nx=y\r\n", "Mode", "0"),
              "; mine\r\n[setup]\r\n mode = 0\r\nMode=2\r\n\r\n[Other]\r\nx=y\r\n");
    EXPECT_EQ(set("[Setup]\nTimer=150", "Timer", "200"), "[Setup]\nTimer=200");
    EXPECT_EQ(set("[Setup]\nTimer=", "Timer", "200"), "[Setup]\nTimer=200");
}

TEST(IniSet, AddsAMissingKeyAfterTheLastLineOfItsSection)
{
    EXPECT_EQ(set("[Setup]\r\nMode=1\r\n\r\n[Other]\r\n", "Timer", "150"),
              "[Setup]\r\nMode=1\r\nTimer=150\r\n\r\n[Other]\r\n");
    EXPECT_EQ(set("[Setup]\nMode=1", "Timer", "150"), "[Setup]\nMode=1\nTimer=150\n");
    EXPECT_EQ(set("[Setup]\n[Other]\n", "Timer", "150"), "[Setup]\nTimer=150\n[Other]\n");
}

TEST(IniSet, AddsAMissingSectionAtTheEnd)
{
    std::string nl(INI_NEWLINE);
    EXPECT_EQ(set("", "Mode", "1"), "[Setup]" + nl + "Mode=1" + nl);
    EXPECT_EQ(set("[Other]\r\nx=y", "Mode", "1"), "[Other]\r\nx=y\r\n\r\n[Setup]\r\nMode=1\r\n");
    EXPECT_EQ(set("Mode=9\n\n", "Mode", "1"), "Mode=9\n\n[Setup]\nMode=1\n");
    std::string text;
    for (const char* key : {"Mode", "Top Margin", "Timer"})
        ini_set(text, "Setup", key, "1");
    EXPECT_EQ(text, "[Setup]" + nl + "Mode=1" + nl + "Top Margin=1" + nl + "Timer=1" + nl);
}

TEST_F(IniFiles, MissingFileReadsAsDefaults)
{
    EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Timer", 150), 150);
    EXPECT_FALSE(ini_read_string(path.c_str(), "Setup", "Timer"));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(IniFiles, ReadsIntegersByTheRule)
{
    write("[Setup]\r\nMode=3\r\nTop Margin=-5\r\nTimer=\r\nLeft Margin=abc\r\nRight Margin= 12px");
    EXPECT_EQ(ini_read_int(path.c_str(), "setup", "mode", 1), 3);
    EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Top Margin", 0), -5);
    EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Timer", 150), 150);
    EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Left Margin", 7), 0);
    EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Right Margin", 7), 12);
    EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Bottom Margin", 7), 7);
}

TEST_F(IniFiles, WritingCreatesTheFileAndKeepsEveryOtherByte)
{
    ASSERT_TRUE(ini_write_string(path.c_str(), "Setup", "Mode", "2"));
    EXPECT_EQ(read(), "[Setup]" + std::string(INI_NEWLINE) + "Mode=2" + std::string(INI_NEWLINE));

    std::string original = "; kept\r\n[Other]\r\nMode=7\r\n\r\n[SETUP]\r\nmode = 1\r\nTimer=150";
    write(original);
    ASSERT_TRUE(ini_write_string(path.c_str(), "Setup", "Mode", "0"));
    EXPECT_EQ(read(), "; kept\r\n[Other]\r\nMode=7\r\n\r\n[SETUP]\r\nmode = 0\r\nTimer=150");
    ASSERT_TRUE(ini_write_string(path.c_str(), "Setup", "Left Margin", "4"));
    EXPECT_EQ(read(), "; kept\r\n[Other]\r\nMode=7\r\n\r\n[SETUP]\r\nmode = 0\r\nTimer=150\r\nLeft Margin=4\r\n");
    EXPECT_EQ(files(), 1u);  // no temporary file left behind
}

TEST_F(IniFiles, FileAndTextRulesAgree)
{
    std::string binary = "x\0y=1\r\n[Setup]\r\n\xfe\xff=2\r\nTimer=3\r\n"s;
    binary += std::string(INI_LINE_LIMIT + 10, 'a') + "\r\n[Other]\n";
    std::string text = binary;
    write(binary);
    for (auto [key, value] : {std::pair{"Timer", "5"}, {"Mode", "1"}, {"\xfe\xff", "6"}}) {
        ini_set(text, "Setup", key, value);
        ASSERT_TRUE(ini_write_string(path.c_str(), "Setup", key, value));
    }
    ini_set(text, "New", "Mode", "1");
    ASSERT_TRUE(ini_write_string(path.c_str(), "New", "Mode", "1"));
    EXPECT_EQ(read(), text);
    EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Timer", 0), 5);
}

// One save of several keys writes what setting them one by one would,
// whichever of them the file already holds (the section's last line among them).
TEST_F(IniFiles, ASaveOfSeveralKeysWritesWhatOneByOneWould)
{
    const char* keys[] = {"Mode", "Timer", "Left Margin"};
    const char* values[] = {"2", "200", "20"};
    for (std::string original : {"[Setup]\nTimer=1000\n", "[Setup]\nMode=1\nx=y\n\n[Other]\nTimer=5\n", "", "; note"}) {
        SCOPED_TRACE(original);
        write(original);
        for (size_t i = 0; i < 3; ++i)
            ini_set(original, "Setup", keys[i], values[i]);
        ASSERT_EQ(ini_write_strings(path.c_str(), "Setup", keys, values, 3), IniWrite::written);
        EXPECT_EQ(read(), original);
    }
}

// What a Windows editor saves: UTF-8 with a byte-order mark, or UTF-16 in
// either order. Read as the Windows build reads them, and written back in
// the file's own encoding, with nothing else changed.
TEST_F(IniFiles, ByteOrderMarksAndUtf16AreReadAndKept)
{
    const std::string mark = "\xEF\xBB\xBF";
    const char* keys[] = {"Mode", "Timer", "Zoom"};
    const char* values[] = {"2", "70", "3"};
    for (const std::string& text : {"[Setup]\r\nMode=0\r\nTimer=150\r\n"s, "Mode=9\n[Setup]\nTimer=150\n"s}) {
        SCOPED_TRACE(text);
        write(mark + text);
        EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Timer", 0), 150);
        EXPECT_EQ(get(mark + text, "Timer"), "150");
        std::string expected = mark + text;
        for (size_t i = 0; i < 3; ++i)
            ini_set(expected, "Setup", keys[i], values[i]);
        ASSERT_EQ(ini_write_strings(path.c_str(), "Setup", keys, values, 3), IniWrite::written);
        EXPECT_EQ(read(), expected);
        EXPECT_EQ(read().find("[Setup]", read().find("[Setup]") + 1), std::string::npos) << "one section";
    }

    // UTF-16, both orders, a letter beyond the basic plane and a lone surrogate kept.
    const std::u16string wide = u"[Setup]\r\nMode=1\r\nName=\U0001F408\xD800x\r\n";
    for (const bool little : {true, false}) {
        auto encode = [little](const std::u16string& text) {
            std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
            for (const char16_t unit : text) {
                const char high = char(unit >> 8), low = char(unit & 0xFF);
                bytes += little ? std::string{low, high} : std::string{high, low};
            }
            return bytes;
        };
        write(encode(wide));
        EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Mode", 0), 1) << little;
        ASSERT_EQ(ini_write_strings(path.c_str(), "Setup", keys, values, 3), IniWrite::written);
        EXPECT_EQ(read(), encode(u"[Setup]\r\nMode=2\r\nName=\U0001F408\xD800x\r\nTimer=70\r\nZoom=3\r\n")) << little;
        EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Zoom", 0), 3) << little;
    }
}

TEST_F(IniFiles, AFolderInThePlaceOfTheFileIsNeitherReadNorReplaced)
{
    fs::create_directory(path);
    EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Mode", 1), 1);
    EXPECT_FALSE(ini_write_string(path.c_str(), "Setup", "Mode", "0"));
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(files(), 1u);  // no temporary file left behind
}

#ifndef _WIN32
TEST_F(IniFiles, UnwritableFolderFailsAndKeepsTheFile)
{
    write("[Setup]\nMode=1\n");
    fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (ini_write_string(path.c_str(), "Setup", "Mode", "2"))
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_EQ(read(), "[Setup]\nMode=1\n");
}

TEST_F(IniFiles, UnreadableFileIsNeitherReadNorReplaced)
{
    write("[Setup]\nMode=2\n");
    fs::permissions(path, fs::perms::none);
    if (std::ifstream(path).is_open())
        GTEST_SKIP() << "running with rights that ignore file permissions";
    EXPECT_EQ(ini_read_int(path.c_str(), "Setup", "Mode", 1), 1);
    EXPECT_FALSE(ini_write_string(path.c_str(), "Setup", "Mode", "0"));
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_EQ(read(), "[Setup]\nMode=2\n");
}

TEST_F(IniFiles, WritesThroughALink)
{
    fs::create_directory(folder / "real");
    std::ofstream(folder / "real" / "dorra.ini") << "[Setup]\nMode=1\n";
    fs::create_symlink(folder / "real" / "dorra.ini", path);
    ASSERT_TRUE(ini_write_string(path.c_str(), "Setup", "Mode", "2"));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(read(), "[Setup]\nMode=2\n");
}
#endif
