// The language chosen at start-up, and everything the user reads following it.
#include <cstring>

#include "shell/language.h"
#include "shell_harness.h"
#include "support/texts.h"

namespace {

using Language = ShellTest;

const int32_t ENGLISH = choose_language("en", "");

TEST_F(Language, TheKeyOverridesTheSystemAndAFontlessChoiceFallsBackToEnglish)
{
    struct Case {
        const char* file;  // the settings file's [Setup] lines
        const char* system;
        bool fonts_cover;
        int32_t expected;
        bool said;  // on standard error
    };
    const Case cases[] = {
        {"", "zh_CN", true, LANGUAGE_CHINESE, false},
        {"", "en_US", true, ENGLISH, false},
        {"", "fr_FR", true, ENGLISH, false},
        {"Language=en\n", "zh_CN", true, ENGLISH, false},
        {"Language=zh\n", "en_US", true, LANGUAGE_CHINESE, false},
        {"Language= zh \n", "en_US", true, LANGUAGE_CHINESE, false},  // the reader trims blanks, as Windows does
        {"Language=klingon\n", "zh_CN", true, LANGUAGE_CHINESE, false},
        {"Language=\n", "en_GB", true, ENGLISH, false},
        {"Language=zh\n", "en_US", false, ENGLISH, true},
        {"", "zh_TW", false, ENGLISH, true},
        {"Language=en\n", "zh_CN", false, ENGLISH, false},  // English needs no font of its own
    };
    for (const Case& c : cases) {
        reset_program();
        fake.ini_files[ini_path()] = std::string("[Setup]\n") + c.file;
        fake.ui_languages = c.system;
        fake.fonts_cover = c.fonts_cover;
        testing::internal::CaptureStderr();
        const int32_t chosen = language_at_start(ini_path().c_str());
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(chosen, c.expected) << c.file << " on " << c.system;
        EXPECT_EQ(said.find("English") != std::string::npos, c.said) << c.file << " on " << c.system << ": " << said;
    }
}

TEST_F(Language, AskedAboutFontsAreEveryTextInItsDialogsFont)
{
    fake.ui_languages = "zh_CN";
    language_at_start(ini_path().c_str());
    size_t all = 0;
    for (int id = 0; id < TEXT_COUNT; ++id)
        all += std::strlen(text_of(LANGUAGE_CHINESE, static_cast<TextId>(id)));
    EXPECT_EQ(fake_calls_starting("fonts_cover"),
              std::vector<std::string>{"fonts_cover(\"宋体\"," + std::to_string(all) + ")"});
}

// In English: the English menu and dialogs, the pets sub-menu and every
// box's button; the running pet is the same.
TEST_F(Language, InEnglishTheMenuDialogsAndBoxesAreTheEnglishOnes)
{
    fake.ini_files[ini_path()] = "[Setup]\nLanguage=en\nTop Margin=5000\n";
    run();
    EXPECT_EQ(program.language, ENGLISH);
    EXPECT_EQ(fake.box_buttons, std::vector<std::string>{"OK"}) << "the margins' box, at start";
    EXPECT_EQ(fake_calls_starting("load_pet_menu"), std::vector<std::string>{"load_pet_menu(1105)"});

    pet_window_proc(pet(), MSG_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(fake.pet_submenu_caption, "&Pets");
    pet_window_proc(pet(), MSG_COMMAND, CMD_OPTIONS, 0);
    pet_window_proc(pet(), MSG_COMMAND, CMD_ABOUT, 0);
    EXPECT_EQ(fake_calls_starting("create_dialog"),
              (std::vector<std::string>{"create_dialog(1113,pet)", "create_dialog(1104,pet)"}));
    report_error(program, nullptr, "Fail to set timer");
    EXPECT_EQ(fake.box_buttons, (std::vector<std::string>{"OK", "OK"}));
}

TEST_F(Language, InChineseEveryBoxHasTheChineseOk)
{
    fake.ini_files[ini_path()] = "[Setup]\nTop Margin=5000\n";
    run();
    EXPECT_EQ(program.language, LANGUAGE_CHINESE);
    EXPECT_EQ(fake.box_buttons, std::vector<std::string>{"确定"});
}

}  // namespace
