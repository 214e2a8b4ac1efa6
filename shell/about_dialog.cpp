// The About dialog: title art, credits and a film-strip scene in which the
// pet plays one of the script's About routines, on a timer of its own.
#include <cstring>

#include "engine/engine.h"
#include "graphics/about_scene.h"
#include "graphics/bmp.h"
#include "graphics/sprites.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/dialogs.h"
#include "shell/errors.h"
#include "shell/settings.h"
#include "support/texts.h"

namespace {

constexpr unsigned ABOUT_TIMER_ID = 1;
constexpr uint32_t TITLE_KEY = 0x000000;  // the title art's ground

enum Slot { TITLE, BACKGROUND, TILE, CELL_MASK, CELL, SCENE, TITLE_MASK, SLOT_COUNT };
// Surfaces are made, and everything is released, in this order.
constexpr Slot RELEASE_ORDER[] = {TITLE, TITLE_MASK, BACKGROUND, TILE, CELL_MASK, CELL, SCENE};

// A drawing surface: what paints draw through, holding its bitmap.
struct AboutSurface {
    void* bitmap;
};

// The masks are 1-bit bitmaps, as a system that composites with masks
// needs; they are made here on every platform so that the dialog opens, or
// fails to, at the same steps everywhere.
struct AboutGraphics {
    void* bitmaps[SLOT_COUNT];
    AboutSurface* surfaces[SLOT_COUNT];
    int32_t client_width, client_height;
    int32_t title_width, title_height;
    int32_t scene_width, scene_height;
    int32_t tile_width, tile_height;
    uint32_t* zoomed_scene;  // the scene at the pet's zoom, above 1 only
};

AboutGraphics about;
int32_t scene_x = 0;
int32_t scene_y = 0;

const uint32_t* pixels_of(Slot slot)
{
    return static_cast<const uint32_t*>(about.surfaces[slot]->bitmap);
}

// Loads a bitmap resource into pixel memory of our own, each pixel a block
// of z x z.
bool load_image(int resource_id, Slot slot, int32_t* width, int32_t* height, int32_t z = 1)
{
    Bitmap image;
    if (!platform_load_bitmap(resource_id, &image) || image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != size_t(image.width) * size_t(image.height))
        return false;
    size_t bytes = image.pixels.size() * sizeof(uint32_t) * size_t(z) * size_t(z);
    about.bitmaps[slot] = platform_heap_alloc(bytes);
    if (!about.bitmaps[slot])
        return false;
    zoom_pixels(static_cast<uint32_t*>(about.bitmaps[slot]), image.pixels.data(), image.width, image.height, z);
    *width = image.width * z;
    *height = image.height * z;
    return true;
}

bool create_bitmap(Slot slot, int32_t width, int32_t height)
{
    size_t bytes = slot == TITLE_MASK || slot == CELL_MASK ? size_t(mask_stride_for(width)) * size_t(height)
                                                           : size_t(width) * size_t(height) * sizeof(uint32_t);
    about.bitmaps[slot] = platform_heap_alloc(bytes);
    return about.bitmaps[slot] != nullptr;
}

// The set-up's steps after the drawing context is held; the message of the
// step that failed, or null.
const char* make_graphics(Window* dialog)
{
    if (!load_image(RES_TITLE, TITLE, &about.title_width, &about.title_height, pet_zoom))
        return "Fail to load bitmap image";
    if (!create_bitmap(TITLE_MASK, about.title_width, about.title_height))
        return "Insufficient memory to create bitmap image";
    if (!load_image(RES_SCENE, BACKGROUND, &about.scene_width, &about.scene_height) ||
        !load_image(RES_TILE, TILE, &about.tile_width, &about.tile_height))
        return "Fail to load bitmap image";
    if (!create_bitmap(CELL_MASK, SPRITE_SIZE, SPRITE_SIZE) || !create_bitmap(CELL, SPRITE_SIZE, SPRITE_SIZE) ||
        !create_bitmap(SCENE, about.scene_width, about.scene_height))
        return "Insufficient memory to create bitmap image";
    if (pet_zoom > 1) {
        const size_t pixels = size_t(about.scene_width) * size_t(about.scene_height) * size_t(pet_zoom * pet_zoom);
        about.zoomed_scene = static_cast<uint32_t*>(platform_heap_alloc(pixels * sizeof(uint32_t)));
        if (!about.zoomed_scene)
            return "Insufficient memory to create bitmap image";
    }
    for (Slot slot : RELEASE_ORDER) {
        about.surfaces[slot] = static_cast<AboutSurface*>(platform_heap_alloc(sizeof(AboutSurface)));
        if (!about.surfaces[slot])
            return "Insufficient memory to create memory device";
    }
    for (Slot slot : RELEASE_ORDER)
        about.surfaces[slot]->bitmap = about.bitmaps[slot];
    platform_client_size(dialog, &about.client_width, &about.client_height);
    if (!platform_set_timer(dialog, ABOUT_TIMER_ID, unsigned(pet->about_tick_ms)))
        return "Too many clocks or timers! Fail to set timer";
    return nullptr;
}

void set_up(Window* dialog)
{
    dialogs.about_open = 1;
    // Without a node the pet window, and this dialog with it, are gone.
    if (!add_open_dialog(dialog))
        return;
    about = AboutGraphics{};
    if (!platform_acquire_window_context(dialog)) {
        report_error(dialog, "Fail to identify the dialog window");
        return;
    }
    const char* failure = make_graphics(dialog);
    // Let go of the context before a report destroys the window it belongs to.
    platform_release_window_context(dialog);
    if (failure) {
        report_error(dialog, failure);
        return;
    }
    about_scene_position(about.client_width, about.client_height, &scene_x, &scene_y);
    about_pick_animation();
    dialogs.about_unpainted = 1;
}

void paint(Window* dialog)
{
    dialogs.about_unpainted = 0;
    int32_t title_x, title_y;
    about_title_position(about.client_width, about.client_height, about.title_width, &title_x, &title_y);
    if (!platform_begin_paint(dialog)) {
        report_error(dialog, "Fail to identify the dialog window for painting");
        return;
    }
    platform_present_keyed(dialog, pixels_of(TITLE), about.title_width, about.title_height, title_x, title_y,
                           TITLE_KEY);

    auto* scene = static_cast<uint32_t*>(about.surfaces[SCENE]->bitmap);
    auto* cell = static_cast<uint32_t*>(about.surfaces[CELL]->bitmap);
    std::memcpy(scene, pixels_of(BACKGROUND), size_t(about.scene_width) * size_t(about.scene_height) * sizeof *scene);
    draw_tile_columns(scene, about.scene_width, about.scene_height, pixels_of(TILE), about.tile_width,
                      about.tile_height, dialogs.scroll_offset);
    ImageRef image = about_current_image();
    copy_cell(cell, image < 0 ? -image - 1 : image - 1, image < 0);
    lay_keyed(scene, about.scene_width, about.scene_height, PET_LEFT, PET_TOP, cell, SPRITE_SIZE, SPRITE_SIZE,
              KEY_COLOUR);
    if (about.zoomed_scene) {
        zoom_pixels(about.zoomed_scene, scene, about.scene_width, about.scene_height, pet_zoom);
        scene = about.zoomed_scene;
    }
    platform_present(dialog, scene, about.scene_width * pet_zoom, about.scene_height * pet_zoom, scene_x, scene_y);
    platform_end_paint(dialog);
}

void tick(Window* dialog)
{
    if (!dialogs.about_unpainted)
        about_next_frame();
    dialogs.scroll_offset = next_scroll_offset(dialogs.scroll_offset);
    const int32_t z = pet_zoom;
    platform_invalidate_rect(dialog, scene_x + PET_LEFT * z, scene_y + PET_TOP * z, SPRITE_SIZE * z, SPRITE_SIZE * z);
    platform_invalidate_rect(dialog, scene_x + LEFT_COLUMN_X * z, scene_y, about.tile_width * z,
                             about.scene_height * z);
    platform_invalidate_rect(dialog, scene_x + RIGHT_COLUMN_X * z, scene_y, about.tile_width * z,
                             about.scene_height * z);
    platform_update_window(dialog);
}

void release(Window* dialog)
{
    platform_kill_timer(dialog, ABOUT_TIMER_ID);
    for (Slot slot : RELEASE_ORDER)
        if (about.surfaces[slot])
            platform_heap_free(about.surfaces[slot]);
    for (Slot slot : RELEASE_ORDER)
        if (about.bitmaps[slot])
            platform_heap_free(about.bitmaps[slot]);
    if (about.zoomed_scene)
        platform_heap_free(about.zoomed_scene);
    about = AboutGraphics{};
    // Also when the pet window takes the dialog with it: the list of open
    // dialogs must never keep a window that is gone.
    remove_open_dialog(dialog);
    dialogs.about_open = 0;
}

}  // namespace

void open_about_dialog(Window* owner)
{
    if (!dialogs.about_open)
        platform_create_dialog(resource_in_language(RES_ABOUT_DIALOG, settings.language), owner, about_dialog_proc);
}

intptr_t about_dialog_proc(Window* dialog, unsigned message, uintptr_t wparam, intptr_t)
{
    switch (message) {
        case MSG_INITDIALOG:
            set_up(dialog);
            return 1;
        case MSG_PAINT:
            if (!fatal_error)
                paint(dialog);
            return 0;
        case MSG_TIMER:
            if (!fatal_error)
                tick(dialog);
            return 0;
        case MSG_COMMAND:
            if (wparam != CMD_OK && wparam != CMD_CANCEL)
                return 0;
            platform_destroy_window(dialog);
            return 1;
        case MSG_DESTROY:
            release(dialog);
            return 0;
    }
    return 0;
}
