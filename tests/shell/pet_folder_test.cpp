// Pet folders: where they are found, which names are refused, pet.ini, the
// mask made from the sheet, and every way a folder fails: one message that
// names the pet, no engine left running on it, nothing written.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>

#include "engine/engine.h"
#include "engine/engine.h"
#include "graphics/sprites.h"
#include "shell/pet_folder.h"
#include "support/ini.h"
#include "tests/graphics/bmp_builder.h"
#include "tests/graphics/png_builder.h"
#include "tests/shell/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t YELLOW = 0xFFFF00;
constexpr uint32_t RED = 0xC02020;

// An 840-pixel-wide sheet of `rows` image rows, red with a yellow left half.
std::vector<uint8_t> sheet_bmp(int rows, int32_t width = 840)
{
    const int32_t height = rows * 42;
    std::vector<uint8_t> indices(size_t(width) * size_t(height));
    for (size_t p = 0; p < indices.size(); ++p)
        indices[p] = p % size_t(width) % 42 < 21 ? 0 : 1;
    return build_bmp({width, height, 8, 0, 2, {YELLOW, RED}, pack_indexed(indices, width, height, 8, false), {}});
}

std::vector<uint8_t> mask_bmp(int32_t height, uint16_t bits = 1)
{
    const std::vector<uint8_t> indices(size_t(840) * size_t(height), 1);
    return build_bmp(
        {840, height, bits, 0, 2, {0x000000, 0xFFFFFF}, pack_indexed(indices, 840, height, bits, false), {}});
}

void write_text(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string builtin_script_text()
{
    std::string text;
    for (int i = 0; i < SCRIPT_ACTION_COUNT; ++i)
        for (int c = 0; c < SCRIPT_COLUMN_COUNT; ++c)
            text += std::string(builtin_script().columns[c][i]) + (c + 1 < SCRIPT_COLUMN_COUNT ? "\t" : "\n");
    for (const char* routine : builtin_script().dialog_animations)
        text += std::string(routine) + "\n";
    return text;
}

// What a folder holds, to show that loading wrote nothing.
std::map<std::string, uintmax_t> contents(const fs::path& folder)
{
    std::map<std::string, uintmax_t> seen;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        seen[entry.path().string()] = entry.is_regular_file() ? entry.file_size() : 0;
    return seen;
}

struct PetFolderTest : testing::Test {
    fs::path root = test_folder("dorrabee-pets");
    void SetUp() override
    {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override
    {
        pet_release(loaded);
        fs::remove_all(root);
    }
    // Starts the engine on the pet, on a 1024 x 768 screen.
    bool start(const PetFolder& pet, std::string& messages)
    {
        pet_release(loaded);
        loaded = pet_engine_start(pet, Room{0, 0, 1024, 768, 0, 0, 0, 0}, 150, 1, messages);
        return loaded != nullptr;
    }
    // The first image action n (1-based) shows: tells which script runs.
    ImageRef first_image(int n) const { return loaded->actions[n - 1].frames[0]; }
    PetState* loaded = nullptr;
    fs::path make_pet(const fs::path& place, const std::string& folder, int rows = 6)
    {
        fs::create_directories(place / folder);
        write_file((place / folder / "sprites.bmp").string(), sheet_bmp(rows));
        return place / folder;
    }
};

TEST(PetName, FolderNamesOnly)
{
    for (const char* name : {"domino", "Tom Cat", "\xE7\x8C\xAB", "a.b", "\"half", "it's", "'", "\"x'"})
        EXPECT_TRUE(pet_name_valid(name)) << name;
    for (const char* name : {"", ".", "..", "a/b", "a\\b", "c:", "x..y", "dot.", "blank ", "tab\t", "../etc",
                             // what the settings file would trim or unquote
                             " lead", "\"quoted\"", "'single'"})
        EXPECT_FALSE(pet_name_valid(name)) << name;
    EXPECT_FALSE(pet_name_valid(std::string(49, 'a')));
    // Every name that may be listed reads back from the settings as saved.
    for (const char* name : {" lead", "\"quoted\"", "'single'", "\"half", "it's", "'", "\"x'", "Tom Cat"}) {
        std::string file;
        ini_set(file, "Setup", "Pet", name);
        if (pet_name_valid(name)) {
            EXPECT_EQ(ini_get(file, "Setup", "Pet"), name) << name;
        }
    }
}

TEST(PetName, IniNameOrFolderName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"[Pet]\nName=Domino\n", "Domino"}, {"[pet]\r\nname = Tom \r\n", "Tom"}, {"[Other]\nName=Wrong\n", "folder"},
        {"[Pet]\nName=\n", "folder"},       {"[Pet]\nName=a\x01z\n", "folder"},  {"Name=Outside\n", "folder"},
    };
    for (const auto& [ini, name] : cases)
        EXPECT_EQ(pet_display_name(std::string(ini), "folder"), name) << ini;
    EXPECT_EQ(pet_display_name(std::nullopt, "folder"), "folder");
}

