// The seam: everything the program needs from a window system, and nothing
// more. The shell (shell/) is written against these declarations only; each
// platform folder (win32/, qt/, fake/) defines all of them.
//
// Contract every platform keeps:
// - One thread. Every call below is made on it, and every message reaches the
//   shell on it, through the window or dialog procedure it was given.
// - Messages carry the numbers Windows gives them (MSG_* below), with wparam
//   and lparam as Windows fills them for those messages, so the Win32 layer
//   passes them straight through and the others imitate it.
// - Destroying a window first destroys the dialogs it owns, then delivers
//   MSG_DESTROY to its procedure before the call returns.
// - Modal loops (message boxes, the pop-up menu) keep delivering timer and
//   paint messages to every window.
// - Pixels are 0x00RRGGBB, top row first, rows of `width` pixels.
// - Every window carries the user pointer it was created with, readable with
//   platform_window_user from its first message (MSG_CREATE, MSG_INITDIALOG)
//   to its last (MSG_DESTROY): a window procedure finds what it belongs to
//   there, never in a process-wide variable. State a platform keeps for a
//   window (its kept outlines, its connection's buffers) lives with it too.
// - The desk is a list of monitors, in desktop coordinates, the primary
//   first; MSG_DISPLAYCHANGE says it changed and it is read again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/ids.h"  // resource numbers

struct Bitmap;
struct Outline;

struct Window;  // a top-level window or a dialog
struct Cursor;
struct Menu;
// One fetched message, as the platform keeps it; the shell only passes it on.
struct PlatformMessage;

using WindowProc = intptr_t (*)(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);

// Message numbers (as on Windows).
constexpr unsigned MSG_CREATE = 0x0001;
constexpr unsigned MSG_DESTROY = 0x0002;
constexpr unsigned MSG_SIZE = 0x0005;
// The desk changed (a monitor came, went, moved, changed size or scaling):
// read platform_monitors again. lparam holds the primary's new width (low
// word) and height, as on Windows.
constexpr unsigned MSG_DISPLAYCHANGE = 0x007E;
// A monitor's scaling changed, or the window came onto a monitor of another
// scaling (Windows only): read platform_monitors again; the window keeps its
// size unless the program changes it.
constexpr unsigned MSG_DPICHANGED = 0x02E0;
constexpr unsigned MSG_PAINT = 0x000F;
// The user's session is about to end (logout, shutdown): what is worth
// keeping is saved now. Answered with 1 (the session may end).
constexpr unsigned MSG_QUERYENDSESSION = 0x0011;
// The user's session ends: wparam non-zero when it really does, 0 when the
// ending was called off. The program is gone soon after. Every window of
// ours may hear each of these.
constexpr unsigned MSG_ENDSESSION = 0x0016;
constexpr unsigned MSG_INITDIALOG = 0x0110;
constexpr unsigned MSG_COMMAND = 0x0111;
constexpr unsigned MSG_TIMER = 0x0113;
constexpr unsigned MSG_MOUSEMOVE = 0x0200;
constexpr unsigned MSG_LBUTTONDOWN = 0x0201;
constexpr unsigned MSG_LBUTTONUP = 0x0202;
constexpr unsigned MSG_LBUTTONDBLCLK = 0x0203;
constexpr unsigned MSG_RBUTTONDOWN = 0x0204;
constexpr unsigned MSG_RBUTTONUP = 0x0205;

constexpr uintptr_t MOUSE_LEFT_BUTTON = 0x0001;  // in wparam of mouse messages

// Message box kinds (as on Windows).
constexpr unsigned BOX_ERROR = 0x10;    // error icon, OK button
constexpr unsigned BOX_WARNING = 0x30;  // warning icon, OK button

