// Choosing pets: the settings' "Pet" and "Pets" keys and "--pet PATH" at
// start-up, a pet that fails costing one box, and the pop-up menu's pets
// sub-menu adding pets and sending them away, the company saved at Exit.
#include <algorithm>
#include <filesystem>
#include <functional>

#include "engine/action_script.h"
#include "engine/script_file.h"
#include "graphics/alpha_sheet.h"
#include "graphics/sprites.h"

#include <cstdio>
#include <fstream>

#include "shell/pet_choice.h"
#include "tests/graphics/bmp_builder.h"
#include "tests/graphics/png_builder.h"
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
    // One pet, never added to: Exit writes nothing new.
    fake_send(pet(), MSG_COMMAND, CMD_EXIT);
    EXPECT_TRUE(fake.quit_posted);
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
    EXPECT_EQ(said, "coat: behaviour.script line 4: ** Sum of ratio for action:1 = 99\n")
        << "the line after the dump's three comment lines";
}

// A PNG pet with alpha: where the desktop blends, its window is given the
// pixels premultiplied, whole, with no copy of the screen behind; elsewhere
// it is drawn as any pet, at alpha one half, and BMP pets never blend.
TEST_F(PetChoiceTest, APngPetBlendsWhereTheDesktopCanAndIsThresholdedElsewhere)
{
    constexpr uint32_t GLASS = 0x2060A0;
    std::vector<std::string> rows;
    for (int y = 0; y < 252; ++y) {
        std::string row;
        for (int x = 0; x < 840; ++x)  // across each cell: clear, then alpha rising by 8 a column
            row += std::string("\x20\x60\xA0", 3) + char(std::min(255, std::max(0, (x % 42 - 10) * 8)));
        rows.push_back(row);
    }
    fs::create_directories(program_dir / "pets" / "glass");
    write_file((program_dir / "pets" / "glass" / "sprites.png").string(), build_png({840, 252, 8, 6, rows}));
    for (const int mode : {MODE_STANDARD, MODE_PRECOMPUTED})
        for (const bool blends : {true, false}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << (blends ? ", blending" : ""));
            reset_program();
            fake_use_synthetic_art();
            fake.blends = blends;
            fake.ini_files[ini_path()] = "[Setup]\nPet=glass\nMode=" + std::to_string(mode) + "\n";
            program_options(program, program_dir.string().c_str(), 0, nullptr);
            run(5);
            ASSERT_NE(pet(), nullptr);
            const std::vector<uint32_t> row(pet()->pixels.begin(), pet()->pixels.begin() + 42);
            EXPECT_EQ(fake_count("blend_window(pet)"), 1);
            EXPECT_EQ(fake_count("present_blended("), blends ? fake_count("begin_paint(pet)") : 0);
            EXPECT_EQ(fake_count("present(pet"), blends ? 0 : fake_count("begin_paint(pet)"));
            if (blends) {
                EXPECT_EQ(row[10], 0u) << "clear";
                EXPECT_EQ(row[25], premultiplied_pixel(0x78000000 | GLASS));
                EXPECT_EQ(fake_count("capture_screen"), mode == MODE_STANDARD ? 1 : 0) << "only the one at start";
            } else {
                EXPECT_NE(row[25], GLASS) << "alpha 120 of 255 is not the pet";
                EXPECT_EQ(row[26], GLASS) << "alpha 128 is";
                EXPECT_TRUE(std::all_of(pet()->pixels.begin(), pet()->pixels.end(),
                                        [](uint32_t pixel) { return pixel >> 24 == 0; }));
                EXPECT_TRUE(the_pet().folder.blended.empty()) << "the alpha it cannot show is not kept";
            }
        }
    reset_program();
    fake_use_synthetic_art();
    fake.blends = true;
    start_with("coat");
    EXPECT_TRUE(shows_coat());
    EXPECT_EQ(fake_count("blend_window"), 0) << "a BMP pet is drawn as it always was";
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

// The sub-menu's commands as the menu of a pet with "broken" and "coat" found.
constexpr unsigned ADD_CAT = CMD_PET_FIRST;
constexpr unsigned ADD_COAT = CMD_PET_FIRST + 3;
constexpr unsigned SEND_AWAY = CMD_PET_FIRST + 4;

std::vector<Window*> living_windows()
{
    std::vector<Window*> windows;
    for (const auto& window : fake.windows)
        if (window->name == "pet" && window->alive)
            windows.push_back(window.get());
    return windows;
}

bool shows(const Window* window, uint32_t colour)
{
    return std::find(window->pixels.begin(), window->pixels.end(), colour) != window->pixels.end();
}

