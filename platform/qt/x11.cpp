// The few things Qt does not offer on X11: taskbar hints, exact stacking and
// reading the root window's pixels. Each does nothing without an X server
// (Qt's offscreen platform in the tests).
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>
#include <algorithm>
#include <cstring>
#include <xcb/xcb.h>

#include "graphics/sprites.h"
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

void x11_take_focus(QWidget* widget) {
    xcb_connection_t* c = connection();
    if (!c) return;
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(widget->winId()), XCB_CURRENT_TIME);
    xcb_flush(c);
}

// (Focus events of a grab that begins or ends, or of the pointer's window,
// move no focus.)
static bool focus_moved(const void* event, uint8_t type, QWidget* widget) {
    const auto* generic = static_cast<const xcb_generic_event_t*>(event);
    if ((generic->response_type & 0x7F) != type) return false;
    const auto* focus = static_cast<const xcb_focus_in_event_t*>(event);
    return focus->event == static_cast<xcb_window_t>(widget->winId()) && focus->mode != XCB_NOTIFY_MODE_GRAB &&
           focus->mode != XCB_NOTIFY_MODE_UNGRAB && focus->detail != XCB_NOTIFY_DETAIL_POINTER;
}

bool x11_focus_came(const void* event, QWidget* widget) { return focus_moved(event, XCB_FOCUS_IN, widget); }
bool x11_focus_left(const void* event, QWidget* widget) { return focus_moved(event, XCB_FOCUS_OUT, widget); }

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
    // Where a compositor draws the screen the pet is drawn see-through
    // instead: a backdrop all of the key colour lets everything show.
    if (x11_screen_composited()) {
        std::fill(pixels, pixels + static_cast<size_t>(width) * height, KEY_COLOUR);
        return;
    }
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
// takes as a Z pixmap on a little-endian server, and a 32-bit one once the
// alpha byte is set; anything else takes Qt's way.
static bool packs_32_bit_pixels(xcb_connection_t* c, uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (QSysInfo::ByteOrder != QSysInfo::LittleEndian || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return false;
    }
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth == depth && formats.data->bits_per_pixel == 32) return true;
    }
    return false;
}

X11DirectDrawing x11_direct_gc(QWidget* widget) {
    xcb_connection_t* c = connection();
    if (!c) return {};
    const auto window = static_cast<xcb_window_t>(widget->winId());
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    const uint8_t depth = geometry ? geometry->depth : 0;
    free(geometry);
    if ((depth != 24 && depth != 32) || !packs_32_bit_pixels(c, depth)) return {};
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const uint32_t values[] = {0};  // no GraphicsExpose events for our puts
    xcb_create_gc(c, gc, window, XCB_GC_GRAPHICS_EXPOSURES, values);
    return {gc, depth};
}

// A compositing manager owns this selection while it runs (for the screen
// root_of takes).
static bool compositing_manager_runs(xcb_connection_t* c) {
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom(c, "_NET_WM_CM_S0")), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    free(owner);
    return owned;
}

// XWayland names its outputs after itself; a Wayland compositor draws the
// screen, and its root window cannot be read.
static bool server_is_xwayland(xcb_connection_t* c) {
    xcb_query_extension_reply_t* extension =
        xcb_query_extension_reply(c, xcb_query_extension(c, 8, "XWAYLAND"), nullptr);
    const bool present = extension && extension->present;
    free(extension);
    return present;
}

static bool screen_has_argb_visual(xcb_connection_t* c) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths)) {
        if (depths.data->depth != 32) continue;
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
            if (visuals.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR) return true;
        }
    }
    return false;
}

// Decided once: a compositor that starts or stops later changes nothing.
bool x11_screen_composited() {
    static const bool composited = [] {
        xcb_connection_t* c = connection();
        return c && packs_32_bit_pixels(c, 32) && screen_has_argb_visual(c) &&
               (server_is_xwayland(c) || compositing_manager_runs(c));
    }();
    return composited;
}

void x11_free_gc(uint32_t gc) {
    if (xcb_connection_t* c = connection(); c && gc) xcb_free_gc(c, gc);
}

uint16_t x11_put_pixels(QWidget* widget, X11DirectDrawing drawing, const uint32_t* pixels, int32_t width,
                        int32_t height, int32_t x, int32_t y) {
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
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, drawing.gc, static_cast<uint16_t>(width),
                          static_cast<uint16_t>(rows), static_cast<int16_t>(x), static_cast<int16_t>(y + row), 0,
                          drawing.depth,
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
