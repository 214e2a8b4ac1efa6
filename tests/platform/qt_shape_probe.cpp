// Reads a window's shape back from the X server; apart from the driver
// because Xlib's names clash with ours and Qt's.
#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

bool x11_shape_holds(unsigned long window, int x, int y, bool input)
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(display, window, input ? ShapeInput : ShapeBounding, &count, &ordering);
    bool inside = false;
    for (int i = 0; i < count; ++i)
        inside |=
            x >= rects[i].x && x < rects[i].x + rects[i].width && y >= rects[i].y && y < rects[i].y + rects[i].height;
    if (rects)
        XFree(rects);
    return inside;
}
