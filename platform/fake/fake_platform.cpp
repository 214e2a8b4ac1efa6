// Every function of the seam, in memory, recording each call.
#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/shared.h"
#include "graphics/sprites.h"
#include "support/ini.h"

FakePlatform fake;

namespace {

std::string name_of(const Window* window)
{
    return window ? window->name : "none";
}

std::string hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string quoted(const char* text)
{
    return std::string("\"") + (text ? text : "") + "\"";
}

void record(std::string call)
{
    fake.calls.push_back(std::move(call));
}

template <typename... Parts>
std::string join(const Parts&... parts)
{
    std::string line;
    bool first = true;
    ((line += (first ? "" : ","), line += parts, first = false), ...);
    return line;
}

std::string num(long long value)
{
    return std::to_string(value);
}

Window* make_window(std::string name, WindowProc proc, Window* owner, int template_id, int32_t width, int32_t height)
{
    auto window = std::make_unique<Window>();
    window->name = std::move(name);
    window->proc = proc;
    window->owner = owner;
    window->template_id = template_id;
    window->width = width;
    window->height = height;
    window->pixels.assign(static_cast<size_t>(width) * height, 0);
    window->stacked = ++fake.stack_top;
    fake.windows.push_back(std::move(window));
    return fake.windows.back().get();
}

bool keyboard_message(unsigned message)
{
    return message >= 0x0100 && message <= 0x0109;
}

}  // namespace

uint32_t fake_screen_pixel(int32_t x, int32_t y)
{
    const Window* top = nullptr;
    for (const auto& window : fake.windows) {
        if (window->alive && window->visible && (!top || window->stacked > top->stacked) &&
            fake_window_shows(*window, x - window->x, y - window->y))
            top = window.get();
    }
    if (top)
        return top->pixels[static_cast<size_t>(y - top->y) * top->width + (x - top->x)];
    if (fake.desktop_pixel)
        return fake.desktop_pixel(x, y);
    return (static_cast<uint32_t>(x) * 7919u + static_cast<uint32_t>(y) * 104729u) & 0xFFFFFFu;
}

// ---- test control

bool fake_window_shows(const Window& window, int32_t x, int32_t y)
{
    if (x < 0 || y < 0 || x >= window.width || y >= window.height)
        return false;
    if (!window.has_outline)
        return true;
    for (const OutlineRect& r : window.outline.rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}

void fake_record(std::string call)
{
    record(std::move(call));
}

void fake_reset()
{
    FakePlatform fresh;
    std::swap(fake, fresh);
    for (auto& [block, size] : fresh.live_blocks)
        std::free(block);
    fake.cursor = &fake.original_cursor;
}

intptr_t fake_send(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    if (!window || !window->alive || !window->proc)
        return 0;
    return window->proc(window, message, wparam, lparam);
}

void fake_post(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    fake.queue.push_back(PlatformMessage{window, message, wparam, lparam});
}

void fake_pump()
{
    while (!fake.queue.empty()) {
        PlatformMessage message = fake.queue.front();
        fake.queue.pop_front();
        fake_send(message.window, message.message, message.wparam, message.lparam);
    }
}

void fake_paint_pending()
{
    for (size_t i = 0; i < fake.windows.size(); ++i) {
        Window* window = fake.windows[i].get();
        if (window->alive && window->invalid)
            fake_send(window, MSG_PAINT);
    }
}

Window* fake_window(const std::string& name)
{
    for (auto it = fake.windows.rbegin(); it != fake.windows.rend(); ++it)
        if ((*it)->name == name)
            return it->get();
    return nullptr;
}

intptr_t fake_point(int16_t x, int16_t y)
{
    return static_cast<intptr_t>(static_cast<uint16_t>(x) | (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16));
}

std::string fake_log()
{
    std::string log;
    for (const std::string& call : fake.calls)
        log += call + "\n";
    return log;
}

void fake_clear_calls()
{
    fake.calls.clear();
}

int fake_count(const std::string& prefix)
{
    return static_cast<int>(fake_calls_starting(prefix).size());
}

std::vector<std::string> fake_calls_starting(const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& call : fake.calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call);
    return found;
}

