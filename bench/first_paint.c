/* Start-up time to the first paint, seen from outside the program: starts
 * the command, waits for a 42 x 42 top-level window to be mapped, then
 * watches the screen under it until its pixels first differ from what was
 * there before the start. Prints "<ms to map> <ms to first paint>" and ends
 * the command again.
 *
 *   first_paint PROGRAM [ARGUMENTS...]      (on $DISPLAY)
 *
 * Built by bench/measure_process.sh: cc first_paint.c -lX11 */
#define _DEFAULT_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { PET = 42, TIMEOUT_MS = 10000 };

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static int differs(XImage* before, XImage* after, int x0, int y0)
{
    for (int y = 0; y < PET; ++y)
        for (int x = 0; x < PET; ++x)
            if (XGetPixel(before, x0 + x, y0 + y) != XGetPixel(after, x, y))
                return 1;
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: first_paint PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "first_paint: cannot open the display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes screen;
    XGetWindowAttributes(display, root, &screen);
    XImage* before = XGetImage(display, root, 0, 0, screen.width, screen.height, AllPlanes, ZPixmap);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = now_ms();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double mapped_at = -1, painted_at = -1;
    int x = 0, y = 0;
    while (painted_at < 0 && now_ms() - start < TIMEOUT_MS) {
        if (mapped_at < 0) {
            struct pollfd wait_for = {ConnectionNumber(display), POLLIN, 0};
            if (!XPending(display) && poll(&wait_for, 1, 50) <= 0)
                continue;
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify)
                continue;
            XWindowAttributes window;
            if (!XGetWindowAttributes(display, event.xmap.window, &window) || window.width != PET ||
                window.height != PET)
                continue;
            Window ignored;
            XTranslateCoordinates(display, event.xmap.window, root, 0, 0, &x, &y, &ignored);
            if (x < 0 || y < 0 || x + PET > screen.width || y + PET > screen.height)
                continue;
            mapped_at = now_ms();
        }
        XImage* after = XGetImage(display, root, x, y, PET, PET, AllPlanes, ZPixmap);
        if (after && differs(before, after, x, y))
            painted_at = now_ms();
        if (after)
            XDestroyImage(after);
        if (painted_at < 0)
            usleep(500);
    }
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    if (painted_at < 0) {
        fprintf(stderr, "first_paint: no 42x42 window painted within %d ms\n", TIMEOUT_MS);
        return 1;
    }
    printf("%.1f %.1f\n", mapped_at - start, painted_at - start);
    return 0;
}