TEST_F(PetFolderTest, FoundInBothPlacesTheFirstWinning)
{
    const fs::path program = root / "program", user = root / "user";
    make_pet(program, "b");
    make_pet(program, "a");
    write_text(program / "a" / "pet.ini", "[Pet]\nName=Alpha\n");
    fs::create_directories(program / "no sheet");
    write_text(program / "file", "not a folder");
    make_pet(user, "a");
    make_pet(user, "z");
#ifndef _WIN32
    fs::create_directory_symlink(program / "b", user / "link");
#endif
    const std::vector<PetEntry> found = pets_found({program.string(), (root / "missing").string(), user.string()});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].folder, "a");
    EXPECT_EQ(found[0].name, "Alpha");
    EXPECT_EQ(found[0].path, (program / "a").string());
    EXPECT_EQ(found[1].folder, "b");
    EXPECT_EQ(found[2].path, (user / "z").string());

    const std::vector<std::string> places = {program.string(), user.string()};
    EXPECT_EQ(pet_path(places, "z"), (user / "z").string());
    EXPECT_EQ(pet_path(places, "../program/a"), "");
    EXPECT_EQ(pet_path(places, "absent"), "");
}

// The menu lists the first pets only, reads little of each pet.ini, and
// reads a pet.ini again only when it has changed.
TEST_F(PetFolderTest, ListingIsBoundedAndRemembersNames)
{
    for (const char* folder : {"a", "b", "c", "d"}) {
        fs::create_directories(root / folder);
        write_text(root / folder / "sprites.bmp", "BM");  // a listing does not read the sheet
    }
    write_text(root / "a" / "pet.ini", "[Pet]\nName=Alpha\n" + std::string(2 << 20, ';'));
    write_text(root / "b" / "pet.ini", std::string(PET_NAME_READ, '\n') + "[Pet]\nName=Too far\n");
    PetNameCache names;
    size_t unlisted = 0;
    std::vector<PetEntry> found = pets_found({root.string()}, 2, &names, &unlisted);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "Alpha") << "a large pet.ini still names its pet";
    EXPECT_EQ(found[1].name, "b");
    EXPECT_EQ(unlisted, 2u);

    // Same size and time: the name remembered is shown, the file not read.
    const fs::path ini = root / "a" / "pet.ini";
    const auto time = fs::last_write_time(ini);
    std::string same(fs::file_size(ini), ';');
    same.replace(0, 16, "[Pet]\nName=Omega");
    write_text(ini, same);
    fs::last_write_time(ini, time);
    EXPECT_EQ(pets_found({root.string()}, 2, &names, &unlisted)[0].name, "Alpha");
    // Changed: read again.
    write_text(ini, "[Pet]\nName=Omega\n");
    EXPECT_EQ(pets_found({root.string()}, 2, &names, &unlisted)[0].name, "Omega");
    EXPECT_EQ(pets_found({root.string()}).size(), 4u);
}

TEST(PetPlaces, BesideTheProgramThenTheUsers)
{
    const std::vector<std::string> places = pet_places("dir");
    ASSERT_FALSE(places.empty());
#ifdef _WIN32
    EXPECT_EQ(places[0], "dir\\pets");
#else
    EXPECT_EQ(places[0], "dir/pets");
    EXPECT_EQ(pet_places("/usr/bin")[1], "/usr/share/dorrabee/pets");
    EXPECT_EQ(pet_places("/usr/games")[1], "/usr/share/dorrabee/pets");
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(pet_places("").back(), "/data/dorrabee/pets");
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/me", 1);
    EXPECT_EQ(pet_places("").back(), "/home/me/.local/share/dorrabee/pets");
#endif
}