bool fake_art_inside(int32_t x, int32_t y)
{
    // A blob leaning to the right, with a hole, so mirroring and runs show.
    if (y < 6 || y > 39 || x < 3)
        return false;
    if (x > 12 + y)
        return false;
    if (x >= 20 && x < 24 && y >= 20 && y < 24)
        return false;
    return true;
}

uint32_t fake_art_pixel(int32_t image, int32_t x, int32_t y)
{
    // Never KEY_COLOUR: the top byte of 0x00RRGGBB names the image.
    return (static_cast<uint32_t>(image & 0x7F) << 16) | (static_cast<uint32_t>(y) << 8) | static_cast<uint32_t>(x);
}

void fake_use_synthetic_art(int32_t columns, int32_t rows, int32_t image_count)
{
    const int32_t width = columns * SPRITE_SIZE;
    const int32_t height = rows * SPRITE_SIZE;
    Bitmap sheet;
    sheet.width = width;
    sheet.height = height;
    sheet.bits_per_pixel = 24;
    sheet.pixels.assign(static_cast<size_t>(width) * height, 0xFFFFFF);
    Bitmap mask;
    mask.width = width;
    mask.height = height;
    mask.bits_per_pixel = 1;
    mask.palette = {0x000000, 0xFFFFFF};
    mask.pixels.assign(static_cast<size_t>(width) * height, 0xFFFFFF);
    mask.indices.assign(static_cast<size_t>(width) * height, 1);
    for (int32_t image = 0; image < image_count && image < columns * rows; ++image) {
        const int32_t left = image % columns * SPRITE_SIZE;
        const int32_t top = image / columns * SPRITE_SIZE;
        for (int32_t y = 0; y < SPRITE_SIZE; ++y) {
            for (int32_t x = 0; x < SPRITE_SIZE; ++x) {
                const size_t at = static_cast<size_t>(top + y) * width + left + x;
                const bool inside = fake_art_inside(x, y);
                sheet.pixels[at] = inside ? fake_art_pixel(image, x, y) : KEY_COLOUR;
                mask.pixels[at] = inside ? 0xFFFFFF : 0x000000;
                mask.indices[at] = inside ? 1 : 0;
            }
        }
    }
    fake.bitmaps[RES_SPRITES] = std::move(sheet);
    fake.bitmaps[RES_MASK] = std::move(mask);

    auto plain = [](int32_t w, int32_t h, uint32_t colour) {
        Bitmap bitmap;
        bitmap.width = w;
        bitmap.height = h;
        bitmap.bits_per_pixel = 24;
        bitmap.pixels.assign(static_cast<size_t>(w) * h, colour);
        return bitmap;
    };
    Bitmap title = plain(270, 40, 0x000000);
    for (int32_t x = 10; x < 260; ++x)
        title.pixels[20 * 270 + x] = 0xC04020;
    fake.bitmaps[RES_TITLE] = std::move(title);
    fake.bitmaps[RES_SCENE] = plain(114, 65, 0x203040);
    fake.bitmaps[RES_TILE] = plain(6, 5, 0xE0E0E0);
    fake.bitmaps[RES_PORTRAIT] = plain(64, 64, 0x806040);
}

// ---- the process

int platform_monitors(Monitor* monitors, int capacity)
{
    record("monitors()");
    std::vector<Monitor> desk = fake.monitors;
    if (desk.empty())
        desk.push_back({0, 0, fake.screen_width, fake.screen_height, 0, 0, fake.screen_width, fake.screen_height,
                        fake.screen_dpi});
    for (int i = 0; i < capacity && i < int(desk.size()); ++i)
        monitors[i] = desk[size_t(i)];
    return int(desk.size());
}

