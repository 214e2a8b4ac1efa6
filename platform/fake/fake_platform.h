// The in-memory platform the shell's tests run on. Every platform call is
// recorded as one readable line ("set_timer(pet,1,150)"), answers come from
// the fields a test sets, and the test delivers messages itself.
//
// One instance, `fake`, because the seam is plain functions; fake_reset()
// puts it back to a fresh desktop between tests.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "graphics/bmp.h"
#include "graphics/outline.h"
#include "platform/platform.h"

struct Window {
    std::string name;  // "pet", "options", "about", or the template number
    WindowProc proc = nullptr;
    void* user = nullptr;  // what it was created with
    Window* owner = nullptr;
    int template_id = 0;  // 0 for the pet window
    bool alive = true;
    bool destroying = false;
    bool visible = false;
    bool invalid = false;   // a paint is pending
    bool painting = false;  // between begin and end paint
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;  // client size
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // what has been presented, width x height
    uint64_t stacked = 0;          // higher stands above: made later, or put there by end_changes
    bool has_outline = false;      // false: the whole rectangle shows
    bool blended = false;          // shows pixels with alpha (platform_blend_window)
    Outline outline;
    std::map<unsigned, unsigned> timers;  // id -> interval
    std::map<int, std::string> item_texts;
    std::map<int, int> checks;
};

struct Cursor {
    int resource_id;  // 0: the cursor in force before the program set one
};

struct Menu {
    int resource_id;
};

struct PlatformMessage {
    Window* window = nullptr;
    unsigned message = 0;
    uintptr_t wparam = 0;
    intptr_t lparam = 0;
};

// Keyboard messages, for the dialogs' keyboard interface.
constexpr unsigned FAKE_KEYDOWN = 0x0100;
constexpr unsigned FAKE_CHAR = 0x0102;
constexpr uintptr_t FAKE_KEY_RETURN = 0x0D;
constexpr uintptr_t FAKE_KEY_ESCAPE = 0x1B;

struct FakePlatform {
    // ---- answers the test sets
    int32_t screen_width = 1024;
    int32_t screen_height = 768;
    int32_t screen_dpi = 96;
    // The desk; empty: one monitor of screen_width x screen_height at screen_dpi.
    std::vector<Monitor> monitors;
    // Where a fullscreen program is in front (desktop pixels); none when empty.
    int32_t fullscreen_x = 0, fullscreen_y = 0, fullscreen_width = 0, fullscreen_height = 0;
    uint32_t seconds_now = 1700000000;
    // Paths in the build's own convention, as its settings rules expect.
#ifdef _WIN32
    std::string settings_folder = "C:\\Games\\Dorrabee\\";
    std::string current_directory = "C:\\Users\\cat";
#else
    std::string settings_folder = "/opt/dorrabee/";
    std::string current_directory = "/home/cat";
#endif
    bool settings_folder_fails = false;
    std::map<std::string, std::string> ini_files;  // path -> the file's text
    std::set<std::string> unwritable_ini_files;    // writes to these fail
    std::set<std::string> unusable_ini_files;      // ... and the file itself is at fault
    long fail_heap_alloc_at = 0;                   // the Nth allocation from now on fails (1: the next); 0: none
    bool timer_fails = false;
    bool acquire_context_fails = false;
    bool begin_paint_fails = false;
    bool open_screen_fails = false;
    bool blends = false;  // the desktop blends windows' alpha (a compositor)
    bool menu_fails = false;
    bool restart_fails = false;
    std::string ui_languages = "zh_CN";  // the system's, as platform_ui_languages gives them
    bool fonts_cover = true;             // whether installed fonts draw every text asked about
    std::set<int> failing_cursors;
    std::map<int, Bitmap> bitmaps;  // what load_bitmap gives; an id not here fails
    bool tray_available = true;     // the desktop has a notification area
    // This copy's login command (" --pet FOLDER" follows when a folder is given).
    std::string login_command = "/opt/dorrabee/dorrabee";
    bool login_has_entry = false;  // the system's login entry, and what it holds
    std::string login_entry;
    bool login_write_fails = false;
    // The desktop under all windows; captures show visible windows on top of it.
    std::function<uint32_t(int32_t x, int32_t y)> desktop_pixel;
    // Client sizes of dialogs by template (the pet window is SPRITE_SIZE square).
    std::map<int, std::pair<int32_t, int32_t>> dialog_client_sizes = {
        {104, {364, 310}}, {113, {258, 244}}, {1104, {364, 310}}, {1113, {327, 247}}};
    // Runs while a message box is up (its modal loop); null: the user just clicks OK.
    std::function<void(Window* owner, const std::string& text, unsigned kind)> during_message_box;
    // Runs while the pop-up menu is up; then popup_command, if not 0, is posted
    // to the owner as MSG_COMMAND.
    std::function<void()> during_popup;
    int popup_command = 0;
    bool next_message_fails = false;  // the loop's fetch reports an error
    // Runs when the loop finds the queue empty, so a test can act as the
    // user once the program is up; the fetch then looks again.
    std::function<void()> when_idle;
    // Whether a dialog takes a message; null: keyboard messages aimed at the
    // dialog are taken, Enter and Escape becoming CMD_OK and CMD_CANCEL.
    std::function<bool(Window* dialog, const PlatformMessage& message)> takes_dialog_message;