TEST_F(PetFolderTest, SheetWithoutMaskOrScriptRunsOnTheBuiltInScript)
{
    PetFolder pet;
    std::string message;
    ASSERT_TRUE(pet_folder_load(make_pet(root, "plain").string(), pet, message)) << message;
    EXPECT_EQ(pet.name, "plain");
    EXPECT_EQ(pet.image_cells, 108);
    EXPECT_FALSE(pet.has_script);
    // The mask is the sheet's non-yellow pixels, in the 1-bit layout the outlines read.
    ASSERT_EQ(pet.mask.bits_per_pixel, 1);
    EXPECT_EQ(pet.mask.palette, (std::vector<uint32_t>{0x000000, 0xFFFFFF}));
    for (size_t p : {size_t(0), size_t(20), size_t(21), size_t(840 * 100 + 63)})
        EXPECT_EQ(pet.mask.indices[p], pet.sheet.pixels[p] == RED ? 1 : 0) << p;
    std::string messages;
    EXPECT_TRUE(start(pet, messages)) << messages;
    EXPECT_EQ(first_image(36), 53) << "the built-in script runs";
}

TEST_F(PetFolderTest, ShortSheetHoldsItsOwnImagesAndItsOwnScriptRuns)
{
    const fs::path folder = make_pet(root, "short", 2);
    write_file((folder / "mask.bmp").string(), mask_bmp(84));
    PetFolder pet;
    std::string message, messages;
    ASSERT_TRUE(pet_folder_load(folder.string(), pet, message)) << message;
    EXPECT_EQ(pet.image_cells, 40);
    EXPECT_EQ(pet.sheet.height, 84);
    EXPECT_EQ(pet.mask.height, 84);
    // The built-in script shows images up to 108, well past the sheet's 40.
    EXPECT_FALSE(start(pet, messages));
    EXPECT_EQ(messages, "short: the script shows image 108, but sprites.bmp holds 40");
    EXPECT_EQ(loaded, nullptr);

    // Its own script, every image folded into the first 40, runs.
    std::string script = builtin_script_text();
    std::string folded;
    for (size_t at = 0, line_start = 0; at < script.size(); ++at) {
        const bool in_images = script.find('\t', line_start) > at;
        if (in_images && std::isdigit(static_cast<unsigned char>(script[at]))) {
            size_t end = at;
            while (std::isdigit(static_cast<unsigned char>(script[end])))
                ++end;
            folded += std::to_string((std::stoi(script.substr(at, end - at)) - 1) % 40 + 1);
            at = end - 1;
        } else {
            folded += script[at];
            if (script[at] == '\n')
                line_start = at + 1;
        }
    }
    write_text(folder / "behaviour.script", folded);
    PetFolder own;
    messages.clear();
    ASSERT_TRUE(pet_folder_load(folder.string(), own, message)) << message;
    EXPECT_TRUE(start(own, messages)) << messages;
    EXPECT_EQ(first_image(36), 13) << "its own script runs: 53 folded into 40";
    // Images 41 to 108 are none of the sheet's: nothing is said of them.
    EXPECT_EQ(messages.find("** Image ["), std::string::npos) << messages;
}