bool platform_fullscreen_in_front(const Monitor& m)
{
    // Not recorded: asked every tick, it would drown the calls the tests look at.
    return fake.fullscreen_width > 0 && fake.fullscreen_x <= m.x && fake.fullscreen_y <= m.y &&
           m.x + m.width <= fake.fullscreen_x + fake.fullscreen_width &&
           m.y + m.height <= fake.fullscreen_y + fake.fullscreen_height;
}

void platform_set_zoom(int32_t z)
{
    record("set_zoom(" + num(z) + ")");
}

uint32_t platform_seconds_now()
{
    record("seconds_now()");
    return fake.seconds_now;
}

namespace {
size_t copy_path(const std::string& text, char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    // Like the system: a path that does not fit is cut, and its length reported as the room.
    size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return text.size() >= size ? size : length;
}
}  // namespace

size_t platform_settings_folder(char* buffer, size_t size)
{
    record("settings_folder(" + num(static_cast<long long>(size)) + ")");
    if (fake.settings_folder_fails)
        return 0;
    return copy_path(fake.settings_folder, buffer, size);
}

size_t platform_current_directory(char* buffer, size_t size)
{
    record("current_directory(" + num(static_cast<long long>(size)) + ")");
    return copy_path(fake.current_directory, buffer, size);
}

void* platform_heap_alloc(size_t size)
{
    ++fake.heap_allocations;
    if (fake.fail_heap_alloc_at > 0 && fake.heap_allocations == fake.fail_heap_alloc_at) {
        record("heap_alloc(" + num(static_cast<long long>(size)) + ")=null");
        return nullptr;
    }
    record("heap_alloc(" + num(static_cast<long long>(size)) + ")");
    void* block = std::malloc(size ? size : 1);
    fake.live_blocks[block] = size;
    return block;
}

void platform_heap_free(void* block)
{
    record("heap_free()");
    if (!block)
        return;
    auto it = fake.live_blocks.find(block);
    if (it == fake.live_blocks.end()) {
        record("heap_free(NOT A LIVE BLOCK)");
        return;
    }
    fake.live_blocks.erase(it);
    std::free(block);
}

// ---- settings file

int32_t platform_ini_read_int(const char* path, const char* section, const char* key, int32_t fallback)
{
    record("ini_read_int(" + join(quoted(path), quoted(section), quoted(key), num(fallback)) + ")");
    auto file = fake.ini_files.find(path);
    if (file == fake.ini_files.end())
        return fallback;
    std::optional<std::string> value = ini_get(file->second, section, key);
    return value ? ini_parse_int(*value, fallback) : fallback;
}

bool platform_ini_write_string(const char* path, const char* section, const char* key, const char* value)
{
    record("ini_write_string(" + join(quoted(path), quoted(section), quoted(key), quoted(value)) + ")");
    if (fake.unwritable_ini_files.count(path))
        return false;
    ini_set(fake.ini_files[path], section, key, value);
    return true;
}

size_t platform_ini_read_string(const char* path, const char* section, const char* key, char* buffer, size_t size)
{
    record("ini_read_string(" + join(quoted(path), quoted(section), quoted(key)) + ")");
    auto file = fake.ini_files.find(path);
    std::optional<std::string> value;
    if (file != fake.ini_files.end())
        value = ini_get(file->second, section, key);
    const std::string text = value && value->size() < size ? *value : std::string();
    if (size > 0)
        std::memcpy(buffer, text.c_str(), text.size() + 1);
    return text.size();
}

// Recorded key by key, as the Windows profile functions write them.
int platform_ini_write_strings(const char* path, const char* section, const char* const* keys,
                               const char* const* values, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (fake.unusable_ini_files.count(path)) {
            record("ini_write_string(" + join(quoted(path), quoted(section), quoted(keys[i]), quoted(values[i])) + ")");
            return SAVE_FILE_FAILED;
        }
        if (!platform_ini_write_string(path, section, keys[i], values[i]))
            return SAVE_FOLDER_FAILED;
    }
    return SAVE_DONE;
}

