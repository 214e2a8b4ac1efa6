// dorrabee-sim run in-process: the contract script authors rely on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/action_script.h"
#include "engine/script_file.h"
#include "tools/sim/pet_pictures.h"
#include "tools/sim/sim.h"

#include "tests/engine/sim_run.h"
#include "tests/graphics/bmp_builder.h"
#include "tests/shell/temp_folder.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

std::string dump_builtin()
{
    return sim({"--dump-script"}).out;
}

// A script file in the working folder, removed at the end of the test.
class ScriptFileTest : public ::testing::Test {
protected:
    std::string write(const std::string& contents)
    {
        const std::string path = std::string("sim_test_") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 std::to_string(paths.size()) + ".txt";
        std::ofstream(path, std::ios::binary) << contents;
        paths.push_back(path);
        return path;
    }
    void TearDown() override
    {
        for (const std::string& path : paths)
            std::remove(path.c_str());
    }
    std::vector<std::string> paths;
};

// The built-in dump with one action row replaced (n 1-based).
std::string with_row(int n, const std::string& row)
{
    std::istringstream in(dump_builtin());
    std::string result;
    int data_line = 0;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#' && ++data_line == n)
            line = row;
        result += line + "\n";
    }
    return result;
}

TEST(Sim, DefaultRunPrintsTheStartAndOneLinePerTick)
{
    const SimRun run = sim({});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(run.lines.size(), 102u);
    EXPECT_EQ(run.lines[0], "tick,x,y,image,mirrored,action,facing");
    // Seed 1: the first two draws are 41 and 18467.
    EXPECT_EQ(run.lines[1], "0,41,317,0,0,1,0");
    EXPECT_THAT(run.lines[2], StartsWith("1,"));
    EXPECT_THAT(run.lines[101], StartsWith("100,"));
    EXPECT_EQ(
        sim({"--seed", "1", "--screen", "1024x768", "--margins", "0,0,0,0", "--timer", "150", "--ticks", "100"}).out,
        run.out);
}

TEST(Sim, OptionsShapeTheRun)
{
    const SimRun run =
        sim({"--seed", "4294967295", "--screen", "300x200", "--margins", "10,20,30,40", "--ticks", "500"});
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 502u);
    for (size_t k = 1; k < run.lines.size(); ++k) {
        int tick, x, y, image, mirrored, action, facing;
        ASSERT_EQ(std::sscanf(run.lines[k].c_str(), "%d,%d,%d,%d,%d,%d,%d", &tick, &x, &y, &image, &mirrored, &action,
                              &facing),
                  7);
        EXPECT_EQ(tick, static_cast<int>(k) - 1);
        EXPECT_GE(x, 20);
        EXPECT_LE(x, 300 - 42 - 40);
        EXPECT_GE(y, 10);
        EXPECT_LE(y, 200 - 42 - 30);
        EXPECT_GE(image, 0);
        EXPECT_LE(image, 107);
        EXPECT_GE(action, 1);
        EXPECT_LE(action, 65);
    }
    EXPECT_NE(sim({"--seed", "2"}).out, sim({"--seed", "3"}).out);
    EXPECT_EQ(sim({"--ticks", "0"}).lines.size(), 2u);
}

TEST(Sim, LoaderMessagesComeFirst)
{
    SimRun run = sim({"--screen", "41x21", "--ticks", "3"});
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 4u + 5u);
    EXPECT_EQ(run.lines[0], "** Action [21] have defined X bounding action list but have no horizontal movement");
    EXPECT_EQ(run.lines[3], "** Action [61] have defined Y bounding action list but have no vertical movement");
    EXPECT_EQ(run.lines[4], "tick,x,y,image,mirrored,action,facing");
    EXPECT_EQ(run.lines[5], "0,0,0,0,0,1,0");
}

