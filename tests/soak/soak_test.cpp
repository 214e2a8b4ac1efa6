// The pet's life, long: millions of behaviour steps over random screens,
// margins, seeds and scripts that pass the loader, with the user picking the
// pet up and dropping it at random. After every step the pet must stand in
// its box and show a frame that exists, its history must hold real choices,
// and the step must not have touched the heap.
//
//   soak_test                   the short run CI makes
//   soak_test --steps 50000000  a long one (about 30 s natively)
//   soak_test --seed N          another sequence of worlds
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "engine/action_script.h"
#include "engine/engine.h"
#include "engine/random.h"

// ---- counting the heap: every allocation while `counting` is set is a fault.
// The engine's own calls to the C allocator are wrapped at link time
// (-Wl,--wrap=...); operator new is replaced here.

namespace {
bool counting = false;
long long allocations = 0;

void note_allocation()
{
    if (counting)
        ++allocations;
}
}  // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);

void* __wrap_malloc(size_t size)
{
    note_allocation();
    return __real_malloc(size);
}

void* __wrap_calloc(size_t count, size_t size)
{
    note_allocation();
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* block, size_t size)
{
    note_allocation();
    return __real_realloc(block, size);
}
}

void* operator new(size_t size)
{
    note_allocation();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, size_t) noexcept
{
    std::free(block);
}

