// The Linux program's entry point: Qt on X11, then the shell runs the rest.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

#include "shell/command_line.h"
#include "platform/qt/qt_host.h"
#include "shell/startup.h"

namespace {

// A screen of 8 bits or fewer a pixel shows neither the pet nor its boxes.
bool screen_has_colour(const xcb_setup_t* setup, int screen_number)
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    for (int k = 0; k < screen_number && screens.rem > 0; ++k)
        xcb_screen_next(&screens);
    return screens.rem > 0 && screens.data->root_depth >= 15;
}

}  // namespace

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
    const char* display = getenv("DISPLAY");
    if (!display || !*display) {
        fputs(
            "dorrabee: no X display (DISPLAY is not set). Start it inside a desktop session,\n"
            "or on a virtual screen: xvfb-run -s '-screen 0 1024x768x24' dorrabee\n",
            stderr);
        return 1;
    }
    // Qt aborts when the server is not there, advising a reinstall; ask the
    // server ourselves first and say what is wrong.
    int screen_number = 0;
    xcb_connection_t* probe = xcb_connect(display, &screen_number);
    const int refused = xcb_connection_has_error(probe);
    const bool colour = !refused && screen_has_colour(xcb_get_setup(probe), screen_number);
    xcb_disconnect(probe);
    if (refused) {
        fprintf(stderr,
                "dorrabee: cannot open the X display \"%s\": no X server answers there, or it refuses\n"
                "this user. Check DISPLAY (and XAUTHORITY), or start it on a virtual screen:\n"
                "xvfb-run -s '-screen 0 1024x768x24' dorrabee\n",
                display);
        return 1;
    }
    if (!colour) {
        fprintf(stderr,
                "dorrabee: the X display \"%s\" has 8 bits a pixel or fewer, in which neither the pet\n"
                "nor its messages can be shown. Use a screen of 16 or 24 bits a pixel.\n",
                display);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the shell's loop decides when to end
    // Qt has taken its own arguments out of argv by now.
    const int status =
        dorrabee_main(SHOW_NOACTIVATE, QCoreApplication::applicationDirPath().toUtf8().constData(), argc, argv);
    return pet_was_lost() ? 1 : status;
}