// A command chosen from the menu that opens on `window`.
void choose(Window* window, unsigned command)
{
    fake_send(window, MSG_RBUTTONDOWN, 0, fake_point(1, 1));
    fake_send(window, MSG_COMMAND, command);
}

TEST_F(PetChoiceTest, PetsAddedFromTheMenuLiveBesideTheFirstAndComeBackAfterExit)
{
    start_with("");
    fake_send(pet(), MSG_RBUTTONDOWN, 0, fake_point(1, 1));
    EXPECT_EQ(fake.pet_submenu, (std::vector<std::string>{"Dorrabee", "broken", "clear", "coat", "送走它(&S)"}));
    EXPECT_EQ(fake.pet_submenu_checked, 0);

    // The same kind twice; a pet that fails to load costs its box, nothing more.
    choose(pet(), ADD_COAT);
    choose(living_windows()[0], ADD_COAT);
    choose(pet(), CMD_PET_FIRST + 1);
    EXPECT_EQ(fake_count("message_box"), 1);
    EXPECT_EQ(fake_count("restart_program"), 0);
    std::vector<Window*> windows = living_windows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_FALSE(shows(windows[0], COAT));
    EXPECT_TRUE(shows(windows[1], COAT));
    EXPECT_TRUE(shows(windows[2], COAT));
    // The menu is the clicked pet's: its own kind checked.
    fake_send(windows[2], MSG_RBUTTONDOWN, 0, fake_point(1, 1));
    EXPECT_EQ(fake.pet_submenu_checked, 3);
    EXPECT_EQ(fake_count("ini_write_string"), 0);

    fake_send(windows[1], MSG_COMMAND, CMD_EXIT);
    EXPECT_TRUE(living_windows().empty());
    EXPECT_TRUE(fake.quit_posted);
    const std::string saved = fake.ini_files[ini_path()];
    EXPECT_NE(saved.find("Pets=3\nPet 1=\nPet 2=coat\nPet 3=coat\n"), std::string::npos) << saved;

    reset_program();
    fake_use_synthetic_art();
    fake.ini_files[ini_path()] = saved;
    program_options(program, program_dir.string().c_str(), 0, nullptr);
    run(5);
    windows = living_windows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_FALSE(shows(windows[0], COAT));
    EXPECT_TRUE(shows(windows[1], COAT));
    EXPECT_TRUE(shows(windows[2], COAT));
    EXPECT_EQ(fake_count("message_box"), 0);
}

TEST_F(PetChoiceTest, SendingAwayTakesExactlyThatPetAndTheLastEndsTheProgramAsExitDoes)
{
    start_with("coat");
    choose(pet(), ADD_CAT);
    choose(pet(), ADD_CAT);
    std::vector<Window*> windows = living_windows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(fake_count("set_timer(pet,1,"), 1);  // one timer for the company
    EXPECT_EQ(program.timer_window, windows[0]);

    // The oldest goes: exactly its window, and the timer moves on.
    choose(windows[0], SEND_AWAY);
    EXPECT_EQ(living_windows(), (std::vector<Window*>{windows[1], windows[2]}));
    EXPECT_EQ(program.timer_window, windows[1]);
    EXPECT_EQ(windows[1]->timers.count(PET_TIMER_ID), 1u);
    EXPECT_TRUE(program.pets[0]->folder.sheet.pixels.empty());  // its pictures went with it
    EXPECT_FALSE(fake.quit_posted);
    // A tick for the window that carries no timer steps nothing.
    const int32_t tick = program.pets[2]->state->tick;
    fake_send(windows[2], MSG_TIMER, PET_TIMER_ID);
    EXPECT_EQ(program.pets[2]->state->tick, tick);

    choose(windows[2], SEND_AWAY);
    EXPECT_EQ(living_windows(), (std::vector<Window*>{windows[1]}));
    choose(windows[1], SEND_AWAY);
    EXPECT_TRUE(living_windows().empty());
    EXPECT_TRUE(fake.quit_posted);
    // Saved with the last one still in, as Exit saves.
    EXPECT_NE(fake.ini_files[ini_path()].find("Pets=1\nPet 1=\n"), std::string::npos);
}

