// Dialogs built from the templates, message boxes and the pop-up menu on Qt,
// and the Options dialog's procedure running on them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <cstring>

#include "engine/shared.h"
#include "shell/dialogs.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "tests/qt/qt_test_support.h"

namespace {

TEST(DialogUnits, CornersAreConvertedAndRoundedAsWindowsMapsDialogRectangles)
{
    const DialogUnits units{6, 13};
    // 127 * 6 / 4 = 190.5 and 167 * 6 / 4 = 250.5 round up; 11 * 13 / 8 = 17.875, 28 * 13 / 8 = 45.5.
    EXPECT_EQ(dialog_rect_to_pixels(units, 127, 11, 40, 17), QRect(191, 18, 60, 28));
    EXPECT_EQ(dialog_rect_to_pixels(units, 0, 0, 172, 150), QRect(0, 0, 258, 244));
    // Neighbours share their edge exactly.
    const QRect left = dialog_rect_to_pixels(units, 9, 80, 18, 10);
    const QRect right = dialog_rect_to_pixels(units, 27, 79, 31, 12);
    EXPECT_EQ(left.right() + 1, right.left());
}

TEST(DialogUnits, TheDialogFontIsMeasuredLikeWindowsAverageCharacter)
{
    const QFont font = dialog_font();
    EXPECT_EQ(font.pointSize(), 9);
    const DialogUnits units = dialog_units_of(font);
    const QFontMetrics metrics(font);
    EXPECT_EQ(units.base_y, metrics.height());
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    EXPECT_LE(std::abs(units.base_x * 52 - letters), 26) << "the mean width, rounded";
}

TEST(DialogPlacement, StaysWhereAskedUnlessThatHangsOffTheScreen)
{
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(place_on_screen(QPoint(100, 200), QSize(258, 244), screen), QPoint(100, 200));
    EXPECT_EQ(place_on_screen(QPoint(900, 700), QSize(258, 244), screen), QPoint(766, 524));
    EXPECT_EQ(place_on_screen(QPoint(-5, -9), QSize(258, 244), screen), QPoint(0, 0));
    EXPECT_EQ(place_on_screen(QPoint(50, 50), QSize(2000, 244), screen), QPoint(0, 50))
        << "too wide: the left edge shows";
}

class Dialogs : public testing::Test {
protected:
    void SetUp() override
    {
        delivered.clear();
        platform_register_pet_class(recording_proc);
        pet = platform_create_pet_window(42, nullptr);
        platform_place_hidden(pet, 120, 90);
    }
    void TearDown() override
    {
        platform_destroy_window(pet);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <typename T>
    static std::vector<T*> all(Window* dialog)
    {
        std::vector<T*> found;
        for (QObject* child : dialog->widget->children()) {
            if (auto* widget = qobject_cast<T*>(child))
                found.push_back(widget);
        }
        return found;
    }
    Window* pet = nullptr;
};

TEST_F(Dialogs, TheOptionsTemplateBecomesAVisibleDialogAtItsOwnersCorner)
{
    Window* dialog = platform_create_dialog(RES_OPTIONS_DIALOG, pet, recording_proc, nullptr);
    ASSERT_NE(dialog, nullptr);
    QWidget* widget = dialog->widget;
    EXPECT_EQ(delivered.back().message, MSG_INITDIALOG) << "delivered before the call returns";
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->windowTitle(), QStringLiteral("Dorrabee — 选项"));
    EXPECT_EQ(widget->pos(), QPoint(120, 90));
    const DialogUnits units = dialog_units_of(widget->font());
    EXPECT_EQ(widget->size(), dialog_rect_to_pixels(units, 0, 0, 172, 150).size());

