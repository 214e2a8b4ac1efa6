// The few things Qt does not offer on X11: taskbar hints, exact stacking,
// reading the root window's pixels, and the pet window's tick. Each does
// nothing without an X server (Qt's offscreen platform in the tests).
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QSysInfo>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>
#include <cstring>
#include <utility>
#include <sys/mman.h>
#include <unistd.h>
#include <xcb/shape.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include "graphics/sprites.h"
#include "graphics/outline_bands.h"
#include "platform/qt/qt_host.h"

static xcb_connection_t* connection()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The pets' requests go out on a connection of their own: nothing answers on
// it but the screen read ahead, so Qt's connection, its reader thread and its
// event handling sleep while a pet walks (on Qt's, each move and shape change
// came back as events Qt answered with round trips of its own). One for the
// process, opened at the first pet; what each pet does on it is its own
// (X11ScreenReads, X11DirectDrawing).
struct PetConnection {
    xcb_connection_t* c = nullptr;
    bool ours = false;  // else Qt's, when ours cannot be opened
    // On ours, until the screen is first read: drops what comes back unasked.
    // From then on the pets read its socket at every move, and each flush
    // drops what those reads brought besides the answers.
    QSocketNotifier* errors = nullptr;
    // The pet windows whose destruction ours hears of: one by another X
    // client ends the program, for nothing could show the pet any more. It
    // is heard as the error of the next request for it (every tick restacks
    // each shown pet): selecting its structure events would bring back an
    // event for every move and restacking of every pet, waking the program.
    std::vector<xcb_window_t> watched;
};

// Drops what came unasked on ours, minding an error for a watched window.
static void drop_events(PetConnection& link, xcb_generic_event_t* (*next)(xcb_connection_t*))
{
    while (xcb_generic_event_t* event = next(link.c)) {
        const auto* error = reinterpret_cast<const xcb_generic_error_t*>(event);
        if (event->response_type == 0 && error->error_code == XCB_WINDOW &&
            std::erase(link.watched, error->resource_id) > 0)
            // Not inside the tick that read it: the box has a loop of its own.
            QTimer::singleShot(
                0, qApp, [] { end_with_error("The pet's window was destroyed by another program; the pet ends."); });
        free(event);
    }
}

static PetConnection& pet_link()
{
    static PetConnection link = [] {
        PetConnection opened;
        xcb_connection_t* qt = connection();
        if (!qt)
            return opened;  // not on X
        opened.c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(opened.c)) {
            xcb_disconnect(opened.c);
            opened.c = qt;
            return opened;
        }
        // Errors (a request for a window Qt has just destroyed) are read and
        // dropped, so they do not pile up.
        xcb_connection_t* c = opened.c;
        auto* notifier = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [c, notifier] {
            drop_events(pet_link(), xcb_poll_for_event);
            if (xcb_connection_has_error(c)) {
                notifier->setEnabled(false);
                // Closed by the server (xkill, a restart): the pet could only stand still.
                end_with_error("The connection to the X server that draws the pet was closed; the pet ends.");
            }
        });
        opened.errors = notifier;
        opened.ours = true;
        return opened;
    }();
    return link;
}

static xcb_connection_t* pet_connection()
{
    return pet_link().c;
}

static xcb_window_t root_of(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

uint32_t x11_atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(reply);
    return found;
}

// Qt's own state atoms are added to these when it maps the window.
void x11_skip_taskbar(QWidget* widget)
{
    xcb_connection_t* c = connection();
    if (!c)
        return;
    const xcb_atom_t states[] = {x11_atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), x11_atom(c, "_NET_WM_STATE_SKIP_PAGER"),
                                 x11_atom(c, "_NET_WM_STATE_ABOVE")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(widget->winId()),
                        x11_atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 3, states);
}

void x11_raise(uint32_t window)
{
    xcb_connection_t* c = pet_connection();
    if (!c)
        return;
    const uint32_t values[] = {XCB_STACK_MODE_ABOVE};
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_STACK_MODE, values);
}

