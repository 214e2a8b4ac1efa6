// The pet window and what every window of ours shares: timers, painting,
// moving, destroying, mouse capture and cursors, staying on top.
#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QTimerEvent>
#include <algorithm>

#include "engine/shared.h"
#include "graphics/key_runs.h"
#include "graphics/sprites.h"
#include "platform/qt/qt_host.h"

// ---- delivering Qt's events to the shell's procedures

intptr_t deliver(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    if (!window || !window->proc)
        return 0;  // destroyed, waiting to be deleted
    ++window->delivering;
    const intptr_t result = window->proc(window, message, wparam, lparam);
    --window->delivering;
    // A window painted straight to X has no paint event of Qt's to wait for:
    // what the message invalidated is painted as soon as it has been handled,
    // and all it asked of X goes out at once.
    if (window->x11.gc && window->delivering == 0 && window->proc) {
        if (!window->dirty.isEmpty())
            deliver_paint(window);
        x11_flush(window->x11_reads);
    }
    return result;
}

void deliver_timer(Window* window, int qt_timer_id)
{
    for (const auto& [id, qt_id] : window->timers) {
        if (qt_id != qt_timer_id)
            continue;
        // The tick's raise goes out with its frame, in one write: the
        // company's changes, when the shell gathered them, went already.
        ++window->delivering;
        window->changes_sent = false;
        deliver(window, MSG_TIMER, id, 0);
        const bool sent = window->changes_sent;
        if (window->proc && window->is_pet && !sent)
            keep_on_top(window);
        if (window->proc && window->x11.gc && !window->dirty.isEmpty())
            deliver_paint(window);
        --window->delivering;
        if (!sent)
            x11_flush(window->x11_reads);
        return;
    }
}

void deliver_paint(Window* window)
{
    window->dirty = QRect();
    deliver(window, MSG_PAINT, 0, 0);
    if (window->painter.isActive())
        window->painter.end();  // a procedure that forgot end_paint
}

// Window pixels in lparam as Windows packs them: x in the low 16 bits, y in
// the high 16 bits, each a signed 16-bit value.
// The pet's point is counted from where we last put it, not from where the
// event says the window stood: during a fast drag the window moves between
// the pointer's event and its handling, and the difference would drop the pet
// short of the pointer.
static intptr_t point_lparam(const QMouseEvent* event, const Window* window)
{
    const QPoint at = window->is_pet && window->x11.gc ? event->globalPosition().toPoint() - window->placed
                                                       : event->position().toPoint();
    const uint32_t x = static_cast<uint16_t>(static_cast<int16_t>(at.x()));
    const uint32_t y = static_cast<uint16_t>(static_cast<int16_t>(at.y()));
    return static_cast<intptr_t>(x | y << 16);
}

static uintptr_t button_wparam(const QMouseEvent* event)
{
    return (event->buttons() & Qt::LeftButton) ? MOUSE_LEFT_BUTTON : 0;
}

namespace {

class PetWidget final : public QWidget {
public:
    PetWidget(Window* window, int32_t side)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint),
          window_(window)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        // A 32-bit window whose see-through pixels the compositor blends.
        if (x11_screen_composited())
            setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(side, side);
        setWindowTitle(QStringLiteral("Dorrabee"));
        setMouseTracking(true);  // moves reach the window as they do on Windows
    }
    ~PetWidget() override { delete window_; }
    // Painted straight to X: Qt neither paints nor flushes a backing store over it.
    QPaintEngine* paintEngine() const override { return window_->x11.gc ? nullptr : QWidget::paintEngine(); }

