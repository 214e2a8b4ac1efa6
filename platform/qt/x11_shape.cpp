// The pet's shape set straight on its X window (the SHAPE extension through
// Xlib), without QWidget::setMask's region bookkeeping and repaint. Apart
// from the other X files because Xlib's names (Window, None, Bool...) clash
// with ours and Qt's.
#include <QGuiApplication>
#include <array>

#include "graphics/outline_bands.h"
#include "platform/qt/x11_shape.h"

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

static Display* display() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

bool x11_shape_available() {
    Display* d = display();
    int event_base = 0, error_base = 0;
    return d && XShapeQueryExtension(d, &event_base, &error_base);
}

void x11_set_shape(unsigned long window, const Outline* outline, int side, X11Shape kind) {
    Display* d = display();
    if (!d) return;
    const int shape = kind == X11Shape::input ? ShapeInput : ShapeBounding;
    if (!outline) {
        XShapeCombineMask(d, window, shape, 0, 0, None, ShapeSet);
        XFlush(d);
        return;
    }
    std::array<OutlineBand, MAX_OUTLINE_BANDS> bands;
    std::array<XRectangle, MAX_OUTLINE_BANDS> rects;
    const int count = outline_bands(*outline, bands.data(), side);
    for (int i = 0; i < count; ++i) rects[i] = {bands[i].x, bands[i].y, bands[i].width, bands[i].height};
    // No rectangles is an empty shape: nothing shows and nothing takes the mouse.
    XShapeCombineRectangles(d, window, shape, 0, 0, rects.data(), count, ShapeSet, YXBanded);
    // Xlib keeps its own buffer; Qt flushes only xcb's.
    XFlush(d);
}