TEST_F(PetChoiceTest, OneTickStepsEveryPetAndTwoOfOneKindGoTheirOwnWays)
{
    const std::string path = (program_dir / "pets" / "coat").string();
    const char* argv[] = {"dorrabee", "--pet", path.c_str(), "--pet", path.c_str()};
    arguments.assign(std::begin(argv), std::end(argv));
    start_with("");
    ASSERT_EQ(living_windows().size(), 2u);
    Pet& first = *program.pets[0];
    Pet& second = *program.pets[1];
    // Each tick steps both: an action's frame on, or a new action begun.
    const auto stepped = [](int32_t before, int32_t after) { return after == before + 1 || after == 0; };
    bool apart = false;
    int32_t longest[2] = {0, 0};
    for (int k = 0; k < 200; ++k) {
        const int32_t before[2] = {first.state->tick, second.state->tick};
        fake_send(program.timer_window, MSG_TIMER, PET_TIMER_ID);
        EXPECT_TRUE(stepped(before[0], first.state->tick) && stepped(before[1], second.state->tick));
        longest[0] = std::max(longest[0], first.state->tick);
        longest[1] = std::max(longest[1], second.state->tick);
        apart = apart || first.state->current_action != second.state->current_action;
    }
    EXPECT_TRUE(longest[0] > 0 && longest[1] > 0);
    EXPECT_TRUE(apart);
    // A company from the command line is for trying out: never saved.
    choose(pet(), ADD_CAT);
    fake_send(pet(), MSG_COMMAND, CMD_EXIT);
    EXPECT_EQ(fake_count("ini_write_string"), 0);
}

TEST_F(PetChoiceTest, ASavedCompanyLeavesOutWhatFailsWithOneBoxEach)
{
    const std::pair<const char*, size_t> cases[] = {
        // The settings, and how many pets then live (the broken and missing left out).
        {"Pets=4\nPet 1=broken\nPet 2=coat\nPet 3=absent\nPet 4=\nPet=broken\n", 2},
        {"Pets=2\nPet 1=broken\nPet 2=absent\n", 1},  // none left: the built-in cat
        {"Pets=0\nPet=coat\n", 1},                    // no company: "Pet" as ever
    };
    for (const auto& [settings, living] : cases) {
        reset_program();
        fake_use_synthetic_art();
        fake.ini_files[ini_path()] = std::string("[Setup]\n") + settings;
        program_options(program, program_dir.string().c_str(), 0, nullptr);
        run(5);
        EXPECT_EQ(living_windows().size(), living) << settings;
        const size_t boxes = std::string(settings).starts_with("Pets=0") ? 0 : 2;
        EXPECT_EQ(fake_calls_starting("message_box").size(), boxes) << settings;
    }
    // Exit without a change still saves a company the settings named, less what failed.
    reset_program();
    fake_use_synthetic_art();
    fake.ini_files[ini_path()] = "[Setup]\nPets=2\nPet 1=broken\nPet 2=coat\n";
    program_options(program, program_dir.string().c_str(), 0, nullptr);
    run(5);
    fake_send(pet(), MSG_COMMAND, CMD_EXIT);
    EXPECT_NE(fake.ini_files[ini_path()].find("Pets=1\nPet 1=coat\n"), std::string::npos);
}

TEST_F(PetChoiceTest, AFatalErrorInOnePetTakesDownEveryWindowAndSavesNothing)
{
    start_with("");
    choose(pet(), ADD_COAT);
    ASSERT_EQ(living_windows().size(), 2u);
    fake.begin_paint_fails = true;
    fake_send(living_windows()[1], MSG_PAINT);
    EXPECT_TRUE(living_windows().empty());
    EXPECT_TRUE(fake.quit_posted);
    EXPECT_EQ(program.fatal_error, 1);
    company_save(program);
    EXPECT_EQ(fake_count("ini_write_string"), 0);
}

TEST_F(PetChoiceTest, AFullMenuSaysHowManyPetsItLeavesOutAndStillEndsWithSendAway)
{
    for (int k = 0; k < 120; ++k) {
        fs::create_directories(program_dir / "pets" / ("many" + std::to_string(1000 + k)));
        write_file((program_dir / "pets" / ("many" + std::to_string(1000 + k)) / "sprites.bmp").string(), {'B', 'M'});
    }
    start_with("");
    fake_send(pet(), MSG_RBUTTONDOWN, 0, fake_point(1, 1));
    // 123 pets: 97 listed beside the cat, the count, and send-away.
    ASSERT_EQ(fake.pet_submenu.size(), size_t(PET_MENU_LIMIT));
    EXPECT_EQ(fake.pet_submenu[PET_MENU_LIMIT - 2], "26 more pets are not listed");
    EXPECT_EQ(fake.pet_submenu.back(), "送走它(&S)");
    choose(pet(), CMD_PET_FIRST + PET_MENU_LIMIT - 2);
    EXPECT_EQ(living_windows().size(), 1u) << "the count only tells";
    EXPECT_EQ(fake_count("message_box"), 0);
    choose(pet(), ADD_COAT);
    ASSERT_EQ(living_windows().size(), 2u);
    choose(living_windows()[1], CMD_PET_FIRST + PET_MENU_LIMIT - 1);
    EXPECT_EQ(living_windows().size(), 1u);
}