    EXPECT_EQ(all<QRadioButton>(dialog).size(), 3u);
    EXPECT_EQ(all<QLineEdit>(dialog).size(), 5u);
    const auto buttons = all<QPushButton>(dialog);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("确定"));
    EXPECT_TRUE(buttons[0]->isDefault());
    EXPECT_FALSE(buttons[1]->isDefault());
    EXPECT_EQ(buttons[0]->geometry(), dialog_rect_to_pixels(units, 127, 11, 40, 17));
    // Group boxes lie under every other control.
    const QObjectList children = widget->children();
    ASSERT_GE(children.size(), 2);
    EXPECT_TRUE(qobject_cast<QGroupBox*>(children[0]) && qobject_cast<QGroupBox*>(children[1]));
    EXPECT_EQ(pet->owned, std::vector<Window*>{dialog});
}

TEST_F(Dialogs, NearTheScreensCornerTheDialogIsShiftedOntoIt)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    platform_place_hidden(pet, screen.right() - 10, screen.bottom() - 10);
    Window* dialog = platform_create_dialog(RES_ABOUT_DIALOG, pet, recording_proc, nullptr);
    const QRect placed = dialog->widget->frameGeometry();
    EXPECT_EQ(placed.right(), screen.right());
    EXPECT_EQ(placed.bottom(), screen.bottom());
}

TEST_F(Dialogs, ButtonsEscapeEnterAndTheCloseBoxBecomeCommandsForTheProcedure)
{
    Window* dialog = platform_create_dialog(RES_OPTIONS_DIALOG, pet, recording_proc, nullptr);
    auto commands = [] {
        std::vector<uintptr_t> found;
        for (const Delivered& d : delivered) {
            if (d.message == MSG_COMMAND)
                found.push_back(d.wparam);
        }
        return found;
    };
    all<QPushButton>(dialog)[1]->click();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog->widget, &escape);
    dialog->widget->close();
    QLineEdit* field = all<QLineEdit>(dialog)[0];
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &enter);
    EXPECT_EQ(commands(), (std::vector<uintptr_t>{2, 2, 2, 1}));
    EXPECT_TRUE(dialog->widget->isVisible()) << "only the procedure closes its dialog";
}

TEST_F(Dialogs, ItemTextsAndChecksByControlId)
{
    Window* dialog = platform_create_dialog(RES_OPTIONS_DIALOG, pet, recording_proc, nullptr);
    char text[80];
    platform_set_item_text(dialog, 1002, "  25 ");
    EXPECT_EQ(platform_get_item_text(dialog, 1002, text, sizeof text), 5);
    EXPECT_STREQ(text, "  25 ");
    platform_set_item_text(dialog, 1007, "12345");
    EXPECT_EQ(platform_get_item_text(dialog, 1007, text, 4), 3);
    EXPECT_STREQ(text, "123");
    platform_set_item_text(dialog, 1007, "顶部");  // 3 bytes a character
    EXPECT_EQ(platform_get_item_text(dialog, 1007, text, 5), 3) << "never half a character";
    platform_set_item_text(dialog, 1007, "");
    EXPECT_EQ(platform_get_item_text(dialog, 1007, text, sizeof text), 0);
    EXPECT_STREQ(text, "");

    // As on Windows, setting one button's check leaves the others alone;
    // the procedure sets each of them.
    platform_set_check(dialog, 1000, 1);
    platform_set_check(dialog, 1001, 0);
    platform_set_check(dialog, 1006, 0);
    EXPECT_EQ(platform_get_check(dialog, 1000), 1);
    EXPECT_EQ(platform_get_check(dialog, 1001) + platform_get_check(dialog, 1006), 0);
    platform_set_check(dialog, 1000, 0);
    EXPECT_EQ(platform_get_check(dialog, 1000) + platform_get_check(dialog, 1001) + platform_get_check(dialog, 1006), 0)
        << "all three can be unchecked";
    all<QRadioButton>(dialog)[0]->click();
    all<QRadioButton>(dialog)[2]->click();
    EXPECT_EQ(platform_get_check(dialog, 1000), 0) << "still exclusive for the user";
    EXPECT_EQ(platform_get_check(dialog, 1006), 1);
}

