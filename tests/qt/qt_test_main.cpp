// The Qt layer's tests run on Qt's offscreen platform: no X server needed.
#include <gtest/gtest.h>

#include <QMessageBox>

#include "tests/qt/qt_test_support.h"

std::vector<Delivered> delivered;

intptr_t recording_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    delivered.push_back({window, message, wparam, lparam});
    return 0;
}

int count_of(unsigned message)
{
    int count = 0;
    for (const Delivered& d : delivered)
        count += d.message == message;
    return count;
}

void when_modal_opens(std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, act] {
        QWidget* open = QApplication::activePopupWidget();
        if (!open)
            open = QApplication::activeModalWidget();
        // A box owned by a window is modal to that window alone, by our own means.
        for (QWidget* window : QApplication::topLevelWidgets())
            if (!open && qobject_cast<QMessageBox*>(window) && window->isVisible())
                open = window;
        if (!open && clock->elapsed() < 2000)
            return;
        poll->stop();
        poll->deleteLater();
        delete clock;
        if (open)
            act(open);
    });
    poll->start(10);
}

bool process_until(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return done();
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
