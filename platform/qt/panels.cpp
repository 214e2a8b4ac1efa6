// Panels and docks on X11: each monitor's work area from the struts the
// panels declare (_NET_WM_STRUT_PARTIAL, or the older _NET_WM_STRUT).
// _NET_WORKAREA, which Qt reads, is one rectangle for the whole desktop: a
// panel at the bottom of one monitor would raise every monitor's floor.
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

#include "platform/qt/qt_host.h"

namespace {

// A desktop's windows are few; a list past this is not a desktop's.
constexpr uint32_t MOST_WINDOWS = 4096;

// The windows that may be panels: the window manager's list of clients;
// without a window manager, the root's children.
std::vector<xcb_window_t> candidate_windows(xcb_connection_t* c, xcb_window_t root)
{
    std::vector<xcb_window_t> windows;
    const xcb_atom_t clients = x11_atom(c, "_NET_CLIENT_LIST");
    if (clients != XCB_ATOM_NONE) {
        xcb_get_property_reply_t* reply =
            xcb_get_property_reply(c, xcb_get_property(c, 0, root, clients, XCB_ATOM_WINDOW, 0, MOST_WINDOWS), nullptr);
        if (reply && reply->format == 32) {
            const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
            windows.assign(ids, ids + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
        if (!windows.empty())
            return windows;
    }
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        const int count = std::min(xcb_query_tree_children_length(tree), int(MOST_WINDOWS));
        windows.assign(children, children + count);
    }
    free(tree);
    return windows;
}

// A strut property's values, however many of `want` the window gave (the
// rest 0); false without one.
bool read_strut(xcb_connection_t* c, xcb_get_property_cookie_t cookie, uint32_t* values, int want)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    bool found = false;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 16) {
        const int count = std::min(xcb_get_property_value_length(reply) / 4, want);
        std::memset(values, 0, sizeof(uint32_t) * size_t(want));
        std::memcpy(values, xcb_get_property_value(reply), sizeof(uint32_t) * size_t(count));
        found = true;
    }
    free(reply);
    return found;
}

// True when [a, a + n) and [b, b + m) share a pixel.
bool overlap(int64_t a, int64_t n, int64_t b, int64_t m)
{
    return n > 0 && m > 0 && a < b + m && b < a + n;
}

}  // namespace

std::vector<X11Strut> x11_panel_struts(xcb_connection_t* c, int32_t* root_width, int32_t* root_height)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    *root_width = screen->width_in_pixels;
    *root_height = screen->height_in_pixels;
    const std::vector<xcb_window_t> windows = candidate_windows(c, screen->root);
    const xcb_atom_t partial = x11_atom(c, "_NET_WM_STRUT_PARTIAL");
    const xcb_atom_t plain = x11_atom(c, "_NET_WM_STRUT");
    // Every question asked before the first answer is waited for: one round
    // trip for the whole desktop.
    struct Asked {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_property_cookie_t partial, plain;
    };
    std::vector<Asked> asked;
    asked.reserve(windows.size());
    for (const xcb_window_t window : windows)
        asked.push_back({xcb_get_window_attributes(c, window),
                         xcb_get_property(c, 0, window, partial, XCB_ATOM_CARDINAL, 0, 12),
                         xcb_get_property(c, 0, window, plain, XCB_ATOM_CARDINAL, 0, 4)});
    std::vector<X11Strut> struts;
    for (const Asked& question : asked) {
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(c, question.attributes, nullptr);
        // Only a panel that shows takes room.
        const bool shown = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        free(attributes);
        uint32_t values[12];
        X11Strut strut{};
        if (read_strut(c, question.partial, values, 12)) {
            strut = {values[0], values[1], values[2], values[3], values[4],  values[5],
                     values[6], values[7], values[8], values[9], values[10], values[11]};
            free(xcb_get_property_reply(c, question.plain, nullptr));
        } else if (read_strut(c, question.plain, values, 4)) {
            // The older form reaches along the whole edge.
            const uint32_t w = uint32_t(*root_width) - 1;
            const uint32_t h = uint32_t(*root_height) - 1;
            strut = {values[0], values[1], values[2], values[3], 0, h, 0, h, 0, w, 0, w};
        } else {
            continue;
        }
        if (shown)
            struts.push_back(strut);
    }
    return struts;
}

void x11_work_area(Monitor& monitor, int32_t root_width, int32_t root_height, const std::vector<X11Strut>& struts)
{
    const int64_t x = monitor.x, y = monitor.y, w = monitor.width, h = monitor.height;
    int64_t left = x, top = y, right = x + w, bottom = y + h;
    // Each side's band runs from the root's edge inwards; it takes room from
    // a monitor it reaches into, along the part of the edge it declares
    // (the ends given are the last pixels it covers). A band over the whole
    // monitor is meant for another one (a strut can only count from the
    // root's edge, so a panel at the inner edge of a right-hand monitor
    // covers the left-hand one too): it leaves this one alone.
    const auto along = [](uint32_t start, uint32_t end, int64_t from, int64_t length) {
        return overlap(start, int64_t(end) - int64_t(start) + 1, from, length);
    };
    for (const X11Strut& s : struts) {
        const int64_t right_band = int64_t(root_width) - s.right;
        const int64_t bottom_band = int64_t(root_height) - s.bottom;
        if (overlap(0, s.left, x, w) && s.left < x + w && along(s.left_start_y, s.left_end_y, y, h))
            left = std::max<int64_t>(left, s.left);
        if (overlap(right_band, s.right, x, w) && right_band > x && along(s.right_start_y, s.right_end_y, y, h))
            right = std::min(right, right_band);
        if (overlap(0, s.top, y, h) && s.top < y + h && along(s.top_start_x, s.top_end_x, x, w))
            top = std::max<int64_t>(top, s.top);
        if (overlap(bottom_band, s.bottom, y, h) && bottom_band > y && along(s.bottom_start_x, s.bottom_end_x, x, w))
            bottom = std::min(bottom, bottom_band);
    }
    // Panels from both sides that meet: nothing sensible is left.
    if (left >= right || top >= bottom) {
        left = x, top = y, right = x + w, bottom = y + h;
    }
    monitor.work_x = int32_t(left);
    monitor.work_y = int32_t(top);
    monitor.work_width = int32_t(right - left);
    monitor.work_height = int32_t(bottom - top);
}
