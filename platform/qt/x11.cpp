// The few things Qt does not offer on X11: taskbar hints, exact stacking and
// reading the root window's pixels. Each does nothing without an X server
// (Qt's offscreen platform in the tests).
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>
#include <algorithm>
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

std::string x11_resources() {
    xcb_connection_t* c = connection();
    if (!c) return {};
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root_of(c), XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 20), nullptr);
    if (!reply) return {};
    std::string text(static_cast<const char*>(xcb_get_property_value(reply)),
                     static_cast<size_t>(xcb_get_property_value_length(reply)));
    free(reply);
    return text;
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

// ---- the pet window's hot path, straight to X

// Our pixels (0x00RRGGBB in 32-bit words) are already what a 24-bit window
// takes as a Z pixmap on a little-endian server; anything else takes Qt's way.
uint32_t x11_direct_gc(QWidget* widget) {
    xcb_connection_t* c = connection();
    if (!c || QSysInfo::ByteOrder != QSysInfo::LittleEndian) return 0;
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return 0;
    bool packed = false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth == 24 && formats.data->bits_per_pixel == 32) packed = true;
    }
    const auto window = static_cast<xcb_window_t>(widget->winId());
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    const bool usable = packed && geometry && geometry->depth == 24;
    free(geometry);
    if (!usable) return 0;
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const uint32_t values[] = {0};  // no GraphicsExpose events for our puts
    xcb_create_gc(c, gc, window, XCB_GC_GRAPHICS_EXPOSURES, values);
    return gc;
}

void x11_free_gc(uint32_t gc) {
    if (xcb_connection_t* c = connection(); c && gc) xcb_free_gc(c, gc);
}

uint16_t x11_put_pixels(QWidget* widget, uint32_t gc, const uint32_t* pixels, int32_t width, int32_t height,
                        int32_t x, int32_t y) {
    xcb_connection_t* c = connection();
    if (!c || width <= 0 || height <= 0) return 0;
    uint16_t sequence = 0;
    // A request holds at most the server's limit (in 4-byte units) less its header.
    const size_t row_bytes = static_cast<size_t>(width) * 4;
    const size_t room = static_cast<size_t>(xcb_get_maximum_request_length(c)) * 4 - 64;
    const int32_t rows_per_put = static_cast<int32_t>(std::max<size_t>(room / row_bytes, 1));
    const auto window = static_cast<xcb_window_t>(widget->winId());
    for (int32_t row = 0; row < height; row += rows_per_put) {
        const int32_t rows = std::min(rows_per_put, height - row);
        sequence = static_cast<uint16_t>(
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, static_cast<uint16_t>(width),
                          static_cast<uint16_t>(rows), static_cast<int16_t>(x), static_cast<int16_t>(y + row), 0, 24,
                          static_cast<uint32_t>(row_bytes * rows),
                          reinterpret_cast<const uint8_t*>(pixels + static_cast<size_t>(row) * width))
                .sequence);
    }
    return sequence;
}

ExposeKind x11_expose_kind(const void* event, QWidget* widget, uint16_t painted) {
    const auto* generic = static_cast<const xcb_generic_event_t*>(event);
    if ((generic->response_type & 0x7F) != XCB_EXPOSE) return ExposeKind::other;
    const auto* expose = static_cast<const xcb_expose_event_t*>(event);
    if (expose->window != static_cast<xcb_window_t>(widget->winId())) return ExposeKind::other;
    // An event carries the number of the last request handled before it; one
    // from before our last whole-window put shows nothing that put did not
    // cover (the shape and place changes of every tick cause most of them).
    const bool stale = static_cast<int16_t>(expose->sequence - painted) < 0;
    return expose->count == 0 && !stale ? ExposeKind::paint : ExposeKind::covered;
}

void x11_move(QWidget* widget, QPoint to) {
    xcb_connection_t* c = connection();
    if (!c) return;
    const uint32_t values[] = {static_cast<uint32_t>(to.x()), static_cast<uint32_t>(to.y())};
    xcb_configure_window(c, static_cast<xcb_window_t>(widget->winId()), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                         values);
}
