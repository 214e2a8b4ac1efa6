// A fullscreen program in front on X11: the active window (_NET_ACTIVE_WINDOW
// on the root) is fullscreen (_NET_WM_STATE_FULLSCREEN) or covers a whole
// monitor. Learnt from events: the root's and the active window's property
// changes (a window going fullscreen is restacked, which changes the root's
// stacking list) and the active window's own; the pets' ticks only read the
// answer kept here. Nothing without an X server.
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

#include "platform/platform.h"
#include "platform/qt/qt_host.h"

namespace {

// The one window a property of which is read: its first 32-bit values.
int read_values(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type, uint32_t* values,
                int capacity)
{
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, uint32_t(capacity)), nullptr);
    int count = 0;
    if (reply && reply->format == 32) {
        count = std::min(xcb_get_property_value_length(reply) / 4, capacity);
        std::memcpy(values, xcb_get_property_value(reply), size_t(count) * 4);
    }
    free(reply);
    return count;
}

class FrontWatch final : public QAbstractNativeEventFilter {
public:
    explicit FrontWatch(xcb_connection_t* c) : c_(c)
    {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        active_atom_ = x11_atom(c, "_NET_ACTIVE_WINDOW");
        state_atom_ = x11_atom(c, "_NET_WM_STATE");
        fullscreen_atom_ = x11_atom(c, "_NET_WM_STATE_FULLSCREEN");
        // Qt asks the root for property changes already where it needs them;
        // this adds them for good (the menu's watch then finds them on).
        x11_watch_activation(true);
        look_again();
    }

    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const uint8_t type = event->response_type & 0x7F;
        if (type == XCB_PROPERTY_NOTIFY) {
            const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            // The root's: the active window changed, or the stacking (a window
            // going fullscreen is raised into the fullscreen layer).
            if (property->window == root_ || (property->window == active_ && property->atom == state_atom_))
                look_again();
        } else if (type == XCB_CONFIGURE_NOTIFY) {
            if (reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window == active_)
                look_again();
        }
        return false;  // Qt still sees every event
    }

    // Where the front window stands in X's root pixels, when it is a fullscreen one.
    QRect fullscreen;
    bool is_fullscreen = false;

private:
    static bool is_ours(xcb_window_t window)
    {
        for (const QWindow* ours : QGuiApplication::allWindows())
            if (ours->handle() && static_cast<xcb_window_t>(ours->winId()) == window)
                return true;
        return false;
    }

    void look_again()
    {
        uint32_t active = 0;
        const xcb_window_t before = active_;
        active_ = read_values(c_, root_, active_atom_, XCB_ATOM_WINDOW, &active, 1) == 1
                      ? xcb_window_t{active}
                      : xcb_window_t{XCB_WINDOW_NONE};
        is_fullscreen = false;
        // One of our own windows (a dialog) is never a fullscreen program, and
        // its event mask is Qt's: selecting on it from this connection would
        // replace that mask, and the dialog would hear no more keys.
        if (active_ == XCB_WINDOW_NONE || is_ours(active_))
            return;
        if (active_ != before) {
            // Its own changes of state and place, from now on.
            const uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
            xcb_change_window_attributes(c_, active_, XCB_CW_EVENT_MASK, mask);
            xcb_flush(c_);
        }
        uint32_t states[16];
        const int count = read_values(c_, active_, state_atom_, XCB_ATOM_ATOM, states, 16);
        bool flagged = false;
        for (int k = 0; k < count; ++k)
            flagged = flagged || states[k] == fullscreen_atom_;
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, active_), nullptr);
        xcb_translate_coordinates_reply_t* corner =
            xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, active_, root_, 0, 0), nullptr);
        if (geometry && corner) {
            fullscreen = QRect(corner->dst_x, corner->dst_y, geometry->width, geometry->height);
            // A borderless window over a whole monitor counts as one flagged so.
            bool covers = false;
            for (const QScreen* screen : QGuiApplication::screens())
                covers = covers || fullscreen.contains(screen->geometry());
            is_fullscreen = flagged || covers;
        }
        free(geometry);
        free(corner);
    }

    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    xcb_window_t active_ = XCB_WINDOW_NONE;
    xcb_atom_t active_atom_ = XCB_ATOM_NONE;
    xcb_atom_t state_atom_ = XCB_ATOM_NONE;
    xcb_atom_t fullscreen_atom_ = XCB_ATOM_NONE;
};

// Made at the first question, for the process: the desk's, not a pet's.
FrontWatch* front_watch()
{
    static FrontWatch* watch = []() -> FrontWatch* {
        auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (!x11 || !x11->connection())
            return nullptr;
        auto* made = new FrontWatch(x11->connection());
        qApp->installNativeEventFilter(made);
        return made;
    }();
    return watch;
}

}  // namespace

bool platform_fullscreen_in_front(const Monitor& m)
{
    const FrontWatch* watch = front_watch();
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!watch || !watch->is_fullscreen || !primary)
        return false;
    // Desktop pixels count from the primary's corner; X's from the root's.
    const QRect monitor = QRect(m.x, m.y, m.width, m.height).translated(primary->geometry().topLeft());
    // On this monitor: it holds the fullscreen window's middle.
    return monitor.contains(watch->fullscreen.center());
}