TEST_F(PetChoiceTest, WithoutASettingsFolderTheCompanyIsNotSavedAndABoxSaysWhy)
{
    start_with("");
    program.settings_path[0] = '\0';
    choose(pet(), ADD_COAT);
    fake_send(pet(), MSG_COMMAND, CMD_EXIT);
    EXPECT_EQ(fake_count("ini_write"), 0);
    const std::vector<std::string> boxes = fake_calls_starting("message_box");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Fail to save the settings !  There is no folder to keep them in .."), std::string::npos)
        << boxes[0];
}

}  // namespace

// ---- the company's windows: stacking, one batch a tick, the session's end

TEST_F(PetChoiceTest, ACarriedPetStandsAboveTheOthersAndStaysThereOncePutDown)
{
    start_with("");
    choose(pet(), ADD_COAT);
    choose(pet(), ADD_COAT);
    const std::vector<Window*> windows = living_windows();
    ASSERT_EQ(windows.size(), 3u);
    // The oldest, carried onto the newest, shows where the two meet.
    Window* carried = windows[0];
    Window* under = windows[2];
    const auto hold_over = [&] {
        const int32_t grip = SPRITE_SIZE / 2;
        fake_send(carried, MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(grip, grip));
        fake_send(carried, MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON,
                  fake_point(int16_t(under->x - carried->x + grip), int16_t(under->y - carried->y + grip)));
    };
    const auto carried_shows_on_top = [&] {
        int meeting = 0;
        for (int32_t y = 0; y < SPRITE_SIZE; ++y)
            for (int32_t x = 0; x < SPRITE_SIZE; ++x)
                if (fake_window_shows(*carried, x, y) && fake_window_shows(*under, x, y)) {
                    ++meeting;
                    if (fake_screen_pixel(carried->x + x, carried->y + y) !=
                        carried->pixels[size_t(y) * carried->width + x])
                        return false;
                }
        return meeting > 0;
    };
    hold_over();
    fake_paint_pending();
    EXPECT_TRUE(carried_shows_on_top());
    for (int k = 0; k < 3; ++k)
        fake_send(program.timer_window, MSG_TIMER, PET_TIMER_ID);
    fake_paint_pending();
    EXPECT_EQ(fake.last_batch, (std::vector<Window*>{windows[1], windows[2], carried}));
    EXPECT_TRUE(carried_shows_on_top());
    // Put down, it stays on top; a pet added later comes above it.
    fake_send(carried, MSG_LBUTTONUP, 0, fake_point(0, 0));
    fake_send(program.timer_window, MSG_TIMER, PET_TIMER_ID);
    EXPECT_EQ(fake.last_batch.back(), carried);
    choose(carried, ADD_CAT);
    fake_send(program.timer_window, MSG_TIMER, PET_TIMER_ID);
    EXPECT_EQ(fake.last_batch, (std::vector<Window*>{windows[1], windows[2], carried, living_windows()[3]}));
    // One sent away is no longer stacked.
    choose(carried, SEND_AWAY);
    fake_send(program.timer_window, MSG_TIMER, PET_TIMER_ID);
    EXPECT_EQ(fake.last_batch.size(), 3u);
    EXPECT_EQ(std::count(fake.last_batch.begin(), fake.last_batch.end(), carried), 0);
}

TEST_F(PetChoiceTest, EveryTickIsOneBatchOfWindowChangesWhateverTheCompany)
{
    for (const int company : {1, 3}) {
        reset_program();
        fake_use_synthetic_art();
        start_with("");
        while (int(living_windows().size()) < company)
            choose(pet(), ADD_COAT);
        const int batches = fake.change_batches;
        const size_t moves = fake_calls_starting("move_window").size();
        for (int k = 0; k < 60; ++k)
            fake_send(program.timer_window, MSG_TIMER, PET_TIMER_ID);
        EXPECT_EQ(fake.change_batches - batches, 60) << company;
        EXPECT_EQ(fake.changes_open, 0) << company;
        EXPECT_GT(fake_calls_starting("move_window").size(), moves) << company << " pets never moved";
        EXPECT_EQ(fake.moves_outside_batches, 0) << company;
        EXPECT_EQ(fake.last_batch, living_windows()) << company;
    }
}