// A pet needs no more actions than it has, nor About routines of its own.
TEST_F(PetFolderTest, AFourActionScriptLoadsAndLives)
{
    const fs::path folder = make_pet(root, "four", 1);
    write_text(folder / "behaviour.script",
               "# images\tnext\tdx\n1\t1-40,2-30,3-20,4-10\n2,3\t1-100\t-2\n4\t1-50,4-50\n5,6\t1-100\n");
    PetFolder pet;
    std::string message, messages;
    ASSERT_TRUE(pet_folder_load(folder.string(), pet, message)) << message;
    EXPECT_EQ(pet.script.actions_written, 4);
    EXPECT_STREQ(pet.script.text.dialog_animations[34], "1") << "About shows the first action's images";
    ASSERT_TRUE(start(pet, messages)) << messages;
    // Only images 7 to 20 of the one-row sheet go unused; nothing about actions 5 to 65.
    EXPECT_EQ(messages.find("Action ["), std::string::npos) << messages;
    EXPECT_EQ(messages.find("action:"), std::string::npos) << messages;
    EXPECT_EQ(messages.rfind("four: ** Image [7] have not been referenced", 0), 0u) << messages;
    for (int tick = 0; tick < 500; ++tick) {
        pet_step(loaded, Room{0, 0, 1024, 768, 0, 0, 0, 0});
        ASSERT_LT(loaded->current_action, 4) << tick;
    }
}

// The loader counts ratios in tenths; a pet's author reads them as written.
TEST_F(PetFolderTest, RatiosInAPetsMessagesAreAsItsAuthorWroteThem)
{
    const fs::path folder = make_pet(root, "four", 1);
    const std::string rest = "2,3\t1-100\t-2\n4\t1-50,4-50\n5,6\t1-100\n";
    const std::pair<std::string, std::string> cases[] = {
        {"1\t1-40,2-30,3-20,4-9\n", "four: behaviour.script line 1: ** Sum of ratio for action:1 = 99"},
        {"1\t1-40,2-30,3-20,4-10\t\t\t\t\t\t\t55\n",
         "four: behaviour.script line 1: ** The same ratio (55) for action [1] is too large"},
        {"1\t1-40,2-4000\n",
         "four: behaviour.script line 1: ** ERROR : For action 1, invalid ratio 4000, or next "
         "action 2"},
        {"1\t1-40,2-00\n",
         "four: behaviour.script line 1: ** ERROR : For action 1, invalid ratio 00, or next action 2"},
    };
    for (const auto& [first, said] : cases) {
        write_text(folder / "behaviour.script", first + rest);
        PetFolder pet;
        std::string message, messages;
        ASSERT_TRUE(pet_folder_load(folder.string(), pet, message)) << message;
        start(pet, messages);
        EXPECT_NE(messages.find(said), std::string::npos) << messages;
    }
}