protected:
    void paintEvent(QPaintEvent*) override { deliver_paint(window_); }
    void timerEvent(QTimerEvent* event) override { deliver_timer(window_, event->timerId()); }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            deliver(window_, MSG_LBUTTONDOWN, button_wparam(event), point_lparam(event, window_));
        } else if (event->button() == Qt::RightButton) {
            deliver(window_, MSG_RBUTTONDOWN, button_wparam(event), point_lparam(event, window_));
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            deliver(window_, MSG_LBUTTONUP, button_wparam(event), point_lparam(event, window_));
        } else if (event->button() == Qt::RightButton) {
            deliver(window_, MSG_RBUTTONUP, button_wparam(event), point_lparam(event, window_));
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            deliver(window_, MSG_LBUTTONDBLCLK, button_wparam(event), point_lparam(event, window_));
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        deliver(window_, MSG_MOUSEMOVE, button_wparam(event), point_lparam(event, window_));
    }

private:
    Window* window_;
};

}  // namespace

// ---- the pet window

// The seam's coordinates count from the primary screen's corner, as on
// Windows; on X11 that monitor need not start at the root's origin.
QPoint primary_origin()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().topLeft() : QPoint();
}

static WindowProc pet_proc = nullptr;
static Cursor* class_cursor = nullptr;
static Cursor* current_cursor = nullptr;

void platform_register_pet_class(WindowProc proc)
{
    pet_proc = proc;
    QApplication::setWindowIcon(program_icon());
    class_cursor = platform_load_cursor(RES_CURSOR);
    current_cursor = class_cursor;
}

void platform_set_zoom(int32_t z)
{
    set_picture_zoom(z);
    // The pointer over the pet grows with it; the record stays the same.
    Cursor* zoomed = platform_load_cursor(RES_CURSOR);
    if (class_cursor && zoomed)
        class_cursor->cursor = zoomed->cursor;
    delete zoomed;
}

Window* platform_create_pet_window(int32_t side, void* user)
{
    auto* window = new Window;
    window->proc = pet_proc;
    window->user = user;
    window->is_pet = true;
    auto* widget = new PetWidget(window, side);
    window->widget = widget;
    window->x11 = x11_direct_drawing(widget, side);
    if (window->x11.gc)
        widget->setAttribute(Qt::WA_PaintOnScreen);
    window->x11_shape = window->x11.gc && x11_shape_available();
    if (class_cursor)
        window->widget->setCursor(class_cursor->cursor);
    deliver(window, MSG_CREATE, 0, 0);
    watch_desk(window);
    watch_session_end(window);
    return window;
}

void* platform_window_user(Window* window)
{
    return window ? window->user : nullptr;
}

void platform_place_hidden(Window* window, int32_t x, int32_t y)
{
    window->widget->hide();
    window->placed = primary_origin() + QPoint(x, y);
    window->widget->move(window->placed);
}

void platform_show_window(Window* window, int show_command)
{
    if (show_command == SHOW_HIDE) {
        window->widget->hide();
        return;
    }
    // Qt may not have heard where the pet was moved while hidden.
    if (window->is_pet && window->widget->pos() != window->placed)
        window->widget->move(window->placed);
    if (window->is_pet)
        x11_skip_taskbar(window->widget);
    window->widget->show();
    // No exposure tells Qt or us that it is shown: its first frame goes into
    // the background now, and the server shows that as it maps the window.
    if (window->x11.gc) {
        window->dirty = window->widget->rect();
        deliver_paint(window);
    }
}

void platform_move_window(Window* window, int32_t x, int32_t y)
{
    const QPoint from = window->placed;
    window->placed = primary_origin() + QPoint(x, y);
    if (window->x11.gc) {
        // Qt does not hear of it (nothing but `placed` is asked where the pet is).
        x11_move(window->x11_reads, window->x11.window, from, window->placed);
        platform_invalidate(window);
        return;
    }
    window->widget->move(window->placed);
    window->widget->update();
}

void platform_resize_window(Window* window, int32_t side)
{
    window->widget->setFixedSize(side, side);
    if (window->x11.gc) {
        // The frame shown is a pixmap of the window's size.
        x11_free_drawing(window->x11);
        window->x11 = x11_direct_drawing(window->widget, side);
    }
    platform_invalidate(window);
}

