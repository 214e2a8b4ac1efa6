// pet_step: one tick of the pet's own life, and the weighted choice of the
// next action when the running one ends or meets a limit.
#include <algorithm>
#include <cstdint>

#include "engine/engine.h"
#include "engine/random.h"

namespace {

// How far an open edge lets the pet go: no limit that a tick can reach, and
// far from overflow when a move is added.
constexpr int32_t OPEN_LIMIT = 1 << 29;

int32_t x_min(const Room& room)
{
    return room.open_edges & ROOM_OPEN_LEFT ? -OPEN_LIMIT : room.x + room.left_margin;
}

int32_t y_min(const Room& room)
{
    return room.open_edges & ROOM_OPEN_TOP ? -OPEN_LIMIT : room.y + room.top_margin;
}

int32_t x_max(const PetState* pet, const Room& room)
{
    return room.open_edges & ROOM_OPEN_RIGHT ? OPEN_LIMIT : room.x + room.width - pet->sprite_width - room.right_margin;
}

int32_t y_max(const PetState* pet, const Room& room)
{
    return room.open_edges & ROOM_OPEN_BOTTOM ? OPEN_LIMIT
                                              : room.y + room.height - pet->sprite_height - room.bottom_margin;
}

// Shortens the move m from pos so that it ends within low ... high; true
// when it had to.
bool clamp_move(int32_t& m, int32_t pos, int32_t low, int32_t high)
{
    if (m < 0 && pos + m < low) {
        m = low - pos;
        return true;
    }
    if (m > 0 && pos + m > high) {
        m = high - pos;
        return true;
    }
    return false;
}

struct LinkList {
    ActionLink* entries;
    int32_t count;
};

LinkList candidates(const Action& a, StepResult result)
{
    if (result == STEP_X_BOUND && a.x_bound_count > 0)
        return {a.x_bound, a.x_bound_count};
    if (result == STEP_Y_BOUND && a.y_bound_count > 0)
        return {a.y_bound, a.y_bound_count};
    return {a.next, a.next_count};
}

// The weight of choosing action `candidate` (0-based) with mirror m, lowered
// by the dislike rules of recent choices: fully for the newest, fading
// linearly over each rule's level.
int32_t apply_dislikes(const PetState* pet, int32_t candidate, int32_t m, int32_t ratio)
{
    const int32_t f = pet->facing;
    int32_t w = ratio;
    for (int j = 0; j < HISTORY_LENGTH; ++j) {
        const int32_t h = pet->history[j];
        if (h == -1)
            continue;
        const Action& chosen = pet->actions[h];
        for (int32_t k = 0; k < chosen.dislike_count; ++k) {
            const Dislike& d = chosen.dislikes[k];
            if (d.action - 1 != candidate || d.level <= j)
                continue;
            // direction 0: the candidate would face as action h did; 1: the other way.
            if (d.direction != 2 && (pet->history_facing[j] == f) != (m == d.direction))
                continue;
            if (d.previous_action > 0) {
                if (j + 1 >= HISTORY_LENGTH || pet->history[j + 1] == -1 ||
                    d.previous_action - 1 != pet->history[j + 1])
                    continue;
                const bool same = pet->history_facing[j] == pet->history_facing[j + 1];
                if ((d.previous_direction == 0 && !same) || (d.previous_direction == 1 && same))
                    continue;
            }
            const int32_t v = j * ratio / d.level;
            if (v < w)
                w = v;
        }
    }
    return w;
}

}  // namespace

Probe probe_move(const PetState* pet, const Room& room, int32_t action, int32_t tick, int32_t facing, bool strict)
{
    const Action& a = pet->actions[action];
    if (tick >= a.frame_count)
        return {STEP_FINISHED, 0, 0};
    StepResult result = STEP_CONTINUE;

    int32_t mx = facing == 1 ? -a.dx : a.dx;
    if (clamp_move(mx, pet->x, x_min(room), x_max(pet, room)) && (strict || a.x_bound_count > 0))
        result = STEP_X_BOUND;
    int32_t my = a.dy;
    if (clamp_move(my, pet->y, y_min(room), y_max(pet, room)) && (strict || a.y_bound_count > 0))
        result = STEP_Y_BOUND;  // overrides an x bound met in the same probe
    if (result != STEP_CONTINUE)
        return {result, 0, 0};
    return {result, mx, my};
}

