// Choosing a pet: the settings' "Pet" key and "--pet PATH" at start-up, a
// pet that fails falling back to the built-in cat after one box, and the
// pop-up menu's pets sub-menu saving the choice and starting anew.
#include <algorithm>
#include <filesystem>

#include "engine/action_script.h"
#include "engine/script_file.h"
#include "graphics/sprites.h"

#include <cstdio>
#include <fstream>

#include "shell/pet_choice.h"
#include "tests/graphics/bmp_builder.h"
#include "tests/shell/shell_harness.h"
#include "tests/shell/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t COAT = 0x204080;  // no colour of the synthetic art

struct PetChoiceTest : ShellTest {
    fs::path program_dir = test_folder("dorrabee-choice");
    std::vector<const char*> arguments;  // the command line
    void SetUp() override
    {
        ShellTest::SetUp();
        fs::remove_all(program_dir);
        // A pet whose every image is a block of COAT on yellow.
        std::vector<uint8_t> indices(840 * 252);
        for (size_t p = 0; p < indices.size(); ++p)
            indices[p] = (p % 840) % 42 > 10 && (p / 840) % 42 > 10;
        fs::create_directories(program_dir / "pets" / "coat");
        write_file((program_dir / "pets" / "coat" / "sprites.bmp").string(),
                   build_bmp({840, 252, 8, 0, 2, {KEY_COLOUR, COAT}, pack_indexed(indices, 840, 252, 8, false), {}}));
        // A pet nobody could see, nor click to reach its menu.
        fs::create_directories(program_dir / "pets" / "clear");
        write_file((program_dir / "pets" / "clear" / "sprites.bmp").string(),
                   build_bmp({840, 42, 8, 0, 1, {KEY_COLOUR}, std::vector<uint8_t>(840 * 42, 0), {}}));
        fs::create_directories(program_dir / "pets" / "broken");
        write_file((program_dir / "pets" / "broken" / "sprites.bmp").string(), {'B', 'M'});
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        fs::remove_all(program_dir);
    }
    int start_with(const std::string& pet)
    {
        fake.ini_files[ini_path()] = "[Setup]\nPet=" + pet + "\n";
        program_options(program, program_dir.string().c_str(), int(arguments.size()), arguments.data());
        return run(5);
    }
    bool shows_coat()
    {
        const auto& pixels = pet()->pixels;
        return std::find(pixels.begin(), pixels.end(), COAT) != pixels.end();
    }
};

TEST_F(PetChoiceTest, TheSavedPetRunsOnItsOwnPixelsWithoutAMessage)
{
    start_with("coat");
    EXPECT_TRUE(shows_coat());
    EXPECT_EQ(fake_count("load_bitmap(103)"), 0);
    EXPECT_EQ(fake_count("message_box"), 0);
    EXPECT_EQ(fake_count("ini_write_string"), 0);

    // A script the loader warns about (ratios of action 1 summing to 99):
    // the pet starts all the same, with no box; the warning goes to standard error.
    std::FILE* dump = std::tmpfile();
    write_script_file(builtin_script(), dump);
    std::rewind(dump);
    std::string script;
    for (int c; (c = std::fgetc(dump)) != EOF;)
        script += char(c);
    std::fclose(dump);
    const size_t cell = script.find("\t1-6,2-24,");
    ASSERT_NE(cell, std::string::npos);
    script.replace(cell, 10, "\t1-5,2-24,");
    std::ofstream(program_dir / "pets" / "coat" / "behaviour.script", std::ios::binary) << script;
    reset_program();
    fake_use_synthetic_art();
    testing::internal::CaptureStderr();
    start_with("coat");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(shows_coat());
    EXPECT_EQ(fake_count("message_box"), 0);
    EXPECT_EQ(said, "coat: behaviour.script line 4: ** Sum of ratio for action:1 = 990\n")
        << "the line after the dump's three comment lines";
}