void platform_destroy_window(Window* window)
{
    if (!window || !window->proc)
        return;
    while (!window->owned.empty())
        platform_destroy_window(window->owned.back());
    for (const auto& [id, qt_id] : window->timers)
        window->widget->killTimer(qt_id);
    window->timers.clear();
    deliver(window, MSG_DESTROY, 0, 0);
    window->proc = nullptr;
    platform_remove_tray_icon(window);
    x11_free_reads(window->x11_reads);
    x11_free_drawing(window->x11);
    window->x11 = {};
    if (window->owner)
        std::erase(window->owner->owned, window);
    if (QWidget::mouseGrabber() == window->widget)
        window->widget->releaseMouse();
    // This may run inside one of the widget's own handlers: hide it now and
    // let the message loop delete it (with this record) outside them.
    window->widget->hide();
    window->widget->deleteLater();
}

intptr_t platform_default_window_proc(Window*, unsigned, uintptr_t, intptr_t)
{
    return 0;
}

void platform_set_window_outline(Window* window, const Outline* outline)
{
    if (window->x11_shape) {
        // With alpha the pixels show the outline: it only decides where the
        // window takes the mouse. (Most Wayland compositors show the whole
        // window whatever its shape.)
        x11_set_shape(window->x11.window, outline, window->widget->width(),
                      window->x11.depth == 32 ? X11Shape::input : X11Shape::bounding);
        // Outside a tick (start-up, a change of settings) it is done at once.
        if (window->delivering == 0)
            x11_sync();
    } else if (outline) {
        QRegion region = outline_region(*outline, window->widget->width());
        // Qt reads an empty mask as none at all, which would show the whole
        // window; one pixel outside it shows nothing, as an empty outline must.
        if (region.isEmpty())
            region = QRegion(-1, -1, 1, 1);
        window->widget->setMask(region);
    } else {
        window->widget->clearMask();
    }
}

// ---- timers

bool platform_set_timer(Window* window, unsigned id, unsigned interval_ms)
{
    platform_kill_timer(window, id);  // a timer set again restarts, as on Windows
    const int qt_id = window->widget->startTimer(static_cast<int>(timer_interval(interval_ms)));
    if (qt_id == 0)
        return false;
    window->timers.emplace_back(id, qt_id);
    return true;
}

void platform_kill_timer(Window* window, unsigned id)
{
    auto& timers = window->timers;
    for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->first != id)
            continue;
        window->widget->killTimer(it->second);
        timers.erase(it);
        return;
    }
}

// ---- painting

// Outside any message of its own, a window painted straight to X is painted
// once the event loop comes back, as Qt's own update does.
static void paint_later(Window* window)
{
    if (window->delivering > 0)
        return;  // painted when the message is handled
    QMetaObject::invokeMethod(
        window->widget,
        [window] {
            if (window->proc && !window->dirty.isEmpty())
                deliver_paint(window);
        },
        Qt::QueuedConnection);
}

void platform_invalidate(Window* window)
{
    window->dirty = window->widget->rect();
    if (window->x11.gc) {
        paint_later(window);
    } else {
        window->widget->update();
    }
}

void platform_invalidate_rect(Window* window, int32_t x, int32_t y, int32_t width, int32_t height)
{
    const QRect area(x, y, width, height);
    window->dirty |= area;
    if (window->x11.gc) {
        paint_later(window);
    } else {
        window->widget->update(area);
    }
}

void platform_update_window(Window* window)
{
    if (window->dirty.isEmpty())
        return;
    if (window->x11.gc) {
        deliver_paint(window);
    } else {
        window->widget->repaint(window->dirty);
    }
}

bool platform_begin_paint(Window* window)
{
    if (window->x11.gc)
        return window->x11_painting = true;
    return window->painter.begin(window->widget);
}

void platform_end_paint(Window* window)
{
    if (window->x11_painting)
        x11_show_pixels(window->x11);
    window->x11_painting = false;
    if (window->painter.isActive())
        window->painter.end();
}

