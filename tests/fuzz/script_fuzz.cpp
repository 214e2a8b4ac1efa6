// The script loader on any script file, then a short life of the pet on
// whatever it accepted. A script that loads must never let the pet leave its
// box, show a frame that does not exist or spin in a choice.
//
// An optional first line "#screen W H TOP LEFT BOTTOM RIGHT SEED" (a comment
// to the script format) picks the screen, margins and seed, so that the
// fuzzer can also try the screen-dependent rules of the movement columns.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/action_script.h"
#include "engine/engine.h"
#include "engine/script_file.h"

namespace {

constexpr int STEPS = 300;

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

void take_message(void*, const char* text)
{
    // Every message the loader shows is one of its own, whole.
    check(text[0] == '*' && text[1] == '*' && text[2] == ' ', "message without its \"** \"");
}

struct World {
    Room room = {0, 0, 1024, 768, 0, 0, 0, 0};
    uint32_t seed = 1;
};

World read_world(const std::string& contents)
{
    World world;
    long w, h, t, l, b, r;
    unsigned long s;
    if (contents.rfind("#screen ", 0) != 0 ||
        std::sscanf(contents.c_str(), "#screen %ld %ld %ld %ld %ld %ld %lu", &w, &h, &t, &l, &b, &r, &s) != 7)
        return world;
    // Only what start-up lets through: margins that leave the pet a place, or
    // none at all on a screen smaller than the pet.
    const bool no_margins = t == 0 && l == 0 && b == 0 && r == 0;
    if (w < 1 || h < 1 || w > 100000 || h > 100000 || t < 0 || l < 0 || b < 0 || r < 0 ||
        (!no_margins && (w - SPRITE_SIZE - l - r < 0 || h - SPRITE_SIZE - t - b < 0)))
        return world;
    world.room = Room{0, 0, int32_t(w), int32_t(h), int32_t(t), int32_t(b), int32_t(l), int32_t(r)};
    world.seed = uint32_t(s);
    return world;
}

void check_pet(const PetState* pet, const Room& room)
{
    const int32_t xmax = room.width - SPRITE_SIZE - room.right_margin;
    const int32_t ymax = room.height - SPRITE_SIZE - room.bottom_margin;
    // A screen smaller than the pet has no box to stay in.
    if (xmax >= room.left_margin)
        check(pet->x >= room.left_margin && pet->x <= xmax, "x outside the box");
    if (ymax >= room.top_margin)
        check(pet->y >= room.top_margin && pet->y <= ymax, "y outside the box");
    check(pet->current_action >= 0 && pet->current_action < pet->action_count, "no such action");
    const Action& action = pet->actions[pet->current_action];
    check(pet->tick >= 0 && pet->tick < action.frame_count, "tick is no frame");
    check(pet->current_image >= 0 && pet->current_image < pet->image_count, "no such image");
    check(pet->current_mirrored == 0 || pet->current_mirrored == 1, "mirroring not 0 or 1");
    check(pet->facing == 0 || pet->facing == 1, "facing not 0 or 1");
    for (int j = 0; j < HISTORY_LENGTH; ++j) {
        const bool empty = pet->history[j] == -1;
        check(empty == (pet->history_facing[j] == 2), "history entry half empty");
        check(empty || (pet->history[j] >= 0 && pet->history[j] < pet->action_count && pet->history_facing[j] <= 1),
              "history entry out of range");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string contents(reinterpret_cast<const char*>(data), size);
    ScriptFile file;
    std::string error;
    if (!parse_script_file(contents, file, error))
        return 0;
    const World world = read_world(contents);
    const Room& room = world.room;
    PetState* pet = pet_init(file.text, room, 150, world.seed, ScriptMessages{take_message, nullptr});
    if (!pet)
        return 0;
    check_pet(pet, room);
    // A life with a drag in it: pressed, carried about and dropped.
    for (int step = 0; step < STEPS; ++step) {
        const int phase = step % 50;
        if (phase == 20)
            drag_begin(pet, int16_t(step % 60 - 9), int16_t(step % 47 - 2));
        if (pet->dragging && phase > 20 && phase < 30) {
            int32_t old_x, old_y;
            drag_move(pet, room, true, int16_t((step * 7919) % 3000 - 1500), int16_t((step * 104729) % 3000 - 1500),
                      &old_x, &old_y);
        }
        if (phase == 30)
            drag_end(pet);
        if (pet->dragging)
            drag_tick(pet);
        else
            pet_step(pet, room);
        check_pet(pet, room);
    }
    about_pick_animation(pet);
    for (int frame = 0; frame < 40; ++frame) {
        const ImageRef image = about_current_image(pet);
        check(image != 0 && image >= -pet->image_count && image <= pet->image_count, "About image out of range");
        about_next_frame(pet);
    }
    pet_release(pet);
    return 0;
}