    // ---- what happened
    std::vector<std::string> calls;
    std::vector<std::unique_ptr<Window>> windows;  // never freed before reset, so stale handles stay readable
    std::deque<PlatformMessage> queue;
    PlatformMessage fetched;  // the message platform_next_message handed out last
    bool quit_posted = false;
    int quit_code = -1;
    WindowProc pet_class_proc = nullptr;
    Window* capture = nullptr;
    Cursor* cursor = nullptr;
    int screen_open = 0;        // opens not yet closed: several pets may hold it
    long heap_allocations = 0;  // allocations tried since reset
    std::map<void*, size_t> live_blocks;
    std::map<int, std::unique_ptr<Cursor>> cursors;
    Cursor original_cursor{0};
    Menu pet_menu{RES_MENU};
    std::vector<std::string> pet_submenu;  // its items as last set
    int pet_submenu_checked = -1;
    int pet_submenu_after = 0;  // the command it stands after
    std::string pet_submenu_caption;
    std::vector<std::string> box_buttons;  // each message box's button caption ("" for the system's)
    int restarts = 0;
    Window* tray_owner = nullptr;  // while the icon is up
    // The items set_menu_item put into the pet menu, in menu order, before
    // the item each names.
    struct MenuItem {
        int before;
        int command;
        std::string caption;
        int checked;
    };
    std::vector<MenuItem> menu_items;
    int contexts_held = 0;
    uint64_t stack_top = 0;  // the highest Window::stacked given
    // Batches of window changes (begin_changes .. end_changes), not in
    // `calls`: ended ones, and those begun and not yet ended.
    int change_batches = 0;
    int changes_open = 0;
    int moves_outside_batches = 0;    // windows moved while no batch was open
    std::vector<Window*> last_batch;  // the windows the last end_changes named, in its order
};

extern FakePlatform fake;

// A fresh desktop: no windows, no calls, default answers.
void fake_reset();

// Delivers a message to a living window's procedure, as the system would;
// 0 for a window that is gone.
intptr_t fake_send(Window* window, unsigned message, uintptr_t wparam = 0, intptr_t lparam = 0);
// Queues a message for the message loop.
void fake_post(Window* window, unsigned message, uintptr_t wparam = 0, intptr_t lparam = 0);
// Delivers queued messages (not the quit message) straight to their windows.
void fake_pump();
// Sends MSG_PAINT to every living window with a pending paint.
void fake_paint_pending();

// The newest window of that name, alive or not; null if none was made.
Window* fake_window(const std::string& name);
// The pixel the screen shows at desktop point (x, y): the highest visible
// window that shows there, else the desktop.
uint32_t fake_screen_pixel(int32_t x, int32_t y);
// Whether the window shows at its client point (x, y): inside its outline,
// or anywhere inside it without one.
bool fake_window_shows(const Window& window, int32_t x, int32_t y);
// lparam of a mouse message at window point (x, y).
intptr_t fake_point(int16_t x, int16_t y);

// Records one call (for the fake's other files).
void fake_record(std::string call);
// The item `command` that set_menu_item put in, or null.
const FakePlatform::MenuItem* fake_menu_item(int command);

// The calls since the last clear, one per line.
std::string fake_log();
void fake_clear_calls();
// How many recorded calls start with `prefix`.
int fake_count(const std::string& prefix);
// Calls starting with `prefix`, in order.
std::vector<std::string> fake_calls_starting(const std::string& prefix);

// A sprite sheet (103), mask (107) and the About images (110, 111, 112, 114)
// small enough to reason about: every image's cell holds an asymmetric blob
// whose pixels name the image, the row and the column, on KEY_COLOUR.
void fake_use_synthetic_art(int32_t columns = 20, int32_t rows = 6, int32_t image_count = 108);
// The colour of sheet cell pixel (x, y) of `image` when it is inside the blob.
uint32_t fake_art_pixel(int32_t image, int32_t x, int32_t y);
bool fake_art_inside(int32_t x, int32_t y);
