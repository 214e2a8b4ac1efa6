// The Linux program's entry point: Qt on X11, then the shell runs the rest.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

#include "shell/command_line.h"
#include "platform/qt/qt_host.h"
#include "shell/startup.h"

int main(int argc, char** argv)
{
    // Answered with no display; Qt's own options are not taken.
    switch (command_line_ask(argc, argv)) {
        case CommandLineAsk::version:
            puts("dorrabee " DORRABEE_VERSION);
            return 0;
        case CommandLineAsk::help:
            fputs(command_line_usage().c_str(), stdout);
            return 0;
        case CommandLineAsk::refused:
            fputs(command_line_usage().c_str(), stderr);
            return 2;
        case CommandLineAsk::run:
            break;
    }
    // The pet places and raises itself and reads the screen behind it, which
    // only X11 allows; a Wayland session runs it through XWayland. Qt's own
    // scaling would turn the 42-pixel pet into uneven blocks, so it is off.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // The pet scales itself, by whole numbers; Qt's factor only tells how much.
    keep_scale_factor_at_start(getenv("QT_SCALE_FACTOR"));
    qunsetenv("QT_SCALE_FACTOR");  // these would scale it all the same
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    if (!getenv("DISPLAY") || !*getenv("DISPLAY")) {
        fputs(
            "dorrabee: no X display (DISPLAY is not set). Start it inside a desktop session,\n"
            "or on a virtual screen: xvfb-run -s '-screen 0 1024x768x24' dorrabee\n",
            stderr);
        return 1;
    }
    // Qt aborts when the server is not there, advising a reinstall; ask the
    // server ourselves first and say what is wrong.
    xcb_connection_t* probe = xcb_connect(nullptr, nullptr);
    const int refused = xcb_connection_has_error(probe);
    xcb_disconnect(probe);
    if (refused) {
        fprintf(stderr,
                "dorrabee: cannot open the X display \"%s\": no X server answers there, or it refuses\n"
                "this user. Check DISPLAY (and XAUTHORITY), or start it on a virtual screen:\n"
                "xvfb-run -s '-screen 0 1024x768x24' dorrabee\n",
                getenv("DISPLAY"));
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the shell's loop decides when to end
    // Qt has taken its own arguments out of argv by now.
    return dorrabee_main(SHOW_NOACTIVATE, QCoreApplication::applicationDirPath().toUtf8().constData(), argc, argv);
}
