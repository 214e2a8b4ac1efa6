// Giving the pet window its outline and moving it.
#include "shell/window_shape.h"

#include <cstring>

#include "graphics/backdrop.h"
#include "graphics/outline.h"
#include "graphics/sprites.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "shell/program.h"

namespace {

const Outline NOTHING_SHOWN{};

Outline** make_table(Pet& pet)
{
    const size_t bytes = static_cast<size_t>(pet.state->image_count) * sizeof(Outline*);
    auto** table = static_cast<Outline**>(alloc_or_report(*pet.program, bytes));
    if (table)
        std::memset(table, 0, bytes);
    return table;
}

void release_table(Outline**& table, int32_t image_count)
{
    if (!table)
        return;
    free_outline_table(table, image_count);
    platform_heap_free(table);
    table = nullptr;
}

}  // namespace

int precompute_outlines(Pet& pet)
{
    PetGraphics& graphics = pet.graphics;
    const int32_t count = pet.state->image_count;
    graphics.plain_outlines = make_table(pet);
    if (!graphics.plain_outlines)
        return 0;
    graphics.mirrored_outlines = make_table(pet);
    if (!graphics.mirrored_outlines)
        return 0;
    fill_outline_tables(pet.sprites, graphics.plain_outlines, graphics.mirrored_outlines, count);
    for (int32_t i = 0; i < count; ++i) {
        zoom_outline(graphics.plain_outlines[i], pet.zoom);
        zoom_outline(graphics.mirrored_outlines[i], pet.zoom);
    }
    platform_keep_window_outlines(pet.window, graphics.plain_outlines, graphics.mirrored_outlines, count);
    return 1;
}

void apply_outline(Pet& pet)
{
    const PetState* state = pet.state;
    if (pet.program->settings.display_mode == MODE_PRECOMPUTED) {
        // The platform copies the outline, so the table keeps its own and
        // nothing is allocated per change. An image without pixels shows nothing.
        Outline** table = state->current_mirrored ? pet.graphics.mirrored_outlines : pet.graphics.plain_outlines;
        if (!table)
            return;
        const Outline* outline = table[state->current_image];
        platform_set_window_outline(pet.window, outline ? outline : &NOTHING_SHOWN);
        return;
    }
    // Built live; without pixels the window keeps its previous outline.
    Outline* outline = build_outline(pet.sprites, state->current_image, state->current_mirrored);
    if (!outline)
        return;
    zoom_outline(outline, pet.zoom);
    platform_set_window_outline(pet.window, outline);
    free_outline_table(&outline, 1);  // the platform keeps its own copy
}

int window_shape_init(Pet& pet)
{
    switch (pet.program->settings.display_mode) {
        case MODE_STANDARD: {
            // Still hidden, so the capture holds what lies under the window.
            const int32_t side = pet_window_side(pet);
            const Outline full_window{{{0, 0, side, side}}};
            platform_set_window_outline(pet.window, &full_window);
            platform_capture_screen(pet.window, pet_to_screen(pet.state->x, pet.zoom),
                                    pet_to_screen(pet.state->y, pet.zoom), side, side, pet.graphics.backdrop_image);
            return 1;
        }
        case MODE_PRECOMPUTED:
            if (!precompute_outlines(pet))
                return 0;
            apply_outline(pet);
            return 1;
        case MODE_LIVE:
            apply_outline(pet);
            return 1;
        default:
            return 1;
    }
}

void reposition_window(Pet& pet, int32_t old_x, int32_t old_y)
{
    Window* window = pet.window;
    PetGraphics& graphics = pet.graphics;
    const int32_t nx = pet.state->x;
    const int32_t ny = pet.state->y;
    if (nx == old_x && ny == old_y) {
        platform_invalidate(window);
        platform_update_window(window);
        return;
    }
    // The window stands on the screen's pixels, the pet on its own.
    const int32_t z = pet.zoom, side = pet_window_side(pet);
    // A window that blends needs no copy of the screen behind it.
    if (pet.program->settings.display_mode == MODE_STANDARD && !graphics.blended) {
        // The fresh capture shows the window itself where the two blocks
        // overlap; that part comes from the old backdrop.
        std::memcpy(graphics.work_image, graphics.backdrop_image, size_t(side) * size_t(side) * sizeof(uint32_t));
        platform_capture_screen(window, pet_to_screen(nx, z), pet_to_screen(ny, z), side, side,
                                graphics.backdrop_image);
        patch_backdrop_block(graphics.backdrop_image, graphics.work_image, pet_to_screen(old_x, z),
                             pet_to_screen(old_y, z), pet_to_screen(nx, z), pet_to_screen(ny, z), side);
    }
    platform_invalidate(window);
    platform_move_window(window, pet_to_screen(nx, z), pet_to_screen(ny, z));
}

void release_outlines(Pet& pet)
{
    PetGraphics& graphics = pet.graphics;
    const int32_t count = pet.state ? pet.state->image_count : 0;
    if (graphics.plain_outlines)
        platform_keep_window_outlines(pet.window, nullptr, nullptr, 0);
    release_table(graphics.plain_outlines, count);
    release_table(graphics.mirrored_outlines, count);
}