// ---- message boxes

void platform_message_box(Window* owner, const char* text, unsigned kind, const char* button)
{
    record("message_box(" + join(name_of(owner), quoted(text), hex(kind)) + ")");
    fake.box_buttons.push_back(button ? button : "");
    if (fake.during_message_box)
        fake.during_message_box(owner, text ? text : "", kind);
}

// ---- the user's language

size_t platform_ui_languages(char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    const size_t length = std::min(fake.ui_languages.size(), size - 1);
    fake.ui_languages.copy(buffer, length);
    buffer[length] = '\0';
    return length;
}

bool platform_fonts_cover(const char* font, const char* text)
{
    record("fonts_cover(" + join(quoted(font), num(int(std::strlen(text)))) + ")");
    return fake.fonts_cover;
}

// ---- the pet window

void platform_register_pet_class(WindowProc proc)
{
    record("register_pet_class()");
    fake.pet_class_proc = proc;
}

Window* platform_create_pet_window(int32_t side, void* user)
{
    record(side == SPRITE_SIZE ? "create_pet_window()" : "create_pet_window(" + num(side) + ")");
    Window* window = make_window("pet", fake.pet_class_proc, nullptr, 0, side, side);
    window->user = user;
    fake_send(window, MSG_CREATE);
    return window;
}

void platform_begin_changes(Window* const*, int)
{
    ++fake.changes_open;
}

void platform_end_changes(Window* const* windows, int count)
{
    --fake.changes_open;
    ++fake.change_batches;
    fake.last_batch.assign(windows, windows + count);
    for (int k = 0; k < count; ++k)
        windows[k]->stacked = ++fake.stack_top;
}

void* platform_window_user(Window* window)
{
    return window ? window->user : nullptr;
}

void platform_place_hidden(Window* window, int32_t x, int32_t y)
{
    record("place_hidden(" + join(name_of(window), num(x), num(y)) + ")");
    window->x = x;
    window->y = y;
    window->visible = false;
}

void platform_show_window(Window* window, int show_command)
{
    record("show_window(" + join(name_of(window), num(show_command)) + ")");
    window->visible = show_command != 0;
    if (window->visible)
        window->invalid = true;
}

void platform_move_window(Window* window, int32_t x, int32_t y)
{
    record("move_window(" + join(name_of(window), num(x), num(y)) + ")");
    fake.moves_outside_batches += fake.changes_open == 0 ? 1 : 0;
    window->x = x;
    window->y = y;
    window->invalid = true;
}

void platform_resize_window(Window* window, int32_t side)
{
    record("resize_window(" + join(name_of(window), num(side)) + ")");
    window->width = window->height = side;
    window->pixels.assign(size_t(side) * size_t(side), 0);
    window->invalid = true;
}

void platform_destroy_window(Window* window)
{
    record("destroy_window(" + name_of(window) + ")");
    if (!window || !window->alive || window->destroying)
        return;
    window->destroying = true;
    for (size_t i = 0; i < fake.windows.size(); ++i) {
        Window* owned = fake.windows[i].get();
        if (owned->owner == window && owned->alive)
            platform_destroy_window(owned);
    }
    fake_send(window, MSG_DESTROY);
    window->alive = false;
    window->visible = false;
    window->timers.clear();
    if (fake.capture == window)
        fake.capture = nullptr;
    if (fake.tray_owner == window)  // the icon goes with its owner at the latest
        fake.tray_owner = nullptr;
    std::erase_if(fake.queue, [window](const PlatformMessage& m) { return m.window == window; });
}

intptr_t platform_default_window_proc(Window* window, unsigned message, uintptr_t, intptr_t)
{
    record("default_window_proc(" + join(name_of(window), hex(message)) + ")");
    if (message == MSG_PAINT)
        window->invalid = false;
    return 0;
}