// ---- the desk
constexpr int MAX_MONITORS = 16;
struct Monitor {
    // Where it stands on the desk and its size, in desktop pixels.
    int32_t x, y, width, height;
    // What is left of it beside panels, docks and taskbars; the whole
    // monitor where the platform knows of none.
    int32_t work_x, work_y, work_width, work_height;
    int32_t dpi;  // its scaling in dots per inch (96 at 100 %)
};
// Fills at most `capacity` monitors, the primary first, and returns how many
// the desk has; never 0 (a desk without monitors is reported as one of 0 x 0).
int platform_monitors(Monitor* monitors, int capacity);
// Whether a fullscreen program is in front on this monitor (as
// platform_monitors gave it): the window that has the user's attention is
// fullscreen, or covers the whole monitor as borderless games do, and stands
// on it. Asked once a tick: a platform learns it from the window system's
// events where it has them, and keeps the answer. The program's own windows
// never count.
bool platform_fullscreen_in_front(const Monitor& monitor);

// ---- the process
// From now on cursors and the pictures of dialog templates are shown with
// each of their pixels a z x z block (the pet's own zoom).
void platform_set_zoom(int32_t z);
uint32_t platform_seconds_now();
// The folder the settings file is kept in, ending in its separator; 0 when it
// cannot be had (the current directory is then used).
size_t platform_settings_folder(char* buffer, size_t size);
size_t platform_current_directory(char* buffer, size_t size);
void* platform_heap_alloc(size_t size);  // null when memory runs out
void platform_heap_free(void* block);

// ---- settings file (INI): the default when the file, section or key is missing
int32_t platform_ini_read_int(const char* path, const char* section, const char* key, int32_t fallback);
bool platform_ini_write_string(const char* path, const char* section, const char* key, const char* value);
// The value's length; an empty text when the file, section or key is missing.
size_t platform_ini_read_string(const char* path, const char* section, const char* key, char* buffer, size_t size);
// What stopped a save.
constexpr int SAVE_DONE = 0;
constexpr int SAVE_FOLDER_FAILED = 1;  // nothing could be written beside the file
constexpr int SAVE_FILE_FAILED = 2;    // the file itself is read-only, unreadable or not a regular file
// Writes `count` keys of one section as one save: where the platform owns the
// file format, the file is replaced once, so every key lands or none does.
int platform_ini_write_strings(const char* path, const char* section, const char* const* keys,
                               const char* const* values, size_t count);

// ---- message boxes (modal; return when the user has closed the box)
// `button` is the caption of its one button (null: the system's own "OK").
void platform_message_box(Window* owner, const char* text, unsigned kind, const char* button = nullptr);

// ---- the user's language
// The user's interface languages, most wanted first, separated by ':'
// ("zh_CN:en"); the length, 0 when the system names none.
size_t platform_ui_languages(char* buffer, size_t size);
// True when the installed fonts can draw every character of `text` (UTF-8)
// in the dialogs' font `font` (or, where the platform picks fonts by what
// they cover, in some font).
bool platform_fonts_cover(const char* font, const char* text);

// ---- the pet window
void platform_register_pet_class(WindowProc proc);
// Borderless, topmost, no taskbar entry, `side` pixels square, hidden, titled
// "Dorrabee", carrying `user` (see platform_window_user).
Window* platform_create_pet_window(int32_t side, void* user);
// The user pointer the window (or dialog) was created with.
void* platform_window_user(Window* window);
void platform_place_hidden(Window* window, int32_t x, int32_t y);
void platform_show_window(Window* window, int show_command);
void platform_move_window(Window* window, int32_t x, int32_t y);  // keeps the size, repaints
// Makes the pet window `side` pixels square (its zoom changed), keeping its
// top-left corner; it is painted anew.
void platform_resize_window(Window* window, int32_t side);
void platform_destroy_window(Window* window);
intptr_t platform_default_window_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);
// The window shows, and takes the mouse, only inside the outline (null: none at all).
// How pixels outside it are made see-through is the platform's choice, made
// at start-up from what the display offers: a window shape, or (where a
// compositor draws the screen) pixels of the key colour presented with no
// alpha, the outline then deciding only where the window takes the mouse.
void platform_set_window_outline(Window* window, const Outline* outline);
// Outlines shown again and again (the precomputed tables, each `count` long,
// entries may be null): the platform may keep a ready-made form of each, so
// that showing one of them later is a copy. Null tables drop what was kept.
// Best effort: an outline not kept is built when it is shown.
void platform_keep_window_outlines(Window* window, Outline* const* plain, Outline* const* mirrored, int32_t count);