void x11_put_under(uint32_t window, uint32_t sibling)
{
    xcb_connection_t* c = pet_connection();
    if (!c)
        return;
    const uint32_t values[] = {sibling, XCB_STACK_MODE_BELOW};
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
}

// The child of the root that holds `window`: the window itself, or the frame
// a window manager put around it.
static xcb_window_t top_level_of(xcb_connection_t* c, xcb_window_t window)
{
    const xcb_window_t root = root_of(c);
    for (int depth = 0; depth < 8; ++depth) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
        if (!tree)
            return window;
        const xcb_window_t parent = tree->parent;
        free(tree);
        if (parent == root || parent == XCB_WINDOW_NONE)
            return window;
        window = parent;
    }
    return window;
}

// On the pet's connection, so that it follows the pet's raise of the same tick.
// True when it raised `above` (no window manager frames it).
bool x11_put_above(QWidget* above, uint32_t below)
{
    xcb_connection_t* c = pet_connection();
    if (!c)
        return false;
    const auto own = static_cast<xcb_window_t>(above->winId());
    const xcb_window_t top = top_level_of(c, own);
    if (top == own) {
        const uint32_t values[] = {XCB_STACK_MODE_ABOVE};
        xcb_configure_window(c, own, XCB_CONFIG_WINDOW_STACK_MODE, values);
    } else {
        // A window manager stacks only the windows it manages; the unmanaged
        // pet goes under the frame instead.
        const uint32_t values[] = {top, XCB_STACK_MODE_BELOW};
        xcb_configure_window(c, below, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
    }
    return top == own;
}

void x11_take_focus(QWidget* widget)
{
    xcb_connection_t* c = connection();
    if (!c)
        return;
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(widget->winId()), XCB_CURRENT_TIME);
    xcb_flush(c);
}

// (Focus events of a grab that begins or ends, or of the pointer's window,
// move no focus.)
static bool focus_moved(const void* event, uint8_t type, QWidget* widget)
{
    const auto* generic = static_cast<const xcb_generic_event_t*>(event);
    if ((generic->response_type & 0x7F) != type)
        return false;
    const auto* focus = static_cast<const xcb_focus_in_event_t*>(event);
    return focus->event == static_cast<xcb_window_t>(widget->winId()) && focus->mode != XCB_NOTIFY_MODE_GRAB &&
           focus->mode != XCB_NOTIFY_MODE_UNGRAB && focus->detail != XCB_NOTIFY_DETAIL_POINTER;
}

bool x11_watch_activation(bool watch)
{
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    // Changes only that bit of what Qt asks of the root, which is its own.
    const xcb_window_t root = root_of(c);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr);
    if (!attributes)
        return false;
    const uint32_t asked = attributes->your_event_mask;
    free(attributes);
    const uint32_t mask[] = {watch ? asked | XCB_EVENT_MASK_PROPERTY_CHANGE : asked & ~XCB_EVENT_MASK_PROPERTY_CHANGE};
    if (mask[0] == asked)
        return false;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, mask);
    xcb_flush(c);
    return true;
}

bool x11_activation_changed(const void* event)
{
    static const xcb_atom_t active =
        connection() ? x11_atom(connection(), "_NET_ACTIVE_WINDOW") : xcb_atom_t{XCB_ATOM_NONE};
    const auto* generic = static_cast<const xcb_generic_event_t*>(event);
    if ((generic->response_type & 0x7F) != XCB_PROPERTY_NOTIFY || active == XCB_ATOM_NONE)
        return false;
    const auto* property = static_cast<const xcb_property_notify_event_t*>(event);
    return property->atom == active && property->window == root_of(connection());
}

bool x11_focus_came(const void* event, QWidget* widget)
{
    return focus_moved(event, XCB_FOCUS_IN, widget);
}
bool x11_focus_left(const void* event, QWidget* widget)
{
    return focus_moved(event, XCB_FOCUS_OUT, widget);
}