// The wrapper for one buffer of ours: found again on every paint, made once.
static WrappedImage& wrapped(std::vector<WrappedImage>& cache, const uint32_t* pixels, int32_t width, int32_t height,
                             QImage::Format format)
{
    for (WrappedImage& entry : cache) {
        if (entry.pixels == pixels && entry.width == width && entry.height == height)
            return entry;
    }
    constexpr size_t kept = 8;  // a window presents two or three buffers
    if (cache.size() == kept)
        cache.erase(cache.begin());
    WrappedImage& entry = cache.emplace_back();
    entry.pixels = pixels;
    entry.width = width;
    entry.height = height;
    if (format == QImage::Format_RGB32) {
        entry.image = QImage(reinterpret_cast<const uchar*>(pixels), width, height, width * 4, format);
    } else {
        entry.image = QImage(width, height, format);
    }
    return entry;
}

// Key-coloured pixels see-through (alpha 0), every other one opaque.
static void keyed_to_argb(const uint32_t* from, uint32_t* to, size_t count, uint32_t key)
{
    for (size_t i = 0; i < count; ++i) {
        const uint32_t pixel = from[i] & 0xFFFFFF;
        to[i] = pixel == key ? 0 : pixel | 0xFF000000u;
    }
}

// Straight to X; a 32-bit window gets its alpha byte: none where the pixel
// is the key colour, full elsewhere.
static void put_pixels(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y)
{
    if (window->x11.depth != 32)
        return x11_put_pixels(window->x11, pixels, width, height, x, y);
    std::vector<uint32_t>& argb = window->x11_argb;
    argb.resize(static_cast<size_t>(width) * height);
    keyed_to_argb(pixels, argb.data(), argb.size(), KEY_COLOUR);
    x11_put_pixels(window->x11, argb.data(), width, height, x, y);
}

void platform_present(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y)
{
    if (window->x11_painting) {
        put_pixels(window, pixels, width, height, x, y);
        return;
    }
    if (!window->painter.isActive())
        return;
    window->painter.drawImage(x, y, wrapped(window->images, pixels, width, height, QImage::Format_RGB32).image);
}

void platform_present_keyed(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y,
                            uint32_t key)
{
    if (window->x11_painting) {
        // Each run of pixels that are not the key goes on as it is.
        for_each_unkeyed_run(pixels, width, 0, height, 0, width, key, [&](int32_t row, int32_t start, int32_t end) {
            put_pixels(window, pixels + static_cast<size_t>(row) * width + start, end - start, 1, x + start, y + row);
        });
        return;
    }
    if (!window->painter.isActive())
        return;
    QImage& image = wrapped(window->keyed, pixels, width, height, QImage::Format_ARGB32).image;
    if (image.isNull())
        return;
    // The buffer may have changed since the last paint: convert it each time.
    for (int32_t row = 0; row < height; ++row) {
        keyed_to_argb(pixels + static_cast<size_t>(row) * width, reinterpret_cast<uint32_t*>(image.scanLine(row)),
                      static_cast<size_t>(width), key);
    }
    window->painter.drawImage(x, y, image);
}

// Only the window drawn straight to X at depth 32 blends: a compositor draws
// the screen, and takes its pixels premultiplied, as ours are.
bool platform_blend_window(Window* window)
{
    return window->x11.gc && window->x11.depth == 32;
}

void platform_present_blended(Window* window, const uint32_t* pixels, int32_t width, int32_t height)
{
    if (window->x11_painting && window->x11.depth == 32)
        x11_put_pixels(window->x11, pixels, width, height, 0, 0);
}

bool platform_acquire_window_context(Window* window)
{
    return window && window->widget;
}
void platform_release_window_context(Window*) {}

void platform_client_size(Window* window, int32_t* width, int32_t* height)
{
    *width = window->widget->width();
    *height = window->widget->height();
}

// ---- mouse capture and cursors

void platform_set_capture(Window* window)
{
    window->widget->grabMouse();
}