// ---- timers: messages MSG_TIMER with wparam = id; false when none can be had.
// As on Windows, an interval below TIMER_MIN_MS counts as TIMER_MIN_MS and one
// above TIMER_MAX_MS as TIMER_MAX_MS, so "Timer=0" cannot make the pet spin a
// core and a negative value (a huge one here) waits instead of failing.
constexpr unsigned TIMER_MIN_MS = 10;
constexpr unsigned TIMER_MAX_MS = 0x7FFFFFFF;
inline unsigned timer_interval(unsigned interval_ms)
{
    return interval_ms < TIMER_MIN_MS ? TIMER_MIN_MS : interval_ms > TIMER_MAX_MS ? TIMER_MAX_MS : interval_ms;
}
bool platform_set_timer(Window* window, unsigned id, unsigned interval_ms);
void platform_kill_timer(Window* window, unsigned id);

// ---- one tick of the company
// The pets' windows, in the order they are to stand, lowest first (the pet
// being carried last). Between the two calls the platform may hold back what
// the windows ask of the window system, and sends it together at the end (one
// flush where it can). At the end every one of them stands above other
// programs' windows (where the system does not keep them there by itself)
// and the last above the others.
void platform_begin_changes(Window* const* windows, int count);
void platform_end_changes(Window* const* windows, int count);

// ---- painting
void platform_invalidate(Window* window);  // the whole window, without erasing
void platform_invalidate_rect(Window* window, int32_t x, int32_t y, int32_t width, int32_t height);
void platform_update_window(Window* window);  // paint what is invalid, now
bool platform_begin_paint(Window* window);
void platform_end_paint(Window* window);
// Between begin and end paint: copy pixels into the window's client area at (x, y).
void platform_present(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y);
// As platform_present, leaving the window's pixels where the source is `key`.
void platform_present_keyed(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y,
                            uint32_t key);
// Asks that the pet window show pixels with alpha from now on: true where
// the system blends them over what lies behind (a compositor draws the
// screen; a layered window), and then platform_present_blended draws it,
// pixels of alpha 0 take no clicks, and an outline decides at most where the
// window takes the mouse. False: the window stays as it was (shapes, key colour).
bool platform_blend_window(Window* window);
// Between begin and end paint of such a window: all of its pixels,
// 0xAARRGGBB with the colours premultiplied by alpha, top row first.
void platform_present_blended(Window* window, const uint32_t* pixels, int32_t width, int32_t height);
// A drawing context of the window, held only while drawing resources are made.
bool platform_acquire_window_context(Window* window);
void platform_release_window_context(Window* window);
void platform_client_size(Window* window, int32_t* width, int32_t* height);

// ---- the screen behind the pet (standard display mode)
bool platform_open_screen();
void platform_close_screen();
// Where the pet window is drawn see-through, the screen is not read: the
// pixels come back all of the key colour, so everything behind shows.
// Where the pet window itself stands the screen shows the window, not what
// lies behind it: those pixels may be left as the buffer held them, for the
// caller takes them from its previous copy. `window` is the pet window the
// pixels are read for (a platform may read ahead for it).
void platform_capture_screen(Window* window, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t* pixels);

// ---- resources
bool platform_load_bitmap(int resource_id, Bitmap* out);
Cursor* platform_load_cursor(int resource_id);
// The first sub-menu of the menu resource (a language's copy: resource_in_language).
Menu* platform_load_pet_menu(int resource_id = RES_MENU);

// ---- mouse
void platform_set_capture(Window* window);
void platform_release_capture();
Cursor* platform_set_cursor(Cursor* cursor);  // returns the previous cursor
void platform_client_to_screen(Window* window, int32_t* x, int32_t* y);
// Shows the menu with its top-left corner at the screen point and returns when
// it has closed; a chosen item arrives as MSG_COMMAND at the owner.
void platform_track_popup_menu(Menu* menu, int32_t x, int32_t y, Window* owner);
// Puts a sub-menu titled `caption` right after the item `after_command` (the
// same one again on later calls), holding `items` (UTF-8) with the commands
// first_command, first_command + 1, ..., the item `checked` checked.
void platform_set_pet_submenu(Menu* menu, int after_command, const char* caption, const char* const* items, int count,
                              int first_command, int checked);