TEST_F(PetChoiceTest, APetThatFailsCostsOneBoxThenTheBuiltInCatRuns)
{
    const std::pair<const char*, const char*> cases[] = {
        {"broken", "broken: sprites.bmp: Not a BMP file"},
        {"absent", "absent: there is no such pet folder"},
        {"clear", "clear: sprites.bmp: no pixel can be seen"},
        {"../pets/coat", "../pets/coat: there is no such pet folder"},
    };
    for (const auto& [key, message] : cases) {
        reset_program();
        fake_use_synthetic_art();
        start_with(key);
        const std::vector<std::string> boxes = fake_calls_starting("message_box");
        ASSERT_EQ(boxes.size(), 1u) << key;
        EXPECT_EQ(boxes[0].rfind(std::string("message_box(none,\"") + message, 0), 0u) << boxes[0];
        EXPECT_EQ(fake_count("load_bitmap(103)"), 1) << key;
        EXPECT_FALSE(shows_coat()) << key;
        EXPECT_EQ(fake_count("ini_write_string"), 0) << key;
        // Choosing the (running) cat clears the name, so the box does not come back.
        fake_send(pet(), MSG_RBUTTONDOWN, 0, fake_point(1, 1));
        EXPECT_EQ(fake.pet_submenu_checked, 0) << key;
        fake_send(pet(), MSG_COMMAND, CMD_PET_FIRST);
        EXPECT_EQ(fake.ini_files[ini_path()], "[Setup]\nPet=\n") << key;
        EXPECT_EQ(fake.restarts, 0) << key;
        EXPECT_NE(pet_window, nullptr) << key;
    }
}

TEST_F(PetChoiceTest, ThePetOnTheCommandLineRunsUnsavedOverTheSettings)
{
    const std::string path = (program_dir / "pets" / "coat").string();
    const char* argv[] = {"dorrabee", "--pet", path.c_str()};
    arguments.assign(std::begin(argv), std::end(argv));
    start_with("broken");
    EXPECT_TRUE(shows_coat());
    EXPECT_EQ(fake_count("message_box"), 0);
    EXPECT_EQ(fake_count("ini_write_string"), 0);
}

TEST_F(PetChoiceTest, TheMenuListsThePetsAndChoosingOneSavesItAndStartsAnew)
{
    start_with("");
    fake_send(pet(), MSG_RBUTTONDOWN, 0, fake_point(1, 1));
    EXPECT_EQ(fake.pet_submenu, (std::vector<std::string>{"Dorrabee", "broken", "clear", "coat"}));
    EXPECT_EQ(fake.pet_submenu_checked, 0);

    // The cat already running: nothing to do.
    fake_send(pet(), MSG_COMMAND, CMD_PET_FIRST);
    EXPECT_EQ(fake.restarts, 0);
    // Saving fails: a box, and the cat stays.
    fake.unwritable_ini_files.insert(ini_path());
    fake_send(pet(), MSG_COMMAND, CMD_PET_FIRST + 3);
    EXPECT_EQ(fake_count("message_box(pet,\"Fail to save the settings"), 1);
    EXPECT_EQ(fake.restarts, 0);
    fake.unwritable_ini_files.clear();
    fake_send(pet(), MSG_COMMAND, CMD_PET_FIRST + 3);
    EXPECT_NE(fake.ini_files[ini_path()].find("Pet=coat"), std::string::npos);
    EXPECT_EQ(fake.restarts, 1);
    EXPECT_EQ(pet_window(), nullptr);  // this copy ends; the new one runs the choice

    // The new start shows the pet, checked in its menu.
    reset_program();
    fake_use_synthetic_art();
    start_with("coat");
    fake_send(pet(), MSG_RBUTTONDOWN, 0, fake_point(1, 1));
    EXPECT_EQ(fake.pet_submenu_checked, 3);
    EXPECT_TRUE(shows_coat());

    // More pets than the menu holds: the last item says how many are left out.
    for (int k = 0; k < 120; ++k) {
        fs::create_directories(program_dir / "pets" / ("many" + std::to_string(1000 + k)));
        write_file((program_dir / "pets" / ("many" + std::to_string(1000 + k)) / "sprites.bmp").string(), {'B', 'M'});
    }
    fake_send(pet(), MSG_RBUTTONDOWN, 0, fake_point(1, 1));
    ASSERT_EQ(fake.pet_submenu.size(), size_t(PET_MENU_LIMIT));
    EXPECT_EQ(fake.pet_submenu.back(), "25 more pets are not listed");
    fake_send(pet(), MSG_COMMAND, CMD_PET_FIRST + PET_MENU_LIMIT - 1);
    EXPECT_EQ(fake.restarts, 0) << "the item only tells";
    // Back to the cat from a pet that runs: saved, and a new start.
    fake_send(pet(), MSG_COMMAND, CMD_PET_FIRST);
    EXPECT_EQ(fake.ini_files[ini_path()], "[Setup]\nPet=\n");
    EXPECT_EQ(fake.restarts, 1);
}

}  // namespace
