#include "support/templates.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "shell/startup.h"

namespace {

const ControlTemplate* control(const DialogTemplate& dialog, int id)
{
    for (int i = 0; i < dialog.control_count; ++i)
        if (dialog.controls[i].id == id)
            return &dialog.controls[i];
    return nullptr;
}

}  // namespace

TEST(Templates, MenuHoldsTheFourCommandsInOrder)
{
    EXPECT_EQ(pet_menu_template.resource_id, RES_MENU);
    std::vector<int> commands;
    for (int i = 0; i < pet_menu_template.item_count; ++i)
        commands.push_back(pet_menu_template.items[i].caption ? pet_menu_template.items[i].command : 0);
    EXPECT_EQ(commands, (std::vector<int>{CMD_CONTINUE, 0, CMD_OPTIONS, CMD_ABOUT, 0, CMD_EXIT}));
}

TEST(Templates, OptionsDialog)
{
    const DialogTemplate* dialog = find_dialog_template(RES_OPTIONS_DIALOG);
    ASSERT_EQ(dialog, &options_dialog_template);
    EXPECT_STREQ(dialog->caption, "Dorrabee — 选项");
    EXPECT_EQ(dialog->style, 0x10C800C0u);
    EXPECT_EQ(dialog->width, 172);
    EXPECT_EQ(dialog->height, 150);
    EXPECT_STREQ(dialog->font, "宋体");
    EXPECT_EQ(dialog->control_count, 18);

    // Template order is keyboard order: OK first, the two group boxes last.
    EXPECT_EQ(dialog->controls[0].kind, CONTROL_DEFPUSHBUTTON);
    EXPECT_EQ(dialog->controls[0].id, 1);
    EXPECT_EQ(dialog->controls[17].kind, CONTROL_GROUPBOX);
    EXPECT_STREQ(dialog->controls[17].caption, "范围");

    const ControlTemplate* speed = control(*dialog, 1007);
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->kind, CONTROL_EDITTEXT);
    EXPECT_EQ((std::vector<int>{speed->x, speed->y, speed->width, speed->height}), (std::vector<int>{43, 119, 45, 12}));
    EXPECT_EQ(speed->style & (STYLE_BORDER | STYLE_TABSTOP), STYLE_BORDER | STYLE_TABSTOP);

    const ControlTemplate* standard = control(*dialog, 1006);
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(standard->kind, CONTROL_AUTORADIOBUTTON);
    EXPECT_STREQ(standard->caption, "标准，需要较少的资源。");
    EXPECT_EQ(standard->style & (STYLE_GROUP | STYLE_TABSTOP), 0u);
}

TEST(Templates, AboutDialog)
{
    const DialogTemplate* dialog = find_dialog_template(RES_ABOUT_DIALOG);
    ASSERT_EQ(dialog, &about_dialog_template);
    EXPECT_STREQ(dialog->caption, "关于Dorrabee");
    EXPECT_EQ(dialog->width, 243);
    EXPECT_EQ(dialog->height, 207);
    EXPECT_EQ(dialog->language, 1);
    ASSERT_EQ(dialog->control_count, 6);
    EXPECT_EQ(dialog->controls[0].id, 1);
    EXPECT_EQ(std::string(dialog->controls[1].caption).rfind("Dorrabee\n", 0), 0u) << "credits open with the name";
    EXPECT_EQ(dialog->controls[3].kind, CONTROL_CTEXT_DISABLED);
    EXPECT_NE(dialog->controls[3].style & STYLE_DISABLED, 0u);
    EXPECT_EQ(dialog->controls[4].kind, CONTROL_PICTURE);
    EXPECT_EQ(std::stoi(dialog->controls[4].caption), RES_PORTRAIT);
    EXPECT_EQ((std::vector<int>{dialog->controls[5].x, dialog->controls[5].y, dialog->controls[5].width,
                                dialog->controls[5].height}),
              (std::vector<int>{4, 0, 236, 203}));

    EXPECT_EQ(find_dialog_template(RES_MENU), nullptr);
}