void x11_sync()
{
    xcb_connection_t* c = pet_connection();
    if (c)
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

std::string x11_resources()
{
    xcb_connection_t* c = connection();
    if (!c)
        return {};
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root_of(c), XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 20), nullptr);
    if (!reply)
        return {};
    std::string text(static_cast<const char*>(xcb_get_property_value(reply)),
                     static_cast<size_t>(xcb_get_property_value_length(reply)));
    free(reply);
    return text;
}

// ---- memory shared with the server

// MIT-SHM 1.2 (memory passed as a file descriptor, so only a local server
// can take it); `pixmaps` tells whether it makes pixmaps of it. Asked of the
// server once: the pets share one connection.
static bool shm_offered(xcb_connection_t* c, bool* pixmaps)
{
    static const std::pair<bool, bool> offered_pixmaps = [c]() -> std::pair<bool, bool> {
        const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
        if (!shm || !shm->present)
            return {false, false};
        xcb_shm_query_version_reply_t* version = xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr);
        const bool offered = version && (version->major_version > 1 || version->minor_version >= 2);
        const bool shared_pixmaps =
            offered && version->shared_pixmaps && version->pixmap_format == XCB_IMAGE_FORMAT_Z_PIXMAP;
        free(version);
        return {offered, shared_pixmaps};
    }();
    *pixmaps = offered_pixmaps.second;
    return offered_pixmaps.first;
}

// `bytes` of memory the server shares as `segment`; null where it cannot.
static uint8_t* shared_memory(xcb_connection_t* c, size_t bytes, xcb_shm_seg_t* segment)
{
    bool pixmaps = false;
    if (!shm_offered(c, &pixmaps))
        return nullptr;
    const int fd = memfd_create("dorrabee", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    void* memory = ftruncate(fd, static_cast<off_t>(bytes)) == 0
                       ? mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                       : MAP_FAILED;
    if (memory == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    *segment = xcb_generate_id(c);
    // xcb closes the descriptor once it has gone to the server.
    xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_fd_checked(c, *segment, fd, 0));
    if (error) {
        free(error);
        munmap(memory, bytes);
        return nullptr;
    }
    return static_cast<uint8_t*>(memory);
}

// ---- the screen behind the pet

// `window`: where the pet window stands within the block, if it does.
// `reads` null: a read of no pet's, into the answer.
static RootRead ask_root(xcb_connection_t* c, const X11ScreenReads* reads, QRect block, QRect window = {})
{
    const auto x = static_cast<int16_t>(block.x()), y = static_cast<int16_t>(block.y());
    const auto width = static_cast<uint16_t>(block.width()), height = static_cast<uint16_t>(block.height());
    const xcb_window_t root = root_of(c);
    if (reads && reads->memory && static_cast<size_t>(width) * height * 4 <= reads->bytes) {
        return {
            xcb_shm_get_image(c, root, x, y, width, height, ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, reads->segment, 0).sequence,
            block, window};
    }
    return {xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, x, y, width, height, ~0u).sequence, block, window};
}

// Copies the pixels of `wanted` that lie outside `skip` from `data`, a read of
// `block`, which holds `wanted`.
static void copy_read(const uint8_t* data, QRect block, QRect wanted, QRect skip, uint32_t* pixels)
{
    const auto copy_run = [&](int y, int from_x, int to_x) {  // [from_x, to_x)
        if (to_x <= from_x)
            return;
        const uint8_t* from = data + (static_cast<size_t>(y - block.y()) * block.width() + (from_x - block.x())) * 4;
        uint32_t* to = pixels + static_cast<size_t>(y - wanted.y()) * wanted.width() + (from_x - wanted.x());
        memcpy(to, from, static_cast<size_t>(to_x - from_x) * 4);
        for (int i = 0; i < to_x - from_x; ++i)
            to[i] &= 0xFFFFFF;
    };
    const int end = wanted.x() + wanted.width();
    for (int y = wanted.y(); y < wanted.y() + wanted.height(); ++y) {
        if (y < skip.y() || y >= skip.y() + skip.height()) {
            copy_run(y, wanted.x(), end);
        } else {
            copy_run(y, wanted.x(), std::clamp(skip.x(), wanted.x(), end));
            copy_run(y, std::clamp(skip.x() + skip.width(), wanted.x(), end), end);
        }
    }
}

