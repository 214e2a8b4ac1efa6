// What the Qt files share: the seam's handles as Qt objects, and the few
// helpers one file gives another. X11 only (xcb), Qt 6 Widgets.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <QIcon>
#include <QProcessEnvironment>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/outline.h"
#include "platform/platform.h"

class QSystemTrayIcon;

// A pixel buffer of ours seen as a QImage. Made once per buffer and reused,
// so a paint allocates nothing.
struct WrappedImage {
    const uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t key = 0;
    QImage image;
};

// The pet window drawn straight to X (x11.cpp).
struct X11DirectDrawing {
    uint32_t window = 0;
    uint32_t gc = 0;      // 0: the window takes Qt's way
    uint32_t pixmap = 0;  // the window's background, holding the frame shown
    uint8_t depth = 0;    // of the window: 24, or 32 with alpha
    int32_t side = 0;     // of the window and the pixmap
    // The pixmap's pixels in memory the server shares, when it offers that:
    // a frame is then written there, not sent.
    uint8_t* shared = nullptr;
    uint32_t segment = 0;
};

// A read of the root's pixels on its way: into memory shared with the
// server where it offers that (the answer then carries no pixels), else
// in the answer itself.
struct RootRead {
    unsigned int sequence = 0;
    QRect block;   // of the root; empty: nothing asked
    QRect window;  // where the pet window stood, shown in the block
};

// What one pet window reads of the screen behind it (x11.cpp).
struct X11ScreenReads {
    // The screen beside a walking pet, read with the flush that moved it:
    // the next step's backdrop is then here before that step asks for it,
    // and the tick waits for no answer from the server.
    RootRead ahead;
    // Where reads of the screen land, shared with the server (null: in the
    // answers); room for the largest block read ahead. Made at the first read.
    bool prepared = false;
    uint8_t* memory = nullptr;
    size_t bytes = 0;
    uint32_t segment = 0;
    QRect captured;               // read from the root since the last flush
    QPoint moved_from, moved_to;  // the last move since the last flush
    bool moved = false;
};

struct Window {
    QWidget* widget = nullptr;
    WindowProc proc = nullptr;
    void* user = nullptr;  // what the window belongs to (platform_window_user)
    Window* owner = nullptr;
    std::vector<Window*> owned;                    // dialogs this window owns
    std::vector<std::pair<unsigned, int>> timers;  // our id, Qt's id
    std::vector<std::pair<int, QWidget*>> items;   // dialog controls by id
    bool is_pet = false;
    // Where we last put the window: the server may not have moved it yet when
    // the next pointer event, counted from its old place, arrives.
    QPoint placed;
    // Painted, moved and shaped with direct X requests rather than through
    // QWidget (the pet on X11); x11.gc is 0 when it takes Qt's way. At depth
    // 32 key-coloured pixels are put with alpha 0.
    X11DirectDrawing x11;
    X11ScreenReads x11_reads;
    bool x11_shape = false;
    std::vector<uint32_t> x11_argb;        // the pixels of a 32-bit put, with alpha
    bool x11_painting = false;             // between begin and end paint
    int delivering = 0;                    // messages being handled: paint once they are
    bool changes_sent = false;             // the company's changes of this tick went out together
    QPainter painter;                      // open between begin and end paint
    QRect dirty;                           // invalidated since the last paint, for update_window
    std::vector<WrappedImage> images;      // presented buffers
    std::vector<WrappedImage> keyed;       // keyed buffers, converted each paint
    QSystemTrayIcon* tray_icon = nullptr;  // the notification-area icon it hears of (tray.cpp)
};

struct Cursor {
    QCursor cursor;
};

struct Menu;
class QMenu;
QMenu* menu_widget(Menu* menu);  // the pop-up menu itself (dialogs.cpp)

// Not a real message: Qt dispatches its own events, and dialogs do their own
// keyboard navigation. The shell only passes it on.
struct PlatformMessage {
    int unused = 0;
};

// ---- window hosting (windows.cpp)
// Hands a Qt event on to the window's procedure; 0 once the window is gone.
intptr_t deliver(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);
void deliver_timer(Window* window, int qt_timer_id);
void deliver_paint(Window* window);
// Where the primary monitor's corner stands on the root: every point the seam
// passes (windows' places, monitors, the menu's corner) counts from there.
QPoint primary_origin();
// Keeps the pet above later windows (or, given a window of ours, just under
// it), and its own dialogs and menus above it; the pet's X window, or `under`
// when it is hidden.
uint32_t keep_on_top(Window* pet, uint32_t under = 0);
// The pet window a read of the screen is for: the one whose message is being
// handled, else the only one there is; null when that cannot be told.