TEST_F(PetChoiceTest, TheSessionsEndSavesTheCompanyAsExitDoesWithoutABox)
{
    struct Case {
        const char* what;
        std::function<void(PetChoiceTest&)> before;
        uintptr_t really;  // MSG_ENDSESSION's wparam
        bool saved;
        bool ended;
    };
    const Case cases[] = {
        {"a company gathered from the menu", [](PetChoiceTest&) {}, 1, true, true},
        {"the logout called off", [](PetChoiceTest&) {}, 0, false, false},
        {"after a fatal error in a pet's files",
         [](PetChoiceTest&) {
             fake.begin_paint_fails = true;
             fake_send(living_windows()[1], MSG_PAINT);
         },
         1, false, true},
        {"a settings file that cannot be written", [](PetChoiceTest&) { fake.unwritable_ini_files = {ini_path()}; }, 1,
         false, true},
    };
    const auto saves = [] {
        const std::vector<std::string> writes = fake_calls_starting("ini_write_string");
        return std::count_if(writes.begin(), writes.end(),
                             [](const std::string& call) { return call.find("\"Pets\"") != std::string::npos; });
    };
    for (const Case& c : cases) {
        reset_program();
        fake_use_synthetic_art();
        start_with("");
        choose(pet(), ADD_COAT);
        c.before(*this);
        const int boxes = fake_count("message_box");
        // Every window hears it, the newest first here.
        for (Window* window : {living_windows().empty() ? nullptr : living_windows().back(), fake_window("pet")})
            if (window)
                fake_send(window, MSG_ENDSESSION, c.really);
        const std::string saved = fake.ini_files[ini_path()];
        EXPECT_EQ(saved.find("Pets=2\nPet 1=\nPet 2=coat\n") != std::string::npos, c.saved) << c.what << "\n" << saved;
        EXPECT_LE(saves(), 1) << c.what;
        EXPECT_EQ(fake.quit_posted, c.ended) << c.what;
        EXPECT_EQ(fake_count("message_box"), boxes) << c.what;
    }
    // The request to save beforehand saves, once, and leaves the pets living.
    reset_program();
    fake_use_synthetic_art();
    start_with("");
    choose(pet(), ADD_COAT);
    EXPECT_EQ(fake_send(living_windows()[1], MSG_QUERYENDSESSION), 1);
    EXPECT_EQ(saves(), 0);
    EXPECT_EQ(fake_send(living_windows()[0], MSG_QUERYENDSESSION), 1);
    EXPECT_EQ(saves(), 1);
    EXPECT_EQ(living_windows().size(), 2u);
}

TEST_F(PetChoiceTest, PetsOfOneKindShareTheirSheetUnlessItsFolderChangedBetween)
{
    start_with("");
    choose(pet(), ADD_CAT);
    choose(pet(), ADD_COAT);
    choose(pet(), ADD_COAT);
    ASSERT_EQ(program.pets.size(), 4u);
    EXPECT_EQ(fake_count("load_bitmap(103)"), 1);  // the built-in sheet decoded once
    EXPECT_EQ(program.pets[0]->graphics.sheet, program.pets[1]->graphics.sheet);
    EXPECT_EQ(program.pets[2]->graphics.sheet, program.pets[3]->graphics.sheet);
    EXPECT_NE(program.pets[0]->graphics.sheet, program.pets[2]->graphics.sheet);
    // The folder's own copies were handed over as the windows were made.
    EXPECT_TRUE(program.pets[3]->folder.sheet.pixels.empty());
    EXPECT_TRUE(program.pets[3]->folder.mask.pixels.empty());

    // The coat repainted on disk: the next coat shows its new pixels, alone.
    std::vector<uint8_t> indices(840 * 252, 1);
    write_file((program_dir / "pets" / "coat" / "sprites.bmp").string(),
               build_bmp({840, 252, 8, 0, 2, {KEY_COLOUR, 0x102030}, pack_indexed(indices, 840, 252, 8, false), {}}));
    choose(pet(), ADD_COAT);
    ASSERT_EQ(program.pets.size(), 5u);
    EXPECT_NE(program.pets[4]->graphics.sheet, program.pets[2]->graphics.sheet);
    EXPECT_TRUE(shows(program.pets[4]->window, 0x102030));

    // The first coat sent away, the second still draws from their sheet.
    choose(program.pets[2]->window, SEND_AWAY);
    std::fill(program.pets[3]->window->pixels.begin(), program.pets[3]->window->pixels.end(), 0u);
    fake_send(program.pets[3]->window, MSG_PAINT);
    EXPECT_TRUE(shows(program.pets[3]->window, COAT));
}