void platform_set_window_outline(Window* window, const Outline* outline)
{
    record("set_window_outline(" +
           join(name_of(window), outline ? "rects=" + num(static_cast<long long>(outline->rects.size())) : "none") +
           ")");
    window->has_outline = outline != nullptr;
    window->outline = outline ? *outline : Outline{};
}

void platform_keep_window_outlines(Window* window, Outline* const* plain, Outline* const* mirrored, int32_t count)
{
    record("keep_window_outlines(" + join(name_of(window), plain && mirrored ? num(count) : "none") + ")");
}

// ---- timers

bool platform_set_timer(Window* window, unsigned id, unsigned interval_ms)
{
    record("set_timer(" + join(name_of(window), num(id), num(interval_ms)) + ")");
    if (fake.timer_fails)
        return false;
    window->timers[id] = timer_interval(interval_ms);
    return true;
}

void platform_kill_timer(Window* window, unsigned id)
{
    record("kill_timer(" + join(name_of(window), num(id)) + ")");
    window->timers.erase(id);
}

// ---- painting

void platform_invalidate(Window* window)
{
    record("invalidate(" + name_of(window) + ")");
    window->invalid = true;
}

void platform_invalidate_rect(Window* window, int32_t x, int32_t y, int32_t width, int32_t height)
{
    record("invalidate_rect(" + join(name_of(window), num(x), num(y), num(width), num(height)) + ")");
    window->invalid = true;
}

void platform_update_window(Window* window)
{
    record("update_window(" + name_of(window) + ")");
    if (window->invalid && window->alive)
        fake_send(window, MSG_PAINT);
}

bool platform_begin_paint(Window* window)
{
    record("begin_paint(" + name_of(window) + ")");
    if (fake.begin_paint_fails)
        return false;
    window->painting = true;
    window->invalid = false;
    return true;
}

void platform_end_paint(Window* window)
{
    record("end_paint(" + name_of(window) + ")");
    window->painting = false;
}

namespace {
void present(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y, bool keyed,
             uint32_t key)
{
    if (!window->painting)
        record("present OUTSIDE PAINT");
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < width; ++column) {
            const int32_t tx = x + column;
            const int32_t ty = y + row;
            if (tx < 0 || ty < 0 || tx >= window->width || ty >= window->height)
                continue;
            const uint32_t pixel = pixels[static_cast<size_t>(row) * width + column];
            if (keyed && pixel == key)
                continue;
            window->pixels[static_cast<size_t>(ty) * window->width + tx] = pixel;
        }
    }
}
}  // namespace

void platform_present(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y)
{
    record("present(" + join(name_of(window), num(width), num(height), num(x), num(y)) + ")");
    present(window, pixels, width, height, x, y, false, 0);
}

void platform_present_keyed(Window* window, const uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y,
                            uint32_t key)
{
    record("present_keyed(" + join(name_of(window), num(width), num(height), num(x), num(y), hex(key)) + ")");
    present(window, pixels, width, height, x, y, true, key);
}

bool platform_blend_window(Window* window)
{
    record("blend_window(" + name_of(window) + ")");
    window->blended = fake.blends;
    return fake.blends;
}

void platform_present_blended(Window* window, const uint32_t* pixels, int32_t width, int32_t height)
{
    record("present_blended(" + join(name_of(window), num(width), num(height)) + ")");
    present(window, pixels, width, height, 0, 0, false, 0);
}

bool platform_acquire_window_context(Window* window)
{
    record("acquire_window_context(" + name_of(window) + ")");
    if (fake.acquire_context_fails)
        return false;
    ++fake.contexts_held;
    return true;
}

void platform_release_window_context(Window* window)
{
    record("release_window_context(" + name_of(window) + ")");
    --fake.contexts_held;
}