void platform_release_capture()
{
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

// Any cursor but the pet's own is shown over every window of ours, so that
// it stays while the pointer outruns the window during a drag.
Cursor* platform_set_cursor(Cursor* cursor)
{
    Cursor* previous = current_cursor;
    current_cursor = cursor;
    const bool overriding = QGuiApplication::overrideCursor() != nullptr;
    if (!cursor || cursor == class_cursor) {
        if (overriding)
            QGuiApplication::restoreOverrideCursor();
    } else if (overriding) {
        QGuiApplication::changeOverrideCursor(cursor->cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor->cursor);
    }
    return previous;
}

void platform_client_to_screen(Window* window, int32_t* x, int32_t* y)
{
    // Qt is not told where the pet window goes. Counted from the primary's
    // corner, as the pet's own places are.
    const QPoint on_root =
        window->x11.gc ? window->placed + QPoint(*x, *y) : window->widget->mapToGlobal(QPoint(*x, *y));
    const QPoint at = on_root - primary_origin();
    *x = at.x();
    *y = at.y();
}

// ---- staying on top

// Without a window manager nothing keeps a window above the ones mapped after
// it, so the pet raises itself on every tick; whatever of ours overlaps it (a
// dialog, a message box, the menu) is then put back above it, as the windows
// a topmost window owns stay above it on Windows. The windows a window owns
// (a dialog's message box) follow it, or raising it would hide them.
namespace {

enum class Lifted { no, raised, framed };  // framed: the pet went under its frame

struct PetLift {
    QWidget* pet;
    uint32_t pet_window;  // ours when the pet is drawn straight to X
    QRect area;           // where we last put the pet: Qt learns of a direct X move later

    Lifted lift(QWidget* above) const
    {
        if (!above || above == pet || !above->isVisible() || !above->frameGeometry().intersects(area))
            return Lifted::no;
        return x11_put_above(above, pet_window) ? Lifted::raised : Lifted::framed;
    }

    // A window manager keeps a framed window's own windows above it, and the
    // pet went under the frame already.
    void lift_with_owned(QWidget* window, Lifted owner) const
    {
        Lifted lifted = owner;
        if (owner == Lifted::raised) {
            x11_raise(static_cast<uint32_t>(window->winId()));
        } else if (owner == Lifted::no) {
            lifted = lift(window);
        }
        for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow() && child->isVisible())
                lift_with_owned(child, lifted);
        }
    }
};

}  // namespace

uint32_t keep_on_top(Window* pet, uint32_t under)
{
    QWidget* widget = pet->widget;
    if (!widget->isVisible())
        return under;
    const uint32_t window = pet->x11.gc ? pet->x11.window : static_cast<uint32_t>(widget->winId());
    if (under)
        x11_put_under(window, under);
    else
        x11_raise(window);
    const PetLift lifter{widget, window, QRect(pet->placed, widget->size())};
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->isVisible())
            lifter.lift_with_owned(child, Lifted::no);
    }
    lifter.lift(QApplication::activeModalWidget());
    lifter.lift(QApplication::activePopupWidget());
    return window;
}

// ---- one tick of the company

void platform_begin_changes(Window* const* windows, int count)
{
    // Nothing of theirs is painted or sent until the end.
    for (int k = 0; k < count; ++k)
        ++windows[k]->delivering;
}

void platform_end_changes(Window* const* windows, int count)
{
    // From the top down: the last above everything, each other just under the
    // one after it, so that a company already in order asks no restacking.
    uint32_t above = 0;
    for (int k = count; k-- > 0;) {
        if (windows[k]->proc)
            above = keep_on_top(windows[k], above);
    }
    for (int k = 0; k < count; ++k) {
        Window* window = windows[k];
        if (window->proc && window->x11.gc && !window->dirty.isEmpty())
            deliver_paint(window);
        if (window->delivering > 0)
            --window->delivering;
        x11_queue_reads(window->x11_reads);
        window->changes_sent = true;
    }
    x11_send();
}