TEST_F(PetFolderTest, EachFailureIsOneMessageNamingThePetAndWritesNothing)
{
    struct Case {
        const char* what;
        void (*spoil)(const fs::path& folder);
        const char* message;
    };
    const Case cases[] = {
        {"no sheet", [](const fs::path& f) { fs::remove(f / "sprites.bmp"); }, "Cat: sprites.bmp is missing"},
        {"not a picture", [](const fs::path& f) { write_text(f / "sprites.bmp", "GIF89a"); },
         "Cat: sprites.bmp: Not a BMP file"},
        {"narrow sheet", [](const fs::path& f) { write_file((f / "sprites.bmp").string(), sheet_bmp(1, 41)); },
         "Cat: sprites.bmp: 41 x 42 pixels; its cells are 42 x 42 (pet.ini's CellWidth and CellHeight), and it "
         "holds none"},
        // Cell sizes: the limits are 16 and 256, and the message names pet.ini's line.
        {"cell of 15", [](const fs::path& f) { write_text(f / "pet.ini", "[Pet]\nName=Cat\nCellWidth=15\n"); },
         "Cat: pet.ini line 3: CellWidth=15; a cell is 16 to 256 pixels"},
        {"cell of 257",
         [](const fs::path& f) { write_text(f / "pet.ini", "[Pet]\nName=Cat\n\nCellHeight = 257\nCellWidth=64\n"); },
         "Cat: pet.ini line 4: CellHeight=257; a cell is 16 to 256 pixels"},
        {"cell of words", [](const fs::path& f) { write_text(f / "pet.ini", "[Pet]\nName=Cat\nCellWidth=\x1b[2J\n"); },
         "Cat: pet.ini line 3: CellWidth=\\x1B[2J; a cell is 16 to 256 pixels"},
        {"columns past the sheet",
         [](const fs::path& f) { write_text(f / "pet.ini", "[Pet]\nName=Cat\nColumns=21\n"); },
         "Cat: pet.ini line 3: Columns=21; sprites.bmp: 840 x 252 pixels hold 20 columns of 42"},
        {"cells larger than the sheet",
         [](const fs::path& f) { write_text(f / "pet.ini", "[Pet]\nName=Cat\nCellWidth=256\n"); },
         "Cat: sprites.bmp: 840 x 252 pixels; its cells are 256 x 256"},
        {"mask of 8 bits", [](const fs::path& f) { write_file((f / "mask.bmp").string(), mask_bmp(252, 8)); },
         "Cat: mask.bmp: 8 bits per pixel; a mask has 1"},
        {"mask of another size", [](const fs::path& f) { write_file((f / "mask.bmp").string(), mask_bmp(42)); },
         "Cat: mask.bmp: 840 x 42 pixels; the sheet is 840 x 252"},
        {"script of no actions", [](const fs::path& f) { write_text(f / "behaviour.script", "# About only\n1,2\n"); },
         "Cat: behaviour.script: no action rows"},
        {"action after About",
         [](const fs::path& f) { write_text(f / "behaviour.script", "1\t1-100\n1,2\n2\t1-100\n"); },
         "Cat: behaviour.script: line 3: an action row (it holds a TAB) after the About routines"},
        {"folder for a sheet",
         [](const fs::path& f) {
             fs::remove(f / "sprites.bmp");
             fs::create_directory(f / "sprites.bmp");
         },
         "Cat: sprites.bmp is not a regular file"},
        {"all key colour",
         [](const fs::path& f) {
             const std::vector<uint8_t> yellow(840 * 252, 0);
             write_file((f / "sprites.bmp").string(),
                        build_bmp({840, 252, 8, 0, 2, {YELLOW, RED}, pack_indexed(yellow, 840, 252, 8, false), {}}));
         },
         "Cat: sprites.bmp: no pixel can be seen"},
        {"all-black mask",
         [](const fs::path& f) {
             const std::vector<uint8_t> black(840 * 252, 0);
             write_file(
                 (f / "mask.bmp").string(),
                 build_bmp({840, 252, 1, 0, 2, {0x000000, 0xFFFFFF}, pack_indexed(black, 840, 252, 1, false), {}}));
         },
         "Cat: sprites.bmp: no pixel can be seen"},
#ifndef _WIN32
        {"link for a sheet",
         [](const fs::path& f) {
             fs::rename(f / "sprites.bmp", f / "s");
             fs::create_symlink(f / "s", f / "sprites.bmp");
         },
         "Cat: sprites.bmp is not a regular file"},
#endif
    };
    for (const Case& c : cases) {
        const fs::path folder = make_pet(root, c.what);
        write_text(folder / "pet.ini", "[Pet]\nName=Cat\n");
        c.spoil(folder);
        const auto before = contents(root);
        PetFolder pet;
        std::string message;
        EXPECT_FALSE(pet_folder_load(folder.string(), pet, message)) << c.what;
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.what << ": " << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << c.what;
        EXPECT_EQ(contents(root), before) << c.what;
    }
    PetFolder pet;
    std::string message;
    EXPECT_FALSE(pet_folder_load((root / "absent").string(), pet, message));
    EXPECT_EQ(message, "absent: there is no such pet folder");
}

TEST_F(PetFolderTest, APetWhoseStartImageCannotBeSeenIsRefused)
{
    // Image 1, where action 1 starts, all key colour; every other image shows.
    std::vector<uint8_t> indices(840 * 252);
    for (size_t p = 0; p < indices.size(); ++p)
        indices[p] = p % 840 >= 42 || p / 840 >= 42;
    const fs::path folder = root / "blank start";
    fs::create_directories(folder);
    write_file((folder / "sprites.bmp").string(),
               build_bmp({840, 252, 8, 0, 2, {YELLOW, RED}, pack_indexed(indices, 840, 252, 8, false), {}}));
    PetFolder pet;
    std::string message, messages;
    ASSERT_TRUE(pet_folder_load(folder.string(), pet, message)) << message;
    EXPECT_FALSE(start(pet, messages));
    EXPECT_EQ(messages, "blank start: the pet starts on image 1, which has no pixel that can be seen");
    EXPECT_EQ(loaded, nullptr);
}