// Waits for the answer to `read` and copies `wanted`, which its block holds,
// out of it but for `skip` (a null `pixels` drops it); false when it
// brought no 32-bit pixels of that block.
static bool take_answer(xcb_connection_t* c, const X11ScreenReads* reads, RootRead read, QRect wanted, uint32_t* pixels,
                        QRect skip = {})
{
    const size_t bytes = static_cast<size_t>(read.block.width()) * read.block.height() * 4;
    void* answer = nullptr;
    const uint8_t* data = nullptr;
    // A read ahead has long been answered: reading the socket needs no wait.
    if (!xcb_poll_for_reply(c, read.sequence, &answer, nullptr)) {
        answer = xcb_wait_for_reply(c, read.sequence, nullptr);
    }
    if (reads && reads->memory && bytes <= reads->bytes) {
        auto* shared = static_cast<xcb_shm_get_image_reply_t*>(answer);
        if (shared && shared->depth >= 24 && shared->size == bytes)
            data = reads->memory;
    } else {
        auto* image = static_cast<xcb_get_image_reply_t*>(answer);
        if (image && image->depth >= 24 && static_cast<size_t>(xcb_get_image_data_length(image)) == bytes) {
            data = xcb_get_image_data(image);
        }
    }
    if (data && pixels)
        copy_read(data, read.block, wanted, skip, pixels);
    free(answer);
    return data != nullptr;
}

// The read ahead, if one was asked: it is good for one read.
static RootRead take_ahead(X11ScreenReads& reads)
{
    const RootRead ahead = reads.ahead;
    reads.ahead = {};
    return ahead;
}

static void drop_ahead(xcb_connection_t* c, X11ScreenReads& reads)
{
    const RootRead unused = take_ahead(reads);
    if (!unused.block.isEmpty())
        take_answer(c, &reads, unused, unused.block, nullptr);
}

// The root window's pixels, for the pet whose reads these are (null: a read
// of no pet's); false when they cannot be read.
static bool capture_root(X11ScreenReads* reads, QRect wanted, uint32_t* pixels)
{
    PetConnection& link = pet_link();
    if (!link.c)
        return false;
    if (!reads)
        return take_answer(link.c, nullptr, ask_root(link.c, nullptr, wanted), wanted, pixels);
    if (link.errors) {
        // The answer read ahead would wake us as it comes: it waits in the
        // socket instead (a notifier toggled on every move costs wake-ups too).
        delete link.errors;
        link.errors = nullptr;
    }
    if (!reads->prepared && link.ours) {
        // Room for a block twice the window's side each way.
        reads->bytes = static_cast<size_t>(wanted.width()) * wanted.height() * 16;
        reads->memory = shared_memory(link.c, reads->bytes, &reads->segment);
    }
    reads->prepared = true;
    reads->captured = wanted;
    const RootRead ahead = take_ahead(*reads);
    if (!ahead.block.isEmpty()) {
        // What the block shows of the window itself is the caller's to fill.
        const bool holds = ahead.block.contains(wanted);
        if (take_answer(link.c, reads, ahead, wanted, holds ? pixels : nullptr, ahead.window) && holds)
            return true;
    }
    return take_answer(link.c, reads, ask_root(link.c, reads, wanted), wanted, pixels);
}

