// The desk's rules: which monitor a pet stands on, which of its edges open
// onto a neighbour, stepping down to a lower floor, and never standing where
// no monitor shows the pet.
#include "shell/desk.h"

#include <algorithm>
#include <climits>

#include "engine/engine.h"
#include "graphics/zoom.h"

namespace {

int32_t right_of(const DeskBox& box)
{
    return box.x + box.width;
}

int32_t bottom_of(const DeskBox& box)
{
    return box.y + box.height;
}

int64_t overlap(const DeskBox& box, int32_t x, int32_t y, int32_t w, int32_t h)
{
    const int64_t across = std::min(right_of(box), x + w) - std::max(box.x, x);
    const int64_t down = std::min(bottom_of(box), y + h) - std::max(box.y, y);
    return across > 0 && down > 0 ? across * down : 0;
}

// How far apart the box and the pet are (squared), 0 when they touch.
int64_t distance(const DeskBox& box, int32_t x, int32_t y, int32_t w, int32_t h)
{
    const int64_t across = std::max({int64_t{box.x} - (x + w), int64_t{x} - right_of(box), int64_t{0}});
    const int64_t down = std::max({int64_t{box.y} - (y + h), int64_t{y} - bottom_of(box), int64_t{0}});
    return across * across + down * down;
}

}  // namespace

int32_t desk_home(const Desk& desk, int32_t x, int32_t y, int32_t w, int32_t h)
{
    int32_t best = 0;
    int64_t best_overlap = 0;
    for (int32_t i = 0; i < desk.count; ++i) {
        const int64_t shown = overlap(desk.boxes[i], x, y, w, h);
        if (shown > best_overlap) {
            best = i;
            best_overlap = shown;
        }
    }
    if (best_overlap > 0)
        return best;
    int64_t nearest = INT64_MAX;
    for (int32_t i = 0; i < desk.count; ++i) {
        const int64_t d = distance(desk.boxes[i], x, y, w, h);
        if (d < nearest) {
            best = i;
            nearest = d;
        }
    }
    return best;
}

namespace {

bool covers_rows(const DeskBox& box, int32_t y, int32_t h)
{
    return box.y <= y && y + h <= bottom_of(box);
}

bool covers_columns(const DeskBox& box, int32_t x, int32_t w)
{
    return box.x <= x && x + w <= right_of(box);
}

// Whether every pixel of the pet is on some monitor: the monitors' edges cut
// the pet into cells, each wholly on a monitor or wholly off every one.
bool shown_whole(const Desk& desk, int32_t x, int32_t y, int32_t w, int32_t h)
{
    int32_t xs[2 * MAX_MONITORS + 2];
    int32_t ys[2 * MAX_MONITORS + 2];
    int nx = 0;
    int ny = 0;
    xs[nx++] = x;
    xs[nx++] = x + w;
    ys[ny++] = y;
    ys[ny++] = y + h;
    for (int32_t i = 0; i < desk.count; ++i) {
        const DeskBox& b = desk.boxes[i];
        for (const int32_t cut : {b.x, right_of(b)})
            if (cut > x && cut < x + w)
                xs[nx++] = cut;
        for (const int32_t cut : {b.y, bottom_of(b)})
            if (cut > y && cut < y + h)
                ys[ny++] = cut;
    }
    std::sort(xs, xs + nx);
    std::sort(ys, ys + ny);
    for (int a = 0; a + 1 < nx; ++a)
        for (int c = 0; c + 1 < ny; ++c) {
            if (xs[a] == xs[a + 1] || ys[c] == ys[c + 1])
                continue;
            bool on_one = false;
            for (int32_t i = 0; i < desk.count && !on_one; ++i) {
                const DeskBox& b = desk.boxes[i];
                on_one = b.x <= xs[a] && xs[a] < right_of(b) && b.y <= ys[c] && ys[c] < bottom_of(b);
            }
            if (!on_one)
                return false;
        }
    return true;
}

// Lowest end wins when the span is empty, as pet_keep_inside does.
int32_t clamp_to(int32_t value, int32_t low, int32_t high)
{
    return std::max(std::min(value, high), low);
}

int32_t ceil_to_pet(int32_t screen_pixels, int32_t z)
{
    return -screen_to_pet(-screen_pixels, z);
}

}  // namespace

Desk desk_make(const Monitor* monitors, int32_t count, const DeskSettings& settings, int32_t z, int32_t top_margin,
               int32_t bottom_margin, int32_t left_margin, int32_t right_margin)
{
    Desk desk{};
    int32_t first = 0;
    int32_t end = std::min(count, int32_t{MAX_MONITORS});
    // A monitor that is not there (unplugged, or a number too large): every monitor.
    if (settings.one_monitor >= 1 && settings.one_monitor <= end) {
        first = settings.one_monitor - 1;
        end = first + 1;
    }
    for (int32_t i = first; i < end; ++i) {
        const Monitor& m = monitors[i];
        const bool work = settings.floor_at_panel == 1 && m.work_width > 0 && m.work_height > 0;
        const int32_t x = work ? m.work_x : m.x;
        const int32_t y = work ? m.work_y : m.y;
        const int32_t w = work ? m.work_width : m.width;
        const int32_t h = work ? m.work_height : m.height;
        // Inwards at both ends, so that a pet inside the box is wholly on the monitor.
        const int32_t left = ceil_to_pet(x, z);
        const int32_t top = ceil_to_pet(y, z);
        desk.boxes[desk.count++] = {left, top, screen_to_pet(x + w, z) - left, screen_to_pet(y + h, z) - top};
    }
    desk.top_margin = margin_to_pet(top_margin, z);
    desk.bottom_margin = margin_to_pet(bottom_margin, z);
    desk.left_margin = margin_to_pet(left_margin, z);
    desk.right_margin = margin_to_pet(right_margin, z);
    return desk;
}

