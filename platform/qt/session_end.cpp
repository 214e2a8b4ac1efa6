// The user's session ending, told to every pet as Windows tells it: the
// session manager's request to save (MSG_QUERYENDSESSION) and, at logout or
// shutdown, SIGTERM or SIGHUP (MSG_ENDSESSION), which would otherwise end
// the program at once with nothing saved.
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "platform/qt/qt_host.h"

namespace {

// Written once, before the handler is installed; the handler only reads it.
int signal_pipe_write = -1;

void on_end_signal(int)
{
    const int saved_errno = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = write(signal_pipe_write, &byte, 1);
    errno = saved_errno;
}

// The notifier the signals wake, made at the first pet; null where no pipe
// could be had (the signals then end the program as before).
QSocketNotifier* end_signals()
{
    static QSocketNotifier* notifier = []() -> QSocketNotifier* {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            return nullptr;
        signal_pipe_write = fds[1];
        auto* made = new QSocketNotifier(fds[0], QSocketNotifier::Read, qApp);
        // Connected before any pet's: the pipe is emptied once a wake-up.
        QObject::connect(made, &QSocketNotifier::activated, made, [fd = fds[0]] {
            char bytes[16];
            while (read(fd, bytes, sizeof bytes) > 0) {
            }
        });
        struct sigaction action = {};
        action.sa_handler = on_end_signal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGHUP, &action, nullptr);
        return made;
    }();
    return notifier;
}

}  // namespace

void watch_session_end(Window* pet)
{
    QWidget* context = pet->widget;  // the connections end with the pet's widget
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, context,
                     [pet](QSessionManager&) { deliver(pet, MSG_QUERYENDSESSION, 0, 0); });
    if (QSocketNotifier* notifier = end_signals())
        QObject::connect(notifier, &QSocketNotifier::activated, context, [pet] {
            deliver(pet, MSG_ENDSESSION, 1, 0);
            // As on Windows, the program is gone once the session has ended:
            // a menu or a box open at that moment ends its loop too, rather
            // than keep the program alive past the logout.
            QCoreApplication::exit(0);
        });
}