TEST_F(Dialogs, TheAboutTemplateShowsItsPortraitAndGreyedCredit)
{
    Window* dialog = platform_create_dialog(RES_ABOUT_DIALOG, pet, recording_proc, nullptr);
    EXPECT_EQ(dialog->widget->windowTitle(), QStringLiteral("关于Dorrabee"));
    bool portrait = false, greyed = false;
    for (QLabel* label : all<QLabel>(dialog)) {
        portrait |= label->pixmap().size() == QSize(100, 107) && label->size() == QSize(100, 107);
        greyed |= !label->isEnabled();
    }
    EXPECT_TRUE(portrait);
    EXPECT_TRUE(greyed);
}

// ---- message boxes

struct BoxSeen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool owned_by_dialog = false;
};

BoxSeen& answer_box(QWidget* expected_parent = nullptr)
{
    static BoxSeen seen;
    seen = {};
    when_modal_opens([expected_parent](QWidget* open) {
        auto* box = qobject_cast<QMessageBox*>(open);
        if (!box)
            return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        seen.owned_by_dialog = expected_parent && box->parentWidget() == expected_parent;
        box->buttons().first()->click();
    });
    return seen;
}

// A pet's name or script cell is shown as written, never read as markup.
TEST_F(Dialogs, EveryTextIsPlainText)
{
    const char* markup = "<img src=/dev/zero><b>Cat</b>";
    static Qt::TextFormat format = Qt::AutoText;
    when_modal_opens([](QWidget* open) {
        auto* box = qobject_cast<QMessageBox*>(open);
        ASSERT_NE(box, nullptr);
        format = box->textFormat();
        box->buttons().first()->click();
    });
    platform_message_box(nullptr, markup, BOX_ERROR);
    EXPECT_EQ(format, Qt::PlainText);
    int labels = 0;
    for (const int template_id : {RES_ABOUT_DIALOG, RES_OPTIONS_DIALOG}) {
        Window* dialog = platform_create_dialog(template_id, pet, recording_proc, nullptr);
        for (QLabel* label : all<QLabel>(dialog)) {
            if (!label->pixmap().isNull())
                continue;
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
            ++labels;
        }
        platform_destroy_window(dialog);
    }
    EXPECT_GT(labels, 2);
}

TEST_F(Dialogs, MessageBoxesAreCaptionedDorrabeeWithTheirIconAndOneChineseOk)
{
    static BoxSeen seen;
    when_modal_opens([](QWidget* open) {
        auto* box = qobject_cast<QMessageBox*>(open);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), {}, false};
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        box->buttons().first()->click();
    });
    platform_message_box(nullptr, "Out of memory", BOX_ERROR, "确定");
    EXPECT_EQ(seen.title, QStringLiteral("Dorrabee"));
    EXPECT_EQ(seen.text, QStringLiteral("Out of memory"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("确定")});

    // The pet keeps ticking while a box is up.
    ASSERT_TRUE(platform_set_timer(pet, 1, 5));
    delivered.clear();
    when_modal_opens([](QWidget* open) {
        seen.icon = qobject_cast<QMessageBox*>(open)->icon();
        QTimer::singleShot(100, open, [open] { qobject_cast<QMessageBox*>(open)->buttons().first()->click(); });
    });
    platform_message_box(pet, "Fail to set timer", BOX_WARNING);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_GE(count_of(MSG_TIMER), 3);
}