// ---- the pet window's outline as a Qt region (outline_region.cpp)
QRegion outline_region(const Outline& outline, int32_t side = 42);  // side: the window's, SPRITE_SIZE at zoom 1

// ---- dialogs from the templates (dialogs.cpp)
struct DialogUnits {
    int base_x;  // average character width in pixels
    int base_y;  // character height in pixels
};
DialogUnits dialog_units_of(const QFont& font);
QRect dialog_rect_to_pixels(DialogUnits units, int x, int y, int width, int height);
// The dialog's top-left corner: at (x, y), shifted only as far as needed for
// a frame of `size` to lie wholly on `screen`.
QPoint place_on_screen(QPoint wanted, QSize size, QRect screen);
QFont dialog_font(const char* face = "宋体", int points = 9);

// ---- zoom (resources.cpp)
// Each pixel of a cursor or of a dialog's picture is shown as a block this
// wide (what platform_set_zoom was last given).
int32_t picture_zoom();
void set_picture_zoom(int32_t z);
// The picture z times larger, pixel for pixel.
QImage zoomed_image(const QImage& image, int32_t z);
// The screen's dots per inch from the X resources ("Xft.dpi: 192"), or from
// a scale factor as QT_SCALE_FACTOR and GDK_SCALE give it; 0 when they hold none.
int32_t dpi_from_x_resources(const std::string& resources);
int32_t dpi_from_scale_factor(const char* factor);
// QT_SCALE_FACTOR as the program found it (main removes it for Qt's sake;
// process.cpp keeps it).
void keep_scale_factor_at_start(const char* factor);
// The environment the program starts again in: the present one with that
// factor back.
QProcessEnvironment restart_environment();

// ---- embedded resources (resources.cpp)
// The files resources/dorrabee.rc names, compiled in (generated at build time).
struct EmbeddedFile {
    int resource_id;
    const char* name;
    const unsigned char* data;
    size_t size;
};
extern const EmbeddedFile embedded_files[];
extern const size_t embedded_file_count;
const EmbeddedFile* embedded_file(int resource_id);
// The largest image of an .ico or .cur file as ARGB, with its hot spot.
bool decode_icon(const unsigned char* data, size_t size, QImage* image, QPoint* hot_spot);
QIcon program_icon();

struct xcb_connection_t;
// The atom of that name, made if the server has none yet (x11.cpp).
uint32_t x11_atom(xcb_connection_t* c, const char* name);

// ---- panels and docks on X11 (panels.cpp)
// A window's _NET_WM_STRUT_PARTIAL: how far it reaches in from each edge of
// the root, and along which part of that edge (first and last pixel).
struct X11Strut {
    uint32_t left, right, top, bottom;
    uint32_t left_start_y, left_end_y, right_start_y, right_end_y;
    uint32_t top_start_x, top_end_x, bottom_start_x, bottom_end_x;
};
// The struts of every shown window (the window manager's clients, or the
// root's children without one), and the root's size.
std::vector<X11Strut> x11_panel_struts(xcb_connection_t* c, int32_t* root_width, int32_t* root_height);
// The monitor's work area (it and the struts in root pixels): what the
// panels reaching into it leave.
void x11_work_area(Monitor& monitor, int32_t root_width, int32_t root_height, const std::vector<X11Strut>& struts);

