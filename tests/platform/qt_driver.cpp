// The contract suite on Qt: offscreen, or on an X server, where the pet is
// drawn and shaped with direct X requests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include "platform/qt/qt_host.h"
#include "tests/platform/contract.h"

// The window's X shape of that kind holds the point (qt_shape_probe.cpp).
bool x11_shape_holds(unsigned long window, int x, int y, bool input);

bool contract_run_until(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } while (!done() && clock.elapsed() < ms);
    return done();
}

void contract_close_modal_when(std::function<bool()> done)
{
    auto* poll = new QTimer;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, done] {
        QWidget* open = QApplication::activePopupWidget();
        if (!open)
            open = QApplication::activeModalWidget();
        // A box owned by a window is modal to that window alone, by the platform's own means.
        for (QWidget* window : QApplication::topLevelWidgets())
            if (!open && qobject_cast<QMessageBox*>(window) && window->isVisible())
                open = window;
        const bool late = clock.elapsed() > 2000;
        if (!late && (!open || !done()))
            return;
        poll->stop();
        poll->deleteLater();
        if (auto* dialog = qobject_cast<QDialog*>(open))
            dialog->done(0);
        else if (open)
            open->close();
    });
    poll->start(10);
}

bool contract_window_shows(Window* window, int32_t x, int32_t y)
{
    if (!window->widget->rect().contains(x, y))
        return false;
    if (window->x11_shape)
        return x11_shape_holds(window->widget->winId(), x, y, window->x11.depth == 32);
    const QRegion mask = window->widget->mask();
    return mask.isEmpty() || mask.contains(QPoint(x, y));
}

std::string contract_menu(Menu* menu)
{
    std::string shown;
    for (QAction* action : menu_widget(menu)->actions()) {
        if (action->isSeparator())
            continue;
        if (QMenu* sub = action->menu()) {
            shown += sub->title().toStdString() + ":";
            const QList<QAction*> items = sub->actions();
            for (qsizetype i = 0; i < items.size(); ++i) {
                if (i)
                    shown += ",";
                if (items[i]->isChecked())
                    shown += "*";
                shown += items[i]->text().toStdString();
            }
        } else {
            shown += std::to_string(action->data().toInt());
        }
        shown += "|";
    }
    return shown;
}

int32_t contract_picture_width(Window* dialog)
{
    for (QLabel* label : dialog->widget->findChildren<QLabel*>())
        if (!label->pixmap().isNull())
            return label->pixmap().width();
    return 0;
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