// The Options dialog's own procedure on the real widgets: the exact texts
// and the file.
TEST_F(Dialogs, TheOptionsProcedureRefusesWithItsMessagesAndSavesAllSixKeys)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("dorra.ini"));
    Program program{};
    snprintf(program.settings_path, sizeof program.settings_path, "%s", ini.toUtf8().constData());
    program.desktop.count = 1;
    program.desktop.monitors[0] = {0, 0, 1024, 768, 0, 0, 1024, 768, 96};
    program.pending_settings = {MODE_PRECOMPUTED, 0, 0, 0, 0, 150};
    Pet owner{};
    owner.program = &program;
    owner.window = pet;
    owner.zoom = 1;
    const ::Dialogs& dialogs = program.dialogs;

    open_options_dialog(owner, pet);
    ASSERT_EQ(dialogs.options_open, 1);
    Window* dialog = pet->owned.back();
    char text[80];
    platform_get_item_text(dialog, 1007, text, sizeof text);
    EXPECT_STREQ(text, "150");
    QPushButton* ok = all<QPushButton>(dialog)[0];

    const struct {
        const char *top, *left, *right, *speed, *message;
    } refused[] = {
        {"1x", "0", "0", "150", "Invalid Margin Values !  Please Re-enter .."},
        {"0", "500", "483", "150", "Margin too large !  Please Re-enter .."},
        {"0", "500", "482", "9", "Invalid Speed Value !  Please Re-enter .."},
    };
    for (const auto& r : refused) {
        platform_set_item_text(dialog, 1002, r.top);
        platform_set_item_text(dialog, 1003, r.left);
        platform_set_item_text(dialog, 1005, r.right);
        platform_set_item_text(dialog, 1007, r.speed);
        const BoxSeen& seen = answer_box(dialog->widget);
        ok->click();
        EXPECT_EQ(seen.text, QString::fromUtf8(r.message));
        EXPECT_EQ(seen.icon, QMessageBox::Critical);
        EXPECT_TRUE(seen.owned_by_dialog);
        EXPECT_EQ(dialogs.options_open, 1) << r.message;
        EXPECT_FALSE(QFile::exists(ini));
        platform_get_item_text(dialog, 1002, text, sizeof text);
        EXPECT_STREQ(text, r.top) << "the entries stay as typed";
    }

    platform_set_item_text(dialog, 1007, "0200");
    all<QRadioButton>(dialog)[1]->click();
    ok->click();
    EXPECT_EQ(dialogs.options_open, 0);
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(),
              "[Setup]\nMode=2\nTop Margin=0\nBottom Margin=0\nLeft Margin=500\nRight Margin=482\nTimer=200\n");
}

// ---- the pop-up menu

TEST_F(Dialogs, TheMenuHasTheTemplatesItemsAndPostsTheChosenCommand)
{
    Menu* menu = platform_load_pet_menu();
    ASSERT_EQ(menu, platform_load_pet_menu()) << "made once";
    static QStringList captions;
    static QPoint opened_at;
    captions.clear();
    when_modal_opens([](QWidget* open) {
        auto* popup = qobject_cast<QMenu*>(open);
        ASSERT_NE(popup, nullptr);
        opened_at = popup->pos();
        for (QAction* action : popup->actions())
            captions << (action->isSeparator() ? QString("-") : action->text());
        QTimer::singleShot(100, popup, [popup] {
            popup->setActiveAction(popup->actions()[2]);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(popup, &enter);
        });
    });
    ASSERT_TRUE(platform_set_timer(pet, 1, 5));
    platform_track_popup_menu(menu, 130, 95, pet);
    platform_kill_timer(pet, 1);
    EXPECT_GE(count_of(MSG_TIMER), 3) << "the pet keeps ticking while the menu is open";
    EXPECT_EQ(captions, (QStringList{"继续(&C)", "-", "选项(&O)", "关于Dorrabee(&A)", "-", "退出(&E)"}));
    EXPECT_EQ(opened_at, QPoint(130, 95));
    EXPECT_EQ(count_of(MSG_COMMAND), 0) << "posted: it arrives after the menu call returns";
    ASSERT_TRUE(process_until([] { return count_of(MSG_COMMAND) == 1; }));
    EXPECT_EQ(delivered.back().window, pet);
    EXPECT_EQ(delivered.back().wparam, 40007u);
}

}  // namespace