TEST(Sim, EventsCarryThePet)
{
    // Action 1 drags as 56; the pet is carried to the far right and dropped.
    const SimRun run = sim({"--ticks", "6", "--events", "1:press:10,10;2:move:2000,10;2:move:65535,10;5:release"});
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 8u);
    EXPECT_EQ(run.lines[2], "1,41,317,88,0,56,0");  // action 56's second image, 89
    // Clamped to 982, then 65535 reads as -1: 982 - 10 - 1.
    EXPECT_EQ(run.lines[3], "2,971,317,87,0,56,0");
    EXPECT_EQ(run.lines[5], "4,971,317,87,0,56,0");
    // Back to action 1 from its first frame; the step then shows frame 1.
    EXPECT_EQ(run.lines[6], "5,971,317,0,0,1,0");
    // Events of the same tick apply in the order given, whatever the order of the list.
    EXPECT_EQ(sim({"--ticks", "6", "--events", "5:release;2:move:2000,10;1:press:10,10;2:move:65535,10"}).out, run.out);
}

TEST_F(ScriptFileTest, BrokenScriptStopsAfterItsMessage)
{
    const SimRun run = sim({"--script", write(with_row(3, "0\t\t\t\t\t\t\t\t\t4-20\t55\t8"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "** ERROR : Invalid next action list syntax for action 3\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(ScriptFileTest, EscapesFromTheScriptReachTheTerminalAsText)
{
    // A next-action cell that would retitle the terminal and turn its text red.
    const SimRun run = sim({"--script", write(with_row(3, "1,8,9,10\t8-100,\x1B]0;owned\x07\x1B[31m"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.find('\x1B'), std::string::npos) << run.out;
    EXPECT_THAT(run.out, HasSubstr("\\x1B]0;owned\\x07\\x1B[31m")) << run.out;
}

TEST_F(ScriptFileTest, DumpAndLoadRoundTrip)
{
    const std::string dump = dump_builtin();
    const std::string path = write(dump);
    for (const char* seed : {"1", "99", "123456"})
        EXPECT_EQ(sim({"--script", path, "--seed", seed, "--ticks", "400"}).out,
                  sim({"--seed", seed, "--ticks", "400"}).out);
    EXPECT_EQ(sim({"--script", path, "--dump-script"}).out, dump);

    ScriptFile parsed;
    std::string error;
    ASSERT_TRUE(parse_script_file(dump, parsed, error)) << error;
    for (int c = 0; c < SCRIPT_COLUMN_COUNT; ++c)
        for (int i = 0; i < SCRIPT_ACTION_COUNT; ++i)
            ASSERT_STREQ(parsed.text.columns[c][i], builtin_script().columns[c][i]);
    for (int i = 0; i < SCRIPT_DIALOG_ANIMATION_COUNT; ++i)
        ASSERT_STREQ(parsed.text.dialog_animations[i], builtin_script().dialog_animations[i]);
}

TEST_F(ScriptFileTest, FileFormat)
{
    // CR line ends, comments, blank lines and short rows are all accepted.
    std::string crlf;
    for (char c : with_row(65, "107,108,107,108\t65-60,64-40\n\n# short row above"))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const SimRun run = sim({"--script", write(crlf)});
    EXPECT_EQ(run.status, 0) << run.err;
    // Row 65 lost its same_ratio and dislikes, so nothing warns.
    EXPECT_EQ(run.lines[0], "tick,x,y,image,mirrored,action,facing");

    const std::string spaced = with_row(13, " 36,37,36,37 \t 13-70, 1-30 ");
    EXPECT_EQ(sim({"--script", write(spaced)}).status, 0);

    SimRun bad = sim({"--script", write(with_row(4, "1\t1-100\t\t\t\t\t\t\t\t\t\t\t"))});
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.err, HasSubstr("line 7"));
    EXPECT_THAT(bad.err, HasSubstr("13 cells"));
    EXPECT_EQ(bad.out, "");

    const std::string dump = dump_builtin();
    bad = sim({"--script", write(dump.substr(0, dump.rfind("107,108")))});
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.err, HasSubstr("34 dialog animations"));

    bad = sim({"--script", write(dump + "1,2\n")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.err, HasSubstr("line 105"));

    bad = sim({"--script", write("")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.err, HasSubstr("0 action rows"));

    bad = sim({"--script", "no/such/file.txt"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.err, HasSubstr("no/such/file.txt"));
}

TEST(Sim, UnusableArgumentsAreNamed)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--seed", "-1"},          {"--seed", "4294967296"},   {"--seed", "x"},        {"--screen", "1024"},
        {"--screen", "0x768"},     {"--screen", "1024x768x2"}, {"--margins", "1,2,3"}, {"--margins", "1,2,3,4,"},
        {"--margins", "a,0,0,0"},  {"--timer", "15o"},         {"--ticks", "-1"},      {"--ticks"},
        {"--events", "0:release"}, {"--events", "1:press:1"},  {"--events", "1:drop"}, {"--events", "1:move:70000,0"},
        {"--frobnicate"},
    };
    for (const auto& args : cases) {
        const SimRun run = sim(args);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr(args.size() > 1 ? args[1] : args[0])) << run.err;
    }
    EXPECT_EQ(sim({"--margins", "-5,-6,-7,-8", "--timer", "-1", "--ticks", "1"}).status, 0);
}

// Whatever is given as a script, the tool ends with its own error, in bounded
// memory: a folder is named as one, an endless device or a huge file refused.
TEST_F(ScriptFileTest, WhatIsNoScriptFileIsAToolError)
{
    struct Case {
        std::string path;
        const char* says;
    };
    std::vector<Case> cases = {
        {".", "is a folder"},
        {write(std::string((1 << 20) + 1, '#')), "is larger than"},
    };
#ifndef _WIN32
    cases.push_back({"/dev/zero", "is larger than"});
#endif
    for (const Case& one : cases) {
        const SimRun run = sim({"--script", one.path});
        EXPECT_EQ(run.status, 2) << one.path;
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr(one.says)) << run.err;
    }
}

TEST_F(ScriptFileTest, OutputThatCannotBeWrittenIsAToolError)
{
    const std::string path = write("");
    std::FILE* read_only = std::fopen(path.c_str(), "rb");
    ASSERT_NE(read_only, nullptr);
    std::FILE* err = std::tmpfile();
    const char* argv[] = {"dorrabee-sim", "--ticks", "5"};
    EXPECT_EQ(run_sim(3, argv, read_only, err), 2);
    std::fclose(read_only);
    EXPECT_THAT(read_back(err), HasSubstr("cannot write the output"));
}

TEST(Sim, HelpSaysHowToUseIt)
{
    const SimRun run = sim({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* word : {"--script", "--seed", "--screen", "--margins", "--timer", "--ticks", "--events",
                             "--dump-script", "press", "release", "TAB", "#"})
        EXPECT_THAT(run.out, HasSubstr(word));
}

}  // namespace

// ---- --check: the pictures for an author, written where the author said.

namespace check {

namespace fs = std::filesystem;

struct CheckTest : ::testing::Test {
    fs::path root = test_folder("dorrabee-check");
    fs::path pet = root / "pet";
    fs::path out = root / "out";
    void SetUp() override
    {
        fs::remove_all(root);
        fs::create_directories(pet);
        fs::create_directories(out);
        std::vector<uint8_t> indices(840 * 252);
        for (size_t p = 0; p < indices.size(); ++p)
            indices[p] = p % 42 > 20;
        write_file((pet / "sprites.bmp").string(),
                   build_bmp({840, 252, 8, 0, 2, {0xFFFF00, 0x802020}, pack_indexed(indices, 840, 252, 8, false), {}}));
    }
    void TearDown() override { fs::remove_all(root); }
    SimRun check(const fs::path& into) { return sim({"--check", pet.string(), "--out", into.string()}); }
};

TEST_F(CheckTest, WritesOnlyItsOwnFilesNeverThroughALinkNorIntoThePet)
{
    // A folder not there yet is made, as the worked example in the docs expects.
    fs::remove_all(out);
    ASSERT_EQ(check(out / "new" / "pictures").status, 0);
    EXPECT_TRUE(fs::exists(out / "new" / "pictures" / "contact.png"));
    ASSERT_EQ(check(out).status, 0);
    EXPECT_TRUE(fs::exists(out / "contact.png"));
    EXPECT_TRUE(fs::exists(out / "action-65.gif"));
    EXPECT_EQ(check(out).status, 0) << "its own pictures are replaced";

    // Into the pet's folder (or one inside it): refused before anything is written.
    for (const fs::path& into : {pet, pet / "."}) {
        const SimRun run = check(into);
        EXPECT_EQ(run.status, 2);
        EXPECT_THAT(run.err, HasSubstr("pet's folder"));
    }
    EXPECT_FALSE(fs::exists(pet / "contact.png"));

    // A user's file, a link to one, and a second name of one: left alone.
    const fs::path user = root / "user.txt";
    std::ofstream(user) << "mine";
#ifndef _WIN32
    fs::create_symlink(user, out / "contact.png.new");
    fs::remove(out / "contact.png");
    fs::create_symlink(user, out / "contact.png");
    EXPECT_EQ(check(out).status, 2);
    fs::remove(out / "contact.png");
    fs::create_hard_link(user, out / "contact.png");
    EXPECT_EQ(check(out).status, 2);
    fs::remove(out / "contact.png");
    fs::remove(out / "contact.png.new");
    fs::remove(out / "action-01.gif");
    fs::create_symlink(root / "elsewhere.gif", out / "action-01.gif");
    EXPECT_EQ(check(out).status, 2);
    EXPECT_FALSE(fs::exists(root / "elsewhere.gif")) << "no file is made where a link points";
    fs::remove(out / "action-01.gif");
#endif
    std::ofstream(out / "action-02.gif", std::ios::binary | std::ios::trunc) << "mine";
    const SimRun run = check(out);
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, HasSubstr("action-02.gif is not a picture this tool wrote"));
    for (const fs::path& kept_file : {user, out / "action-02.gif"}) {
        std::ifstream kept(kept_file);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "mine") << kept_file;
    }
}

TEST_F(CheckTest, SheetsThatWillNotLookAsMeantAreWarnedOf)
{
    struct Case {
        uint32_t ground;  // each cell's left half; its right half is the coat
        bool fringe;      // a column of near-yellow between them
        const char* warning;
    };
    for (const Case& c : {Case{0xFFFF00, false, nullptr}, Case{0x203080, false, "every image shows as a solid block"},
                          Case{0xFFFF00, true, "42 pixels at the pet's edges are nearly the key colour"}}) {
        // In the first image only: 42 rows of one fringe pixel.
        std::vector<uint8_t> indices(840 * 252);
        for (size_t p = 0; p < indices.size(); ++p)
            indices[p] = c.fringe && p % 840 == 21 && p / 840 < 42 ? 2 : p % 42 > 20;
        write_file(
            (pet / "sprites.bmp").string(),
            build_bmp(
                {840, 252, 8, 0, 3, {c.ground, 0x802020, 0xF0E040}, pack_indexed(indices, 840, 252, 8, false), {}}));
        const SimRun run = check(out);
        EXPECT_EQ(run.status, 0) << run.out;
        if (c.warning)
            EXPECT_THAT(run.out, ::testing::AllOf(HasSubstr("pet: warning: sprites.bmp: "), HasSubstr(c.warning)));
        else
            EXPECT_THAT(run.out, ::testing::Not(HasSubstr("warning:")));
    }
}

TEST_F(CheckTest, AScriptOfHugeMovesWritesBoundedPicturesAndSaysWhatWasCut)
{
    // Every action 99 frames long, moving 500 by 380 pixels a tick.
    std::string script = sim({"--dump-script"}).out;
    std::string frames = "1";
    for (int k = 1; k < 99; ++k)
        frames += ",2";
    std::istringstream in(script);
    std::string rows;
    int row = 0;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#' && ++row <= 65) {
            std::vector<std::string> cells;
            std::stringstream cells_in(line);
            for (std::string cell; std::getline(cells_in, cell, '\t');)
                cells.push_back(cell);
            cells.resize(12);
            cells[0] = frames;
            cells[2] = "500";
            cells[3] = "380";
            line.clear();
            for (size_t c = 0; c < cells.size(); ++c)
                line += cells[c] + (c + 1 < cells.size() ? "\t" : "");
        }
        rows += line + "\n";
    }
    std::ofstream(pet / "behaviour.script", std::ios::binary) << rows;
    const SimRun run = check(out);
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    uintmax_t total = 0;
    for (const auto& entry : fs::directory_iterator(out)) {
        EXPECT_LE(entry.file_size(), GIF_BYTES_LIMIT) << entry.path();
        total += entry.file_size();
    }
    EXPECT_LE(total, PICTURE_BYTES_LIMIT);
    EXPECT_THAT(run.out, HasSubstr("action-01.gif: the first "));
    EXPECT_THAT(run.out, HasSubstr("and the actions after it are not written"));
}

}  // namespace check