// After a step that read the screen, the pet will likely take the same step
// again: the block its next place covers is asked for with this flush. The
// answer shows the pet where it now stands, which the next backdrop takes
// from the old one anyway, and it is at most a tick older than a read made
// at the next step (the screen behind a still pet is not read at all).
static void read_ahead(xcb_connection_t* c, X11ScreenReads& reads)
{
    const QPoint step = reads.moved_to - reads.moved_from;
    const QRect here(reads.moved_to, reads.captured.size());
    if (reads.captured.isEmpty() || reads.captured.topLeft() != reads.moved_to || std::abs(step.x()) > here.width() ||
        std::abs(step.y()) > here.height()) {
        return;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const QRect block = (here | here.translated(step)) & QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    if (!block.contains(here.translated(step)))
        return;
    reads.ahead = ask_root(c, &reads, block, here);
}

void x11_queue_reads(X11ScreenReads& reads)
{
    PetConnection& link = pet_link();
    if (!link.c)
        return;
    // What was read ahead and not used is a tick old at the next flush.
    drop_ahead(link.c, reads);
    if (reads.moved)
        read_ahead(link.c, reads);
    reads.moved = false;
    reads.captured = QRect();
}

void x11_send()
{
    PetConnection& link = pet_link();
    if (!link.c)
        return;
    if (link.ours)
        drop_events(link, xcb_poll_for_queued_event);
    xcb_flush(link.c);
}

void x11_flush(X11ScreenReads& reads)
{
    x11_queue_reads(reads);
    x11_send();
}

void x11_free_reads(X11ScreenReads& reads)
{
    xcb_connection_t* c = pet_connection();
    if (!c)
        return;
    const RootRead unused = take_ahead(reads);
    if (!unused.block.isEmpty())
        xcb_discard_reply(c, unused.sequence);
    if (reads.memory) {
        // After any read still on its way, which the server does first.
        xcb_shm_detach(c, reads.segment);
        munmap(reads.memory, reads.bytes);
        xcb_flush(c);
    }
    reads = {};
}

bool platform_open_screen()
{
    return QGuiApplication::primaryScreen() != nullptr;
}
void platform_close_screen() {}

void platform_capture_screen(Window* window, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t* pixels)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Where a compositor draws the screen the pet is drawn see-through
    // instead: a backdrop all of the key colour lets everything show.
    if (x11_screen_composited()) {
        std::fill(pixels, pixels + static_cast<size_t>(width) * height, KEY_COLOUR);
        return;
    }
    const QPoint origin = primary_origin();
    if (capture_root(window && window->is_pet ? &window->x11_reads : nullptr,
                     QRect(origin.x() + x, origin.y() + y, width, height), pixels))
        return;
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
static bool packs_32_bit_pixels(xcb_connection_t* c, uint8_t depth)
{
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (QSysInfo::ByteOrder != QSysInfo::LittleEndian || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return false;
    }
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth == depth && formats.data->bits_per_pixel == 32)
            return true;
    }
    return false;
}

// Qt selects these on its windows; for the pet they would only bring back
// each move, raise and change of shape as events for Qt to answer.
static constexpr uint32_t echoing_events =
    XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_VISIBILITY_CHANGE;

// A pixmap whose pixels live in memory shared with the server: a frame is
// written there, and a tick sends the server a few bytes instead of the
// whole frame (a repaint that meets a frame half written is put right by
// the clear that follows it). False, with nothing made, where the server
// does not offer it.
static bool make_shared_pixmap(xcb_connection_t* c, X11DirectDrawing& drawing)
{
    bool pixmaps = false;
    if (!shm_offered(c, &pixmaps) || !pixmaps)
        return false;
    const size_t bytes = static_cast<size_t>(drawing.side) * drawing.side * 4;
    drawing.shared = shared_memory(c, bytes, &drawing.segment);
    if (!drawing.shared)
        return false;
    xcb_shm_create_pixmap(c, drawing.pixmap, drawing.window, static_cast<uint16_t>(drawing.side),
                          static_cast<uint16_t>(drawing.side), drawing.depth, drawing.segment, 0);
    return true;
}