void platform_client_size(Window* window, int32_t* width, int32_t* height)
{
    record("client_size(" + name_of(window) + ")");
    *width = window->width;
    *height = window->height;
}

// ---- the screen

bool platform_open_screen()
{
    record("open_screen()");
    if (fake.open_screen_fails)
        return false;
    ++fake.screen_open;
    return true;
}

void platform_close_screen()
{
    record("close_screen()");
    if (fake.screen_open > 0)
        --fake.screen_open;
}

void platform_capture_screen(Window*, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t* pixels)
{
    record("capture_screen(" + join(num(x), num(y), num(width), num(height)) + ")");
    if (!fake.screen_open)
        record("capture_screen WITHOUT OPEN SCREEN");
    for (int32_t row = 0; row < height; ++row)
        for (int32_t column = 0; column < width; ++column)
            pixels[static_cast<size_t>(row) * width + column] = fake_screen_pixel(x + column, y + row);
}

// ---- resources

bool platform_load_bitmap(int resource_id, Bitmap* out)
{
    record("load_bitmap(" + num(resource_id) + ")");
    auto it = fake.bitmaps.find(resource_id);
    if (it == fake.bitmaps.end())
        return false;
    *out = it->second;
    return true;
}

Cursor* platform_load_cursor(int resource_id)
{
    record("load_cursor(" + num(resource_id) + ")");
    if (fake.failing_cursors.count(resource_id))
        return nullptr;
    auto& cursor = fake.cursors[resource_id];
    if (!cursor)
        cursor = std::make_unique<Cursor>(Cursor{resource_id});
    return cursor.get();
}

Menu* platform_load_pet_menu(int resource_id)
{
    record(resource_id == RES_MENU ? "load_pet_menu()" : "load_pet_menu(" + num(resource_id) + ")");
    fake.pet_menu.resource_id = resource_id;
    return fake.menu_fails ? nullptr : &fake.pet_menu;
}

// ---- mouse

void platform_set_capture(Window* window)
{
    record("set_capture(" + name_of(window) + ")");
    fake.capture = window;
}

void platform_release_capture()
{
    record("release_capture()");
    fake.capture = nullptr;
}

Cursor* platform_set_cursor(Cursor* cursor)
{
    record("set_cursor(" + (cursor ? num(cursor->resource_id) : std::string("none")) + ")");
    Cursor* previous = fake.cursor;
    fake.cursor = cursor;
    return previous;
}

void platform_client_to_screen(Window* window, int32_t* x, int32_t* y)
{
    record("client_to_screen(" + join(name_of(window), num(*x), num(*y)) + ")");
    *x += window->x;
    *y += window->y;
}

void platform_track_popup_menu(Menu* menu, int32_t x, int32_t y, Window* owner)
{
    record("track_popup_menu(" +
           join(menu ? num(menu->resource_id) : std::string("none"), num(x), num(y), name_of(owner)) + ")");
    if (fake.during_popup)
        fake.during_popup();
    if (fake.popup_command)
        fake_post(owner, MSG_COMMAND, static_cast<uintptr_t>(fake.popup_command), 0);
}

void platform_set_pet_submenu(Menu* menu, int after_command, const char* caption, const char* const* items, int count,
                              int first_command, int checked)
{
    std::string listed;
    for (int i = 0; i < count; ++i)
        listed += (i ? "," : "") + quoted(items[i]);
    record("set_pet_submenu(" +
           join(num(menu ? menu->resource_id : 0), num(after_command), quoted(caption), listed, num(first_command),
                num(checked)) +
           ")");
    fake.pet_submenu.assign(items, items + count);
    fake.pet_submenu_checked = checked;
    fake.pet_submenu_after = after_command;
    fake.pet_submenu_caption = caption;
}

// ---- dialogs