// ---- modeless dialogs from the templates; MSG_INITDIALOG is delivered before this returns
Window* platform_create_dialog(int template_id, Window* owner, WindowProc proc, void* user);
void platform_set_item_text(Window* dialog, int id, const char* text);
// Reads at most size - 1 characters; returns how many were read (0 for an empty field).
int platform_get_item_text(Window* dialog, int id, char* buffer, int size);
void platform_set_check(Window* dialog, int id, int checked);
int platform_get_check(Window* dialog, int id);  // 1 when checked

// ---- the message loop
// Waits for the next message; 1 for a message, 0 for the quit message, -1 on error.
int platform_next_message(PlatformMessage** message);
bool platform_is_dialog_message(Window* dialog, PlatformMessage* message);
void platform_dispatch_message(PlatformMessage* message);  // translates keys, then dispatches
void platform_post_quit(int code);
// Starts another copy of the program, with no arguments; false when it cannot.
bool platform_restart_program();

// ---- living in the background: the notification-area icon, hiding and showing, starting at login
// platform_show_window's commands (as on Windows): SHOW_HIDE hides the
// window; any other shows it, SHOW_NOACTIVATE without taking the focus.
constexpr int SHOW_HIDE = 0;
constexpr int SHOW_NOACTIVATE = 4;
// What the notification-area icon tells its owner: MSG_TRAY with wparam one
// of the TRAY_* below and lparam the pointer's screen point (x in the low
// word, y in the high word, each signed). A number the system never sends.
constexpr unsigned MSG_TRAY = 0x8001;
constexpr uintptr_t TRAY_ACTIVATED = 1;    // a left click (Windows), an activation (Linux)
constexpr uintptr_t TRAY_MENU_WANTED = 2;  // a right click, or the desktop asks for the icon's menu
// Puts the program's icon, `tip` (UTF-8) its tooltip, into the desktop's
// notification area, telling `owner` of clicks. Where the desktop has none,
// nothing shows and nothing is said; the icon comes back by itself when the
// area is made anew (Explorer restarted, a tray started later). False only
// when no icon can be had at all. The icon is kept with its owner window and
// goes with it at the latest.
bool platform_add_tray_icon(Window* owner, const char* tip);
// True while the icon reporting to `owner` stands in a notification area (a
// click can reach it).
bool platform_tray_icon_shown(Window* owner);
void platform_remove_tray_icon(Window* owner);
// Puts the item `command`, captioned `caption` (UTF-8), into the menu right
// before the item `before_command`, or changes the one already there;
// `checked` 1 or 0 for an item with a check mark, -1 for a plain item. A
// null caption takes the item out.
void platform_set_menu_item(Menu* menu, int before_command, int command, const char* caption, int checked);
// The command line that starts this copy of the program at login, as the
// login entry holds it (Windows: the exe's quoted path; Linux: the Exec
// value of a desktop entry, escaped as such), with "--pet" and the folder
// made absolute when `pet_folder` is not null. Its length; 0 when it cannot
// be had or does not fit.
size_t platform_login_command(const char* pet_folder, char* buffer, size_t size);
// What the user's login entry for the program holds (Windows: the value
// "Dorrabee" under HKCU\Software\Microsoft\Windows\CurrentVersion\Run;
// Linux: the Exec value of $XDG_CONFIG_HOME/autostart/dorrabee.desktop):
// its length, size or more when it did not fit; 0 when there is none or the
// system would skip it (disabled in Windows's list of programs started at
// login; Hidden or disabled in the desktop entry).
size_t platform_read_login_entry(char* buffer, size_t size);
// Makes the login entry hold `command`, replacing whatever was there; a
// null command removes it. Nothing but that one entry is touched (never
// through a link). False when it cannot be written.
bool platform_write_login_entry(const char* command);