X11DirectDrawing x11_direct_drawing(QWidget* widget, int32_t side)
{
    xcb_connection_t* qt = connection();
    xcb_connection_t* c = pet_connection();
    if (!qt || !c)
        return {};
    // Asked on Qt's connection, behind the request that makes the window:
    // once this answers, the window exists for ours too.
    const auto window = static_cast<xcb_window_t>(widget->winId());
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(qt, xcb_get_geometry(qt, window), nullptr);
    const uint8_t depth = geometry ? geometry->depth : 0;
    free(geometry);
    if ((depth != 24 && depth != 32) || !packs_32_bit_pixels(c, depth))
        return {};
    X11DirectDrawing drawing{window, xcb_generate_id(c), xcb_generate_id(c), depth, side};
    // The frame shown is the window's background: the server repaints
    // whatever gets uncovered from it, and nobody needs exposure events.
    if (!make_shared_pixmap(c, drawing)) {
        xcb_create_pixmap(c, depth, drawing.pixmap, window, static_cast<uint16_t>(side), static_cast<uint16_t>(side));
    }
    const uint32_t no_exposures[] = {0};  // for our puts
    xcb_create_gc(c, drawing.gc, drawing.pixmap, XCB_GC_GRAPHICS_EXPOSURES, no_exposures);
    const uint32_t black[] = {0};
    xcb_change_gc(c, drawing.gc, XCB_GC_FOREGROUND, black);
    const xcb_rectangle_t all{0, 0, static_cast<uint16_t>(side), static_cast<uint16_t>(side)};
    xcb_poly_fill_rectangle(c, drawing.pixmap, drawing.gc, 1, &all);
    const uint32_t background[] = {drawing.pixmap};
    xcb_change_window_attributes(c, window, XCB_CW_BACK_PIXMAP, background);
    if (pet_link().ours)
        pet_link().watched.push_back(window);
    // Qt keeps the input events (mouse, enter and leave, properties).
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(qt, xcb_get_window_attributes(qt, window), nullptr);
    if (attributes) {
        const uint32_t mask[] = {attributes->your_event_mask & ~echoing_events};
        xcb_change_window_attributes(qt, window, XCB_CW_EVENT_MASK, mask);
        free(attributes);
    }
    xcb_flush(qt);
    return drawing;
}

void x11_free_drawing(const X11DirectDrawing& drawing)
{
    xcb_connection_t* c = pet_connection();
    if (!c || !drawing.gc)
        return;
    std::erase(pet_link().watched, drawing.window);
    xcb_free_gc(c, drawing.gc);
    xcb_free_pixmap(c, drawing.pixmap);
    if (drawing.shared) {
        xcb_shm_detach(c, drawing.segment);
        munmap(drawing.shared, static_cast<size_t>(drawing.side) * drawing.side * 4);
    }
    xcb_flush(c);
}

// A compositing manager owns this selection while it runs (for the screen
// root_of takes).
static bool compositing_manager_runs(xcb_connection_t* c)
{
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, x11_atom(c, "_NET_WM_CM_S0")), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    free(owner);
    return owned;
}

// XWayland names its outputs after itself; a Wayland compositor draws the
// screen, and its root window cannot be read.
static bool server_is_xwayland(xcb_connection_t* c)
{
    xcb_query_extension_reply_t* extension =
        xcb_query_extension_reply(c, xcb_query_extension(c, 8, "XWAYLAND"), nullptr);
    const bool present = extension && extension->present;
    free(extension);
    return present;
}

static bool screen_has_argb_visual(xcb_connection_t* c)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths)) {
        if (depths.data->depth != 32)
            continue;
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
            if (visuals.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR)
                return true;
        }
    }
    return false;
}