Window* platform_create_dialog(int template_id, Window* owner, WindowProc proc, void* user)
{
    record("create_dialog(" + join(num(template_id), name_of(owner)) + ")");
    std::string name = template_id % RES_LANGUAGE_STEP == RES_OPTIONS_DIALOG ? "options"
                       : template_id % RES_LANGUAGE_STEP == RES_ABOUT_DIALOG ? "about"
                                                                             : num(template_id);
    auto size = fake.dialog_client_sizes.find(template_id);
    int32_t width = size == fake.dialog_client_sizes.end() ? 200 : size->second.first;
    int32_t height = size == fake.dialog_client_sizes.end() ? 100 : size->second.second;
    Window* dialog = make_window(name, proc, owner, template_id, width, height);
    dialog->user = user;
    // As on Windows, a visible dialog is shown only once its set-up has run.
    fake_send(dialog, MSG_INITDIALOG);
    if (!dialog->alive)
        return nullptr;
    dialog->visible = true;
    return dialog;
}

void platform_set_item_text(Window* dialog, int id, const char* text)
{
    record("set_item_text(" + join(name_of(dialog), num(id), quoted(text)) + ")");
    dialog->item_texts[id] = text ? text : "";
}

int platform_get_item_text(Window* dialog, int id, char* buffer, int size)
{
    record("get_item_text(" + join(name_of(dialog), num(id)) + ")");
    if (size <= 0)
        return 0;
    const std::string& text = dialog->item_texts[id];
    int length = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), static_cast<size_t>(length));
    buffer[length] = '\0';
    return length;
}

void platform_set_check(Window* dialog, int id, int checked)
{
    record("set_check(" + join(name_of(dialog), num(id), num(checked)) + ")");
    dialog->checks[id] = checked;
}

int platform_get_check(Window* dialog, int id)
{
    record("get_check(" + join(name_of(dialog), num(id)) + ")");
    return dialog->checks[id];
}

// ---- the message loop

int platform_next_message(PlatformMessage** message)
{
    if (fake.next_message_fails) {
        record("next_message()=-1");
        return -1;
    }
    if (fake.queue.empty() && !fake.quit_posted && fake.when_idle) {
        auto act = std::move(fake.when_idle);
        fake.when_idle = nullptr;
        act();
    }
    if (!fake.queue.empty()) {
        fake.fetched = fake.queue.front();
        fake.queue.pop_front();
        *message = &fake.fetched;
        record("next_message()=" + join(name_of(fake.fetched.window), hex(fake.fetched.message)));
        return 1;
    }
    if (fake.quit_posted) {
        record("next_message()=quit");
        return 0;
    }
    // A real system would wait here; a test that runs dry is an error.
    record("next_message()=-1 (nothing queued)");
    return -1;
}

bool platform_is_dialog_message(Window* dialog, PlatformMessage* message)
{
    record("is_dialog_message(" + join(name_of(dialog), hex(message->message)) + ")");
    if (!dialog || !dialog->alive)
        return false;
    if (fake.takes_dialog_message)
        return fake.takes_dialog_message(dialog, *message);
    if (message->window != dialog || !keyboard_message(message->message))
        return false;
    if (message->message == FAKE_KEYDOWN && message->wparam == FAKE_KEY_RETURN)
        fake_send(dialog, MSG_COMMAND, CMD_OK);
    if (message->message == FAKE_KEYDOWN && message->wparam == FAKE_KEY_ESCAPE)
        fake_send(dialog, MSG_COMMAND, CMD_CANCEL);
    return true;
}

void platform_dispatch_message(PlatformMessage* message)
{
    record("dispatch_message(" + join(name_of(message->window), hex(message->message)) + ")");
    fake_send(message->window, message->message, message->wparam, message->lparam);
}

bool platform_restart_program()
{
    record("restart_program()");
    ++fake.restarts;
    return !fake.restart_fails;
}

void platform_post_quit(int code)
{
    record("post_quit(" + num(code) + ")");
    fake.quit_posted = true;
    fake.quit_code = code;
}