// ---- X11 specifics (x11.cpp)
void x11_skip_taskbar(QWidget* widget);
// Stacks `above` over the pet's window `below`: raising it when it is a
// window of ours, or lowering `below` under the window manager's frame around
// it. True when it raised `above` (no window manager frames it).
bool x11_put_above(QWidget* above, uint32_t below);
// Gives the (mapped) widget's window the keyboard focus.
void x11_take_focus(QWidget* widget);
// True for an xcb event that tells the widget's window gained (came) or
// lost (left) the keyboard focus, not to a grab that begins or ends.
bool x11_focus_came(const void* event, QWidget* widget);
// Has Qt's connection hear, or no longer hear, of changes to the root's
// properties; true when that changed what it heard. x11_activation_changed
// is true for an xcb event that tells the window manager set the active
// window (weston's does on every click on a Wayland window, the active one too).
bool x11_watch_activation(bool watch);
bool x11_activation_changed(const void* event);
bool x11_focus_left(const void* event, QWidget* widget);
// What the pet's tick costs through Qt (repaint, backing store, setMask,
// move, and Qt's answers to the events they cause) is many times the pet's
// own work; on X the pet's window is moved, shaped, raised and painted with
// a request each, on a connection of the pets' own (not Qt's), sent together
// by x11_flush (X11DirectDrawing, above).
// Sets the widget's window (`side` pixels square) up for direct drawing, and
// stops Qt hearing of its exposures and moves; gc 0 when its depth or the
// server's byte order does not take our pixels as they are.
X11DirectDrawing x11_direct_drawing(QWidget* widget, int32_t side);
void x11_free_drawing(const X11DirectDrawing& drawing);
// Into the background pixmap; x11_show_pixels shows what has been put.
void x11_put_pixels(const X11DirectDrawing& drawing, const uint32_t* pixels, int32_t width, int32_t height, int32_t x,
                    int32_t y);
void x11_show_pixels(const X11DirectDrawing& drawing);
// `from` is where the window stood: a step of a walk tells where the next
// one will need the screen behind it.
void x11_move(X11ScreenReads& reads, uint32_t window, QPoint from, QPoint to);
void x11_raise(uint32_t window);
// Stacks the window just under `sibling`, another child of the root.
void x11_put_under(uint32_t window, uint32_t sibling);
bool x11_shape_available();
enum class X11Shape {
    bounding,  // the window shows, and takes the mouse, only inside
    input,     // the window takes the mouse only inside
};
// Sets the window's shape of that kind to the outline, for a window `side`
// pixels square (null: the whole window).
void x11_set_shape(uint32_t window, const Outline* outline, int32_t side, X11Shape kind);
// Sends what the pets' connection holds (and, after a move of this pet that
// read the screen, a read of the screen where its next step would go).
void x11_flush(X11ScreenReads& reads);
// The two halves of x11_flush, so that several pets' changes leave in one
// write: each pet's reads queued, then everything sent.
void x11_queue_reads(X11ScreenReads& reads);
void x11_send();
// Lets go of what the pet's reads hold (its shared memory, a read ahead).
void x11_free_reads(X11ScreenReads& reads);
// Sends it and waits until the server has done it, so that what Qt's
// connection asks next sees it done.
void x11_sync();
// True where a compositor draws the screen (a compositing manager runs, or
// the server is XWayland) and windows can be 32-bit with alpha: the pet is
// then drawn see-through rather than shaped, and the screen is not read.
bool x11_screen_composited();
// The X server's resource database (the root's RESOURCE_MANAGER), or empty.
std::string x11_resources();

// ---- the desk (process.cpp)
// Tells the pet of each change of the monitors: one added or removed, one
// moved or resized, another made the primary.
void watch_desk(Window* pet);
// Tells the pet of the session's end (session_end.cpp).
void watch_session_end(Window* pet);
// The pet can no longer be shown (its window destroyed by another X client,
// its connection to the server closed): says so on standard error and in a
// box, then the message loop ends as on an error. Never a process without a window.
void end_with_error(const char* text);
bool pet_was_lost();

// ---- settings location (process.cpp)
// Where the program keeps dorra.ini: its own folder (given with its "/")
// when that can be written, else $XDG_CONFIG_HOME/dorrabee/ (or
// ~/.config/dorrabee/); empty when nothing fits.
std::string settings_folder(const std::string& program_folder, bool folder_writable, const char* xdg_config_home,
                            const char* home);
// The same, made when needed; the folder even when that fails.
std::string settings_folder_made(const std::string& program_folder, bool folder_writable, const char* xdg_config_home,
                                 const char* home);

// ---- starting at login (autostart.cpp)
// $XDG_CONFIG_HOME/autostart/dorrabee.desktop (else ~/.config/...); empty
// when neither is an absolute path.
std::string autostart_path(const char* xdg_config_home, const char* home);
// One argument of an Exec value, quoted and escaped as desktop entries ask.
std::string desktop_exec_argument(const std::string& argument);
// The entry the program writes, and the Exec value of an entry's text (as
// written, escapes and all); empty when it has none or is Hidden or disabled.
std::string desktop_entry_text(const std::string& exec);
std::string desktop_entry_exec(const std::string& text);