bool fits_room(const PetState* pet, const Room& room, int32_t action, int32_t facing)
{
    const Action& a = pet->actions[action];
    int32_t rx = facing == 1 ? -a.reach_x : a.reach_x;
    int32_t ry = a.reach_y;
    return !clamp_move(rx, pet->x, x_min(room), x_max(pet, room)) &&
           !clamp_move(ry, pet->y, y_min(room), y_max(pet, room));
}

Choice choose_next(PetState* pet, ActionLink* list, int32_t count)
{
    const int32_t c = pet->current_action;
    const int32_t f = pet->facing;
    // 64 bits: a large same_ratio repeated many times must not wrap round.
    const int64_t penalty = int64_t{pet->actions[c].same_ratio} * pet->repeat_count;
    int64_t total = 0;
    for (int32_t k = 0; k < count; ++k) {
        const ActionLink& entry = list[k];
        int64_t w = 0;
        if (!pet->tried[k]) {
            const int32_t candidate = entry.action - 1;
            if (candidate == c && entry.mirror == 0)
                w = penalty > 0 ? entry.ratio - penalty : entry.ratio;
            else
                w = apply_dislikes(pet, candidate, entry.mirror, entry.ratio);
            if (w <= 0)
                w = 1;
        }
        pet->weights[k] = static_cast<int32_t>(w);
        total += w;
    }
    const int64_t target = random_draw(pet->random) * total / 32768;
    int32_t k = 0;
    for (int64_t sum = pet->weights[0]; target >= sum && k + 1 < count;)
        sum += pet->weights[++k];
    const ActionLink& chosen = list[k];
    return {k, chosen.action - 1, chosen.mirror == 1 ? 1 - f : f};
}

bool would_cycle(const PetState* pet, int32_t action, int32_t facing)
{
    int i = 0;
    while (i < HISTORY_LENGTH && !(pet->history[i] == action && pet->history_facing[i] == facing))
        ++i;
    if (i == HISTORY_LENGTH || i == 0)
        return false;
    for (int j = 0; j < i; ++j) {
        if (i + 1 + j >= HISTORY_LENGTH)
            return false;
        if (pet->history[j] != pet->history[i + 1 + j] || pet->history_facing[j] != pet->history_facing[i + 1 + j])
            return false;
    }
    return true;
}

void pet_keep_inside(PetState* pet, const Room& room)
{
    // The lower end wins when the box is empty (a screen smaller than the pet).
    pet->x = std::max(std::min(pet->x, x_max(pet, room)), x_min(room));
    pet->y = std::max(std::min(pet->y, y_max(pet, room)), y_min(room));
}

void pet_step(PetState* pet, const Room& room)
{
    pet->tick += 1;
    Probe probe = probe_move(pet, room, pet->current_action, pet->tick, pet->facing, false);
    if (probe.result != STEP_CONTINUE) {
        const LinkList list = candidates(pet->actions[pet->current_action], probe.result);
        for (int32_t k = 0; k < list.count; ++k)
            pet->tried[k] = 0;
        bool check_room = true;
        int retries = 0;
        int32_t tried = 0;
        Choice choice;
        for (;;) {
            if (tried == list.count) {
                for (int32_t k = 0; k < list.count; ++k)
                    pet->tried[k] = 0;
                tried = 0;
                check_room = false;
            }
            choice = choose_next(pet, list.entries, list.count);
            if (check_room && !fits_room(pet, room, choice.action, choice.facing)) {
                pet->tried[choice.entry] = 1;
                ++tried;
                continue;
            }
            probe = probe_move(pet, room, choice.action, 0, choice.facing, check_room);
            if (probe.result != STEP_CONTINUE) {
                pet->tried[choice.entry] = 1;
                ++tried;
                continue;
            }
            if (retries >= 10 || list.count <= 1 || !would_cycle(pet, choice.action, choice.facing))
                break;
            ++retries;
        }
        for (int j = HISTORY_LENGTH - 1; j > 0; --j) {
            pet->history[j] = pet->history[j - 1];
            pet->history_facing[j] = pet->history_facing[j - 1];
        }
        pet->history[0] = choice.action;
        pet->history_facing[0] = static_cast<uint8_t>(choice.facing);
        if (choice.action == pet->current_action && choice.facing == pet->facing)
            pet->repeat_count += 1;
        else
            pet->repeat_count = 0;
        pet->current_action = choice.action;
        pet->tick = 0;
        pet->facing = choice.facing;
    }
    pet->y += probe.dy;
    pet->x += probe.dx;
    set_image(pet);
}