// Decided once: a compositor that starts or stops later changes nothing.
bool x11_screen_composited()
{
    static const bool composited = [] {
        xcb_connection_t* c = connection();
        return c && packs_32_bit_pixels(c, 32) && screen_has_argb_visual(c) &&
               (server_is_xwayland(c) || compositing_manager_runs(c));
    }();
    return composited;
}

void x11_put_pixels(const X11DirectDrawing& drawing, const uint32_t* pixels, int32_t width, int32_t height, int32_t x,
                    int32_t y)
{
    xcb_connection_t* c = pet_connection();
    if (!c || width <= 0 || height <= 0)
        return;
    if (drawing.shared) {
        if (x < 0 || y < 0 || width > drawing.side - x || height > drawing.side - y)
            return;
        for (int32_t row = 0; row < height; ++row) {
            memcpy(drawing.shared + (static_cast<size_t>(y + row) * drawing.side + x) * 4,
                   pixels + static_cast<size_t>(row) * width, static_cast<size_t>(width) * 4);
        }
        return;
    }
    // A request holds at most the server's limit (in 4-byte units) less its header.
    const size_t row_bytes = static_cast<size_t>(width) * 4;
    const size_t room = static_cast<size_t>(xcb_get_maximum_request_length(c)) * 4 - 64;
    const int32_t rows_per_put = static_cast<int32_t>(std::max<size_t>(room / row_bytes, 1));
    for (int32_t row = 0; row < height; row += rows_per_put) {
        const int32_t rows = std::min(rows_per_put, height - row);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawing.pixmap, drawing.gc, static_cast<uint16_t>(width),
                      static_cast<uint16_t>(rows), static_cast<int16_t>(x), static_cast<int16_t>(y + row), 0,
                      drawing.depth, static_cast<uint32_t>(row_bytes * rows),
                      reinterpret_cast<const uint8_t*>(pixels + static_cast<size_t>(row) * width));
    }
}

void x11_show_pixels(const X11DirectDrawing& drawing)
{
    if (xcb_connection_t* c = pet_connection())
        xcb_clear_area(c, 0, drawing.window, 0, 0, 0, 0);
}

void x11_move(X11ScreenReads& reads, uint32_t window, QPoint from, QPoint to)
{
    xcb_connection_t* c = pet_connection();
    if (!c)
        return;
    const uint32_t values[] = {static_cast<uint32_t>(to.x()), static_cast<uint32_t>(to.y())};
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    // A read ahead not taken by a read before this move shows the window
    // where it no longer stands.
    drop_ahead(c, reads);
    reads.moved = true;
    reads.moved_from = from;
    reads.moved_to = to;
}

bool x11_shape_available()
{
    xcb_connection_t* c = pet_connection();
    if (!c)
        return false;
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(c, &xcb_shape_id);
    return shape && shape->present;
}

void x11_set_shape(uint32_t window, const Outline* outline, int32_t side, X11Shape kind)
{
    xcb_connection_t* c = pet_connection();
    if (!c)
        return;
    const xcb_shape_kind_t shape = kind == X11Shape::input ? XCB_SHAPE_SK_INPUT : XCB_SHAPE_SK_BOUNDING;
    if (!outline) {
        xcb_shape_mask(c, XCB_SHAPE_SO_SET, shape, window, 0, 0, XCB_PIXMAP_NONE);
        return;
    }
    std::array<OutlineBand, MAX_OUTLINE_BANDS> bands;
    std::array<xcb_rectangle_t, MAX_OUTLINE_BANDS> rects;
    const int count = outline_bands(*outline, bands.data(), side);
    for (int i = 0; i < count; ++i) {
        rects[i] = {bands[i].x, bands[i].y, static_cast<uint16_t>(bands[i].width),
                    static_cast<uint16_t>(bands[i].height)};
    }
    // No rectangles is an empty shape: nothing shows and nothing takes the mouse.
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, shape, XCB_CLIP_ORDERING_YX_BANDED, window, 0, 0,
                         static_cast<uint32_t>(count), rects.data());
}