Room desk_box_room(const Desk& desk, int32_t index)
{
    const DeskBox& b = desk.boxes[index];
    return {b.x, b.y, b.width, b.height, desk.top_margin, desk.bottom_margin, desk.left_margin, desk.right_margin};
}

Room desk_drag_room(const Desk& desk)
{
    DeskBox around = desk.boxes[0];
    for (int32_t i = 1; i < desk.count; ++i) {
        const DeskBox& b = desk.boxes[i];
        const int32_t right = std::max(right_of(around), right_of(b));
        const int32_t bottom = std::max(bottom_of(around), bottom_of(b));
        around.x = std::min(around.x, b.x);
        around.y = std::min(around.y, b.y);
        around.width = right - around.x;
        around.height = bottom - around.y;
    }
    return {around.x,        around.y,           around.width,     around.height,
            desk.top_margin, desk.bottom_margin, desk.left_margin, desk.right_margin};
}

Room desk_room(const Desk& desk, int32_t x, int32_t y, int32_t w, int32_t h)
{
    const int32_t home = desk_home(desk, x, y, w, h);
    const DeskBox& m = desk.boxes[home];
    Room room = desk_box_room(desk, home);
    int32_t top = m.y;
    int32_t bottom = bottom_of(m);
    int32_t left = m.x;
    int32_t right = right_of(m);
    for (int32_t i = 0; i < desk.count; ++i) {
        if (i == home)
            continue;
        const DeskBox& n = desk.boxes[i];
        const bool beside = right_of(n) == m.x || n.x == right_of(m);
        const bool above_or_below = bottom_of(n) == m.y || n.y == bottom_of(m);
        // An edge opens where the neighbour shows the whole pet as it passes.
        if (beside && covers_rows(n, y, h)) {
            room.open_edges |= n.x == right_of(m) ? ROOM_OPEN_RIGHT : ROOM_OPEN_LEFT;
            (n.x == right_of(m) ? room.right_margin : room.left_margin) = 0;
        }
        if (above_or_below && covers_columns(n, x, w)) {
            room.open_edges |= n.y == bottom_of(m) ? ROOM_OPEN_BOTTOM : ROOM_OPEN_TOP;
            (n.y == bottom_of(m) ? room.bottom_margin : room.top_margin) = 0;
        }
        // Half across an edge, the pet may only go where both monitors show it.
        if (overlap(n, x, y, w, h) > 0) {
            if (beside) {
                top = std::max(top, n.y);
                bottom = std::min(bottom, bottom_of(n));
            } else if (above_or_below) {
                left = std::max(left, n.x);
                right = std::min(right, right_of(n));
            }
        }
    }
    room.x = left;
    room.y = top;
    room.width = right - left;
    room.height = bottom - top;
    return room;
}

int32_t room_floor(const Room& room, int32_t h)
{
    if (room.open_edges & ROOM_OPEN_BOTTOM)
        return INT32_MIN;
    return room.y + room.height - h - room.bottom_margin;
}

bool desk_settle(const Desk& desk, PetState* pet, int32_t floor_before)
{
    // One monitor: the engine's room already holds the pet, as it always has.
    if (desk.count <= 1)
        return false;
    const int32_t w = pet->sprite_width;
    const int32_t h = pet->sprite_height;
    bool moved = false;
    if (pet->y == floor_before) {
        const Room room = desk_room(desk, pet->x, pet->y, w, h);
        const int32_t floor = room_floor(room, h);
        int32_t showing = 0;
        for (int32_t i = 0; i < desk.count; ++i)
            showing += overlap(desk.boxes[i], pet->x, pet->y, w, h) > 0;
        if (showing == 1 && floor != INT32_MIN && floor > pet->y) {
            pet->y = floor;
            moved = true;
        }
    }
    if (shown_whole(desk, pet->x, pet->y, w, h))
        return moved;
    int64_t nearest = INT64_MAX;
    int32_t best_x = pet->x;
    int32_t best_y = pet->y;
    for (int32_t i = 0; i < desk.count; ++i) {
        const DeskBox& b = desk.boxes[i];
        const int32_t x = clamp_to(pet->x, b.x + desk.left_margin, right_of(b) - w - desk.right_margin);
        const int32_t y = clamp_to(pet->y, b.y + desk.top_margin, bottom_of(b) - h - desk.bottom_margin);
        const int64_t dx = int64_t{x} - pet->x;
        const int64_t dy = int64_t{y} - pet->y;
        if (dx * dx + dy * dy < nearest) {
            nearest = dx * dx + dy * dy;
            best_x = x;
            best_y = y;
        }
    }
    pet->x = best_x;
    pet->y = best_y;
    return true;
}

Room desk_pet_step(const Desk& desk, PetState* pet)
{
    const Room room = desk_room(desk, pet->x, pet->y, pet->sprite_width, pet->sprite_height);
    const int32_t floor = room_floor(room, pet->sprite_height);
    const int32_t floor_before = pet->y == floor ? floor : INT32_MIN;
    pet_step(pet, room);
    desk_settle(desk, pet, floor_before);
    return room;
}
