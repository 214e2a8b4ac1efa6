// Giving the pet window its outline and moving it.
#include "shell/window_shape.h"

#include <cstring>

#include "engine/pet_state.h"
#include "graphics/backdrop.h"
#include "graphics/outline.h"
#include "graphics/sprites.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "shell/pet_graphics.h"

Outline** plain_outlines = nullptr;
Outline** mirrored_outlines = nullptr;

namespace {

const Outline FULL_WINDOW{{{0, 0, SPRITE_SIZE, SPRITE_SIZE}}};
const Outline NOTHING_SHOWN{};

Outline** make_table() {
    const size_t bytes = static_cast<size_t>(pet->image_count) * sizeof(Outline*);
    auto** table = static_cast<Outline**>(alloc_or_report(bytes));
    if (table) std::memset(table, 0, bytes);
    return table;
}

void release_table(Outline**& table) {
    if (!table) return;
    free_outline_table(table, pet->image_count);
    platform_heap_free(table);
    table = nullptr;
}

}  // namespace

int precompute_outlines() {
    plain_outlines = make_table();
    if (!plain_outlines) return 0;
    mirrored_outlines = make_table();
    if (!mirrored_outlines) return 0;
    fill_outline_tables(plain_outlines, mirrored_outlines, pet->image_count);
    platform_keep_window_outlines(pet_window, plain_outlines, mirrored_outlines, pet->image_count);
    return 1;
}

void apply_outline() {
    if (settings.display_mode == MODE_PRECOMPUTED) {
        // The platform copies the outline, so the table keeps its own and
        // nothing is allocated per change. An image without pixels shows nothing.
        Outline** table = current_mirrored ? mirrored_outlines : plain_outlines;
        if (!table) return;
        const Outline* outline = table[current_image];
        platform_set_window_outline(pet_window, outline ? outline : &NOTHING_SHOWN);
        return;
    }
    // Built live; without pixels the window keeps its previous outline.
    Outline* outline = build_outline(current_image, current_mirrored);
    if (!outline) return;
    platform_set_window_outline(pet_window, outline);
    free_outline_table(&outline, 1);  // the platform keeps its own copy
}

int window_shape_init() {
    switch (settings.display_mode) {
    case MODE_STANDARD:
        // Still hidden, so the capture holds what lies under the window.
        platform_set_window_outline(pet_window, &FULL_WINDOW);
        platform_capture_screen(pet_x, pet_y, SPRITE_SIZE, SPRITE_SIZE, backdrop_image);
        return 1;
    case MODE_PRECOMPUTED:
        if (!precompute_outlines()) return 0;
        apply_outline();
        return 1;
    case MODE_LIVE:
        apply_outline();
        return 1;
    default:
        return 1;
    }
}

void reposition_window(Window* window, int32_t old_x, int32_t old_y) {
    const int32_t nx = pet_x;
    const int32_t ny = pet_y;
    if (nx == old_x && ny == old_y) {
        platform_invalidate(window);
        platform_update_window(window);
        return;
    }
    if (settings.display_mode == MODE_STANDARD) {
        // The fresh capture shows the window itself where the two blocks
        // overlap; that part comes from the old backdrop.
        std::memcpy(work_image, backdrop_image, CELL_PIXELS * sizeof(uint32_t));
        platform_capture_screen(nx, ny, SPRITE_SIZE, SPRITE_SIZE, backdrop_image);
        patch_backdrop(backdrop_image, work_image, old_x, old_y, nx, ny);
    }
    platform_invalidate(window);
    platform_move_window(window, nx, ny);
}

void release_outlines() {
    if (plain_outlines) platform_keep_window_outlines(pet_window, nullptr, nullptr, 0);
    release_table(plain_outlines);
    release_table(mirrored_outlines);
}
