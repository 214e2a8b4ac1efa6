// The tables written from po/, and the choice of a language.
#include "support/texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "graphics/about_scene.h"
#include "support/ids.h"
#include "support/templates.h"

namespace {

const int32_t ENGLISH = language_named("en");

// The program's texts as they have always read.
TEST(Texts, TheChineseTablesAreTheProgramsOwnTextsExactly)
{
    const std::pair<TextId, const char*> chinese[] = {
        {TextId::menu_file, "文件(&F)"},
        {TextId::menu_continue, "继续(&C)"},
        {TextId::menu_options, "选项(&O)"},
        {TextId::menu_about, "关于Dorrabee(&A)"},
        {TextId::menu_pets, "宠物(&P)"},
        {TextId::menu_exit, "退出(&E)"},
        {TextId::ok, "确定"},
        {TextId::cancel, "取消"},
        {TextId::options_title, "Dorrabee — 选项"},
        {TextId::options_display, "显示方式"},
        {TextId::options_mode_precomputed, "较好，需要较多的内存。"},
        {TextId::options_mode_live, "较好，需要较快的CPU。"},
        {TextId::options_mode_standard, "标准，需要较少的资源。"},
        {TextId::options_margins, "范围"},
        {TextId::options_top, "顶部"},
        {TextId::options_left, "左边"},
        {TextId::options_bottom, "底部"},
        {TextId::options_right, "右边"},
        {TextId::options_speed, "速度(ms)"},
        {TextId::options_next_start, "这些改变将会在下次程序运行时生效。"},
        {TextId::about_title, "关于Dorrabee"},
        {TextId::about_text, "Dorrabee\n版本 " DORRABEE_VERSION "\n\n一只住在桌面上的\n蓝灰色短毛猫。"},
        {TextId::about_hint, "左键拎起它，右键打开菜单。"},
        {TextId::about_credits, "原创美术与程序 (C) 2026 Dorrabee 开发者"},
    };
    EXPECT_STREQ(language_code(LANGUAGE_CHINESE), "zh_CN");
    for (const auto& [id, text] : chinese)
        EXPECT_STREQ(text_of(LANGUAGE_CHINESE, id), text) << int(id);
}

TEST(Texts, EveryTextHasOneInEveryLanguageAndEveryMenuItemOneMnemonic)
{
    ASSERT_GE(ENGLISH, 0);
    EXPECT_GE(LANGUAGE_COUNT, 2);
    for (int32_t language = 0; language < LANGUAGE_COUNT; ++language) {
        for (int id = 0; id < TEXT_COUNT; ++id)
            EXPECT_STRNE(text_of(language, TextId(id)), "") << language_code(language) << " " << id;
        const MenuTemplate* menu = find_menu_template(resource_in_language(RES_MENU, language));
        ASSERT_NE(menu, nullptr);
        for (int i = 0; i < menu->item_count; ++i) {
            const std::string caption = menu->items[i].caption ? menu->items[i].caption : "&";
            EXPECT_NE(caption.find('&'), std::string::npos) << caption;
            EXPECT_EQ(caption.find('&'), caption.rfind('&')) << caption;
        }
    }
    EXPECT_STREQ(text_of(ENGLISH, TextId::menu_exit), "&Exit");
    EXPECT_STREQ(text_of(ENGLISH, TextId::about_text),
                 "Dorrabee\nVersion " DORRABEE_VERSION "\n\nA blue-grey shorthair\nwho lives on your desktop.");
    EXPECT_STREQ(text_of(99, TextId::ok), "确定") << "out of range reads as Chinese";
}

// Each language's dialogs have the Chinese ones' controls, in their order,
// with that language's texts and resource numbers.
TEST(Texts, EachLanguagesDialogsAreTheChineseOnesInItsOwnWords)
{
    for (int32_t language = 0; language < LANGUAGE_COUNT; ++language) {
        for (int id : {RES_OPTIONS_DIALOG, RES_ABOUT_DIALOG}) {
            const DialogTemplate* own = find_dialog_template(resource_in_language(id, language));
            const DialogTemplate* chinese = find_dialog_template(id);
            ASSERT_NE(own, nullptr);
            EXPECT_EQ(own->resource_id, id + language * RES_LANGUAGE_STEP);
            ASSERT_EQ(own->control_count, chinese->control_count);
            for (int i = 0; i < own->control_count; ++i) {
                EXPECT_EQ(own->controls[i].kind, chinese->controls[i].kind);
                EXPECT_EQ(own->controls[i].id, chinese->controls[i].id);
                EXPECT_EQ(own->controls[i].style, chinese->controls[i].style);
            }
        }
        // The About text stays left of where the scene is painted.
        const DialogTemplate* about = find_dialog_template(resource_in_language(RES_ABOUT_DIALOG, language));
        const ControlTemplate& text = about->controls[1];
        EXPECT_STREQ(text.caption, text_of(language, TextId::about_text));
        EXPECT_LE(text.x + text.width, about->width * SCENE_LEFT / LAYOUT_WIDTH) << language_code(language);
        const DialogTemplate* options = find_dialog_template(resource_in_language(RES_OPTIONS_DIALOG, language));
        EXPECT_STREQ(options->caption, text_of(language, TextId::options_title));
        EXPECT_STREQ(options->controls[0].caption, text_of(language, TextId::ok));
    }
    EXPECT_STREQ(find_dialog_template(1113)->font, "MS Shell Dlg");
}

TEST(Texts, TheLanguageComesFromTheSettingElseTheFirstSystemLanguageWithTexts)
{
    struct Case {
        const char* setting;
        const char* system;
        int32_t expected;
    };
    const Case cases[] = {
        {"", "zh_CN", LANGUAGE_CHINESE},
        {"", "zh_CN.UTF-8", LANGUAGE_CHINESE},
        {"", "zh-Hans-CN", LANGUAGE_CHINESE},
        {"", "zh_TW", LANGUAGE_CHINESE},  // the one Chinese there is
        {"", "en_US", ENGLISH},
        {"", "de_DE@euro", ENGLISH},  // no German: English
        {"", "C", ENGLISH},
        {"", "", ENGLISH},
        {nullptr, nullptr, ENGLISH},
        {"", "de:zh_CN:en", LANGUAGE_CHINESE},  // the first that has texts
        {"", "en_GB:zh_CN", ENGLISH},
        {"", "::zh", LANGUAGE_CHINESE},
        {"zh", "en_US", LANGUAGE_CHINESE},
        {"ZH", "en_US", LANGUAGE_CHINESE},
        {"zh_CN", "en_US", LANGUAGE_CHINESE},
        {"en", "zh_CN", ENGLISH},
        {"EN", "zh_CN", ENGLISH},
        {"english", "zh_CN", LANGUAGE_CHINESE},  // not a language name: the system decides
        {"z", "en", ENGLISH},
        {"_zh", "zh", LANGUAGE_CHINESE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(choose_language(c.setting, c.system), c.expected)
            << (c.setting ? c.setting : "null") << " / " << (c.system ? c.system : "null");
    const std::string long_entry(200, 'z');
    EXPECT_EQ(choose_language("", (long_entry + ":zh").c_str()), LANGUAGE_CHINESE) << "an entry too long is skipped";
}

TEST(Texts, TheEnvironmentIsReadAsQtReadsIt)
{
    struct Case {
        const char *lc_all, *lc_messages, *lang, *language;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, "zh_CN.UTF-8", nullptr, "zh_CN.UTF-8"},
        {nullptr, "en_US.UTF-8", "zh_CN.UTF-8", nullptr, "en_US.UTF-8"},
        {"zh_CN.UTF-8", "en_US.UTF-8", "en_US.UTF-8", nullptr, "zh_CN.UTF-8"},
        {"", "", "en_US.UTF-8", "", "en_US.UTF-8"},
        {nullptr, nullptr, "en_US.UTF-8", "zh_CN:en", "zh_CN:en:en_US.UTF-8"},
        {nullptr, nullptr, "C", "zh_CN", "C"},  // LANGUAGE counts only beside a real locale
        {nullptr, nullptr, "C.UTF-8", "zh_CN", "C"},
        {"POSIX", nullptr, "zh_CN.UTF-8", "zh_CN", "C"},
        {nullptr, nullptr, nullptr, "zh_CN", "C"},
        {nullptr, nullptr, "POSIXLY", nullptr, "POSIXLY"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui_languages_from_environment(c.lc_all, c.lc_messages, c.lang, c.language), c.expected) << c.expected;
}

}  // namespace
