// Every language's menu and dialogs on Qt: each caption fits the control it
// sits in, whole, in the font its dialog asks for.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QRegularExpression>
#include <QStyleOption>

#include "support/templates.h"
#include "support/texts.h"
#include "tests/qt/qt_test_support.h"

namespace {

QString without_mnemonic(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// Why the widget's caption does not fit it whole; empty when it does.
QString caption_misfit(QWidget* widget)
{
    const QFontMetrics metrics(widget->font());
    const QRect area = widget->rect();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text().isEmpty())
            return {};
        for (const QString& word : label->text().split(QRegularExpression(QStringLiteral("\\s+"))))
            if (metrics.horizontalAdvance(word) > area.width())
                return QStringLiteral("the word \"%1\" is wider than its label").arg(word);
        if (label->heightForWidth(area.width()) > area.height())
            return QStringLiteral("\"%1\" needs %2 pixels of height, has %3")
                .arg(label->text())
                .arg(label->heightForWidth(area.width()))
                .arg(area.height());
        return {};
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        const int room = area.width() - 2 * metrics.averageCharWidth();
        return metrics.horizontalAdvance(box->title()) > room ? QStringLiteral("the title \"%1\"").arg(box->title())
                                                              : QString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const QString text = without_mnemonic(button->text());
        int needed = metrics.horizontalAdvance(text);
        if (qobject_cast<QRadioButton*>(button)) {
            QStyleOptionButton option;
            option.initFrom(button);
            needed += button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, button) +
                      button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, button);
        } else {
            needed += 2 * metrics.averageCharWidth();  // the frame and a little air
        }
        if (needed > area.width() || metrics.height() > area.height())
            return QStringLiteral("\"%1\" needs %2 x %3 pixels, has %4 x %5")
                .arg(text)
                .arg(needed)
                .arg(metrics.height())
                .arg(area.width())
                .arg(area.height());
    }
    return {};
}

intptr_t quiet_proc(Window*, unsigned, uintptr_t, intptr_t)
{
    return 0;
}

TEST(Languages, EveryCaptionOfEveryLanguagesDialogsFitsItsControl)
{
    for (int32_t language = 0; language < LANGUAGE_COUNT; ++language) {
        for (int id : {RES_OPTIONS_DIALOG, RES_ABOUT_DIALOG}) {
            Window* dialog = platform_create_dialog(resource_in_language(id, language), nullptr, quiet_proc, nullptr);
            ASSERT_NE(dialog, nullptr) << language_code(language) << " " << id;
            for (QObject* child : dialog->widget->children()) {
                auto* widget = qobject_cast<QWidget*>(child);
                if (!widget)
                    continue;
                const QString misfit = caption_misfit(widget);
                EXPECT_TRUE(misfit.isEmpty())
                    << language_code(language) << " dialog " << id << ": " << misfit.toStdString();
            }
            platform_destroy_window(dialog);
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(Languages, EachLanguageHasItsOwnMenuInItsOwnWords)
{
    for (int32_t language = 0; language < LANGUAGE_COUNT; ++language) {
        Menu* menu = platform_load_pet_menu(resource_in_language(RES_MENU, language));
        ASSERT_NE(menu, nullptr);
        QStringList captions;
        for (QAction* action : menu_widget(menu)->actions())
            if (!action->isSeparator())
                captions << action->text();
        EXPECT_EQ(captions,
                  (QStringList{text_of(language, TextId::menu_continue), text_of(language, TextId::menu_options),
                               text_of(language, TextId::menu_about), text_of(language, TextId::menu_exit)}));
    }
    EXPECT_EQ(platform_load_pet_menu(RES_MENU + 7), nullptr) << "no such menu";
}

}  // namespace
