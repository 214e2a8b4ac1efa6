// The few things Qt does not offer on X11: taskbar hints, exact stacking and
// reading the root window's pixels. Each does nothing without an X server
// (Qt's offscreen platform in the tests).
#include <QGuiApplication>
#include <QScreen>
#include <cstring>
#include <xcb/xcb.h>

#include "platform/qt/qt_host.h"

static xcb_connection_t* connection() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

static xcb_window_t root_of(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

static xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(reply);
    return found;
}

// Qt's own state atoms are added to these when it maps the window.
void x11_skip_taskbar(QWidget* widget) {
    xcb_connection_t* c = connection();
    if (!c) return;
    const xcb_atom_t states[] = {atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), atom(c, "_NET_WM_STATE_SKIP_PAGER"),
                                 atom(c, "_NET_WM_STATE_ABOVE")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(widget->winId()),
                        atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 3, states);
}

void x11_raise(QWidget* widget) {
    xcb_connection_t* c = connection();
    if (!c) return;
    const uint32_t values[] = {XCB_STACK_MODE_ABOVE};
    xcb_configure_window(c, static_cast<xcb_window_t>(widget->winId()), XCB_CONFIG_WINDOW_STACK_MODE, values);
}

// The child of the root that holds `window`: the window itself, or the frame
// a window manager put around it.
static xcb_window_t top_level_of(xcb_connection_t* c, xcb_window_t window) {
    const xcb_window_t root = root_of(c);
    for (int depth = 0; depth < 8; ++depth) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
        if (!tree) return window;
        const xcb_window_t parent = tree->parent;
        free(tree);
        if (parent == root || parent == XCB_WINDOW_NONE) return window;
        window = parent;
    }
    return window;
}

void x11_put_above(QWidget* above, QWidget* below) {
    xcb_connection_t* c = connection();
    if (!c) return;
    const auto own = static_cast<xcb_window_t>(above->winId());
    const xcb_window_t top = top_level_of(c, own);
    if (top == own) {
        const uint32_t values[] = {XCB_STACK_MODE_ABOVE};
        xcb_configure_window(c, own, XCB_CONFIG_WINDOW_STACK_MODE, values);
    } else {
        // A window manager stacks only the windows it manages; the unmanaged
        // pet goes under the frame instead.
        const uint32_t values[] = {top, XCB_STACK_MODE_BELOW};
        xcb_configure_window(c, static_cast<xcb_window_t>(below->winId()),
                             XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
    }
}

void x11_flush() {
    if (xcb_connection_t* c = connection()) xcb_flush(c);
}

bool x11_capture_root(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t* pixels) {
    xcb_connection_t* c = connection();
    if (!c) return false;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root_of(c), static_cast<int16_t>(x), static_cast<int16_t>(y),
                      static_cast<uint16_t>(width), static_cast<uint16_t>(height), ~0u),
        nullptr);
    if (!image) return false;
    const size_t count = static_cast<size_t>(width) * height;
    const bool usable = image->depth >= 24 && static_cast<size_t>(xcb_get_image_data_length(image)) == count * 4;
    if (usable) {
        const uint8_t* data = xcb_get_image_data(image);
        for (size_t i = 0; i < count; ++i) {
            uint32_t pixel;
            memcpy(&pixel, data + i * 4, 4);
            pixels[i] = pixel & 0xFFFFFF;
        }
    }
    free(image);
    return usable;
}

// ---- the screen behind the pet

bool platform_open_screen() { return QGuiApplication::primaryScreen() != nullptr; }
void platform_close_screen() {}

void platform_capture_screen(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t* pixels) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QPoint origin = primary_origin();
    if (x11_capture_root(origin.x() + x, origin.y() + y, width, height, pixels)) return;
    const QImage image = screen->grabWindow(0, x, y, width, height).toImage().convertToFormat(QImage::Format_RGB32);
    for (int32_t row = 0; row < height && row < image.height(); ++row) {
        const auto* from = reinterpret_cast<const uint32_t*>(image.constScanLine(row));
        for (int32_t column = 0; column < width && column < image.width(); ++column) {
            pixels[static_cast<size_t>(row) * width + column] = from[column] & 0xFFFFFF;
        }
    }
}