namespace {

// ---- the soak's own random numbers, apart from the engine's generator
uint64_t soak_state = 1;

uint32_t next_random()
{
    soak_state = soak_state * 6364136223846793005ull + 1442695040888963407ull;
    return uint32_t(soak_state >> 33);
}

int32_t uniform(int32_t low, int32_t high)  // both ends included
{
    return low + int32_t(next_random() % uint32_t(high - low + 1));
}

bool chance(int percent)
{
    return uniform(1, 100) <= percent;
}

// ---- scripts: the built-in one, or a variation of it in the script's own text

struct Script {
    std::vector<std::string> cells;  // owns the texts
    ScriptText text;
};

std::string number_list(int count, int low, int high, bool mirrored)
{
    std::string text;
    for (int k = 0; k < count; ++k) {
        if (k)
            text += ", ";
        if (mirrored && chance(30))
            text += chance(50) ? "r" : "-";
        text += std::to_string(uniform(low, high));
    }
    return text;
}

std::string link_list(int count)
{
    std::string text;
    for (int k = 0; k < count; ++k) {
        if (k)
            text += ",";
        if (chance(25))
            text += "r";
        text += std::to_string(uniform(1, SCRIPT_ACTION_COUNT));
        text += "-";
        text += std::to_string(uniform(1, 60));
    }
    return text;
}

std::string dislike_list(int count)
{
    std::string text;
    for (int k = 0; k < count; ++k) {
        if (k)
            text += ",";
        static const char* const prefix[] = {"", "r", "*"};
        text += prefix[uniform(0, 2)];
        text += std::to_string(uniform(1, SCRIPT_ACTION_COUNT));
        text += "-";
        text += std::to_string(uniform(1, 40));
        if (chance(40)) {
            text += ":";
            text += prefix[uniform(0, 2)];
            text += std::to_string(uniform(0, SCRIPT_ACTION_COUNT));
        }
    }
    return text;
}

std::string offset(int32_t magnitude)
{
    return std::to_string(uniform(-magnitude, magnitude));
}

// Each cell is kept from the built-in script or, with the given chance, drawn
// anew within the format's rules.
void make_script(Script& script, int percent)
{
    script.cells.clear();
    script.cells.reserve(SCRIPT_ACTION_COUNT * SCRIPT_COLUMN_COUNT + SCRIPT_DIALOG_ANIMATION_COUNT);
    for (int i = 0; i < SCRIPT_ACTION_COUNT; ++i) {
        for (int c = 0; c < SCRIPT_COLUMN_COUNT; ++c) {
            std::string cell = builtin_script().columns[c][i];
            if (chance(percent)) {
                switch (c) {
                    case COLUMN_IMAGES:
                        cell = number_list(uniform(1, 19), 1, 108, true);
                        break;
                    case COLUMN_NEXT:
                        cell = link_list(uniform(1, 12));
                        break;
                    case COLUMN_DX:
                    case COLUMN_DY:
                        cell = chance(30) ? "0" : offset(chance(10) ? 600 : 25);
                        break;
                    case COLUMN_X_BOUND:
                    case COLUMN_Y_BOUND:
                        cell = chance(40) ? "" : link_list(uniform(1, 6));
                        break;
                    case COLUMN_REACH_X:
                    case COLUMN_REACH_Y:
                        cell = chance(50) ? "" : offset(chance(10) ? 2000 : 200);
                        break;
                    case COLUMN_SAME_RATIO:
                        cell = chance(50) ? "" : std::to_string(uniform(0, 120));
                        break;
                    case COLUMN_DISLIKES:
                        cell = chance(30) ? "" : dislike_list(uniform(1, 8));
                        break;
                    case COLUMN_DRAG_ACTION:
                    case COLUMN_RELEASE_ACTION:
                        cell.clear();
                        if (chance(60)) {
                            if (chance(30))
                                cell += "r";
                            cell += std::to_string(uniform(0, 66));
                        }
                        break;
                }
            }
            script.cells.push_back(cell);
            script.text.columns[c][i] = script.cells.back().c_str();
        }
    }
    for (int i = 0; i < SCRIPT_DIALOG_ANIMATION_COUNT; ++i) {
        script.cells.push_back(builtin_script().dialog_animations[i]);
        script.text.dialog_animations[i] = script.cells.back().c_str();
    }
}

void ignore_message(void*, const char*) {}

// Where a pet lives for a while, and what it starts with there.
struct World {
    Room room;
    int32_t timer_ms;
    uint32_t seed;
};

// ---- the checks after every step

struct Failure {
    const char* what;
};

void check(bool ok, const char* what)
{
    if (!ok)
        throw Failure{what};
}

void check_state(const PetState* pet, const Room& room)
{
    check(allocations == 0, "a step allocated memory");
    const int32_t xmax = room.width - SPRITE_SIZE - room.right_margin;
    const int32_t ymax = room.height - SPRITE_SIZE - room.bottom_margin;
    check(pet->x >= room.left_margin && pet->x <= xmax, "the pet left its box horizontally");
    check(pet->y >= room.top_margin && pet->y <= ymax, "the pet left its box vertically");
    check(pet->current_action >= 0 && pet->current_action < pet->action_count, "no such action");
    const Action& action = pet->actions[pet->current_action];
    check(pet->tick >= 0 && pet->tick < action.frame_count, "tick is not a frame of the action");
    const ImageRef frame = action.frames[pet->tick];
    check(pet->current_image == (frame < 0 ? -frame : frame) - 1, "the image shown is not the frame's");
    check(pet->current_mirrored == ((frame < 0) != (pet->facing == 1) ? 1 : 0), "the mirroring is not the frame's");
    check(pet->facing == 0 || pet->facing == 1, "facing neither way");
    check(pet->repeat_count >= 0, "negative repetition count");
    bool empty_seen = false;
    for (int j = 0; j < HISTORY_LENGTH; ++j) {
        const bool empty = pet->history[j] == -1;
        check(empty == (pet->history_facing[j] == 2), "a history entry half empty");
        check(!empty_seen || empty, "a choice older than an empty history entry");
        check(empty || (pet->history[j] >= 0 && pet->history[j] < pet->action_count && pet->history_facing[j] <= 1),
              "a history entry that names no action");
        empty_seen = empty_seen || empty;
    }
}

struct Totals {
    long long steps = 0;
    long long worlds = 0;
    long long variations = 0;
    long long refused_scripts = 0;
    long long drags = 0;
};

// Screen and margins as a user could have them: any size the pet fits on,
// margins that leave it at least one place (sometimes exactly one).
World make_world()
{
    int32_t screen_width, screen_height;
    switch (uniform(0, 3)) {
        case 0:
            screen_width = uniform(SPRITE_SIZE, 120), screen_height = uniform(SPRITE_SIZE, 120);
            break;
        case 1:
            screen_width = uniform(640, 7680), screen_height = uniform(480, 4320);
            break;
        default:
            screen_width = 1024, screen_height = 768;
            break;
    }
    const int32_t room_x = screen_width - SPRITE_SIZE, room_y = screen_height - SPRITE_SIZE;
    int32_t left = 0, right = 0, top = 0, bottom = 0;
    if (chance(60)) {
        left = uniform(0, room_x);
        right = chance(20) ? room_x - left : uniform(0, room_x - left);
        top = uniform(0, room_y);
        bottom = chance(20) ? room_y - top : uniform(0, room_y - top);
    }
    World world;
    world.room = Room{0, 0, screen_width, screen_height, top, bottom, left, right};
    world.timer_ms = uniform(10, 1000);
    world.seed = next_random();
    return world;
}

void live(PetState* pet, const Room& room, long long steps, Totals& totals)
{
    for (long long n = 0; n < steps; ++n) {
        counting = true;
        if (!pet->dragging && chance(1)) {
            drag_begin(pet, int16_t(uniform(-60, 100)), int16_t(uniform(-60, 100)));
            ++totals.drags;
        } else if (pet->dragging) {
            int32_t old_x, old_y;
            if (chance(60))
                drag_move(pet, room, chance(90), int16_t(uniform(-32768, 32767)), int16_t(uniform(-200, 250)), &old_x,
                          &old_y);
            if (chance(8))
                drag_end(pet);
        }
        if (pet->dragging)
            drag_tick(pet);
        else
            pet_step(pet, room);
        counting = false;
        check_state(pet, room);
        ++totals.steps;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    long long target = 2000000;
    uint64_t seed = 20261207;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--steps") == 0)
            target = std::atoll(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seed") == 0)
            seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    soak_state = seed;
    Totals totals;
    Script script;
    World world{};
    PetState* pet = nullptr;
    try {
        while (totals.steps < target) {
            world = make_world();
            const bool varied = chance(70);
            if (varied)
                make_script(script, uniform(1, 40));
            ++totals.worlds;
            pet = pet_init(varied ? script.text : builtin_script(), world.room, world.timer_ms, world.seed,
                           ScriptMessages{ignore_message, nullptr});
            if (!pet) {
                ++totals.refused_scripts;
                continue;
            }
            totals.variations += varied;
            check_state(pet, world.room);
            live(pet, world.room, std::min<long long>(uniform(1000, 60000), target - totals.steps), totals);
            if (pet->dragging)
                drag_end(pet);
            pet_release(pet);
            pet = nullptr;
        }
    } catch (const Failure& failure) {
        std::printf(
            "FAILED after %lld steps in world %lld: %s\n"
            "  screen %dx%d, margins top %d left %d bottom %d right %d, clock %" PRIu32
            ", action %d tick %d at (%d,%d)\n",
            totals.steps, totals.worlds, failure.what, world.room.width, world.room.height, world.room.top_margin,
            world.room.left_margin, world.room.bottom_margin, world.room.right_margin, world.seed,
            pet ? pet->current_action + 1 : 0, pet ? pet->tick : 0, pet ? pet->x : 0, pet ? pet->y : 0);
        return 1;
    }
    std::printf(
        "%lld steps in %lld worlds (%lld on varied scripts, %lld scripts refused by the loader), "
        "%lld drags: every step stayed in its box, showed a real frame and allocated nothing\n",
        totals.steps, totals.worlds, totals.variations, totals.refused_scripts, totals.drags);
    return 0;
}