// A sheet with alpha, as artists draw today: half-transparent pixels or more
// are the pet, drawn at their own colour; the rest lets the desktop through.
TEST_F(PetFolderTest, APngSheetWithAlphaIsAPet)
{
    const fs::path folder = root / "glass";
    fs::create_directories(folder);
    std::vector<std::string> rows;
    for (int y = 0; y < 42; ++y) {
        std::string row;
        for (int x = 0; x < 840; ++x) {
            const int cell_x = x % 42;
            // Clear, then faint, then just over half, then opaque key yellow, then opaque red.
            const uint8_t alpha = cell_x < 10 ? 0 : cell_x < 20 ? 127 : cell_x < 30 ? 128 : 255;
            const bool yellow = cell_x >= 30 && cell_x < 32;
            row += yellow ? std::string("\xFF\xFF\x00", 3) : std::string("\xC0\x20\x20", 3);
            row += char(alpha);
        }
        rows.push_back(row);
    }
    write_file((folder / "sprites.png").string(), build_png({840, 42, 8, 6, rows}));
    EXPECT_EQ(pets_found({root.string()}).size(), 1u) << "a folder with a PNG sheet is a pet";
    PetFolder pet;
    std::string message, messages;
    ASSERT_TRUE(pet_folder_load(folder.string(), pet, message)) << message;
    EXPECT_EQ(pet.image_cells, 20);
    const std::pair<int, uint32_t> expected[] = {
        {0, KEY_COLOUR}, {15, KEY_COLOUR}, {25, 0xC02020}, {31, 0xFEFF00}, {40, 0xC02020}};
    for (const auto& [x, colour] : expected) {
        EXPECT_EQ(pet.sheet.pixels[size_t(x)], colour) << x;
        EXPECT_EQ(pet.mask.indices[size_t(x)], colour == KEY_COLOUR ? 0 : 1) << x;
    }
    // Beside it the alpha, premultiplied, for the windows that blend: its
    // pixels of half alpha or more are exactly the mask's (the outline's),
    // its clear ones nothing at all.
    ASSERT_EQ(pet.blended.size(), pet.sheet.pixels.size());
    for (size_t p = 0; p < pet.blended.size(); ++p)
        ASSERT_EQ(pet.mask.indices[p] == 1, pet.blended[p] >> 24 >= 0x80) << p;
    EXPECT_EQ(pet.blended[31], 0xFFFFFF00u) << "the colour as drawn, not moved off the key";
    // A PNG that is no picture names its file.
    write_text(folder / "sprites.png", "\x89PNG\r\n\x1A\n broken");
    EXPECT_FALSE(pet_folder_load(folder.string(), pet, message));
    EXPECT_EQ(message.rfind("glass: sprites.png: Broken PNG file", 0), 0u) << message;
}

TEST_F(PetFolderTest, ScriptTheLoaderRefusesLeavesNothingBehind)
{
    const fs::path folder = make_pet(root, "broken");
    std::string script = builtin_script_text();
    script.replace(0, script.find('\t'), "1,999");  // an image that does not exist
    write_text(folder / "behaviour.script", script);
    PetFolder pet;
    std::string message, messages;
    ASSERT_TRUE(pet_folder_load(folder.string(), pet, message)) << message;
    EXPECT_FALSE(start(pet, messages));
    EXPECT_EQ(messages.rfind("broken: ** ERROR : ", 0), 0u) << messages;

    // A message about an action names the line of the pet's file it stands on.
    script = "# a comment\n\n" + builtin_script_text();
    const size_t row = script.find("\n1,8,9,10\t8-100\t");
    ASSERT_NE(row, std::string::npos);
    script.replace(row + 15, 0, ",66-10");  // action 3 names action 66
    write_text(folder / "behaviour.script", script);
    ASSERT_TRUE(pet_folder_load(folder.string(), pet, message)) << message;
    messages.clear();
    EXPECT_FALSE(start(pet, messages));
    EXPECT_EQ(messages,
              "broken: behaviour.script line 5: ** ERROR : For action 3, invalid ratio 10, or next action 66");
    EXPECT_EQ(loaded, nullptr);
}

}  // namespace
