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
#include "shell/program.h"
#include "support/texts.h"

// A drawing surface: what paints draw through, holding its bitmap.
struct AboutSurface {
    void* bitmap;
};

namespace {

constexpr unsigned ABOUT_TIMER_ID = 1;
constexpr uint32_t TITLE_KEY = 0x000000;  // the title art's ground

// Surfaces are made, and everything is released, in this order.
constexpr AboutSlot RELEASE_ORDER[] = {ABOUT_TITLE,     ABOUT_TITLE_MASK, ABOUT_BACKGROUND, ABOUT_TILE,
                                       ABOUT_CELL_MASK, ABOUT_CELL,       ABOUT_SCENE};

const uint32_t* pixels_of(const AboutGraphics& about, AboutSlot slot)
{
    return static_cast<const uint32_t*>(about.surfaces[slot]->bitmap);
}

// Loads a bitmap resource into pixel memory of our own, each pixel a block
// of z x z.
bool load_image(AboutGraphics& about, int resource_id, AboutSlot slot, int32_t* width, int32_t* height, int32_t z = 1)
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

bool create_bitmap(AboutGraphics& about, AboutSlot slot, int32_t width, int32_t height)
{
    size_t bytes = slot == ABOUT_TITLE_MASK || slot == ABOUT_CELL_MASK
                       ? size_t(mask_stride_for(width)) * size_t(height)
                       : size_t(width) * size_t(height) * sizeof(uint32_t);
    about.bitmaps[slot] = platform_heap_alloc(bytes);
    return about.bitmaps[slot] != nullptr;
}

// The set-up's steps after the drawing context is held; the message of the
// step that failed, or null.
const char* make_graphics(Pet& pet, Window* dialog)
{
    AboutGraphics& about = pet.program->dialogs.about;
    const int32_t scene_zoom = pet.program->zoom;  // the dialog's, which a large pet's own may be below
    if (!load_image(about, RES_TITLE, ABOUT_TITLE, &about.title_width, &about.title_height, scene_zoom))
        return "Fail to load bitmap image";
    if (!create_bitmap(about, ABOUT_TITLE_MASK, about.title_width, about.title_height))
        return "Insufficient memory to create bitmap image";
    if (!load_image(about, RES_SCENE, ABOUT_BACKGROUND, &about.scene_width, &about.scene_height) ||
        !load_image(about, RES_TILE, ABOUT_TILE, &about.tile_width, &about.tile_height))
        return "Fail to load bitmap image";
    if (!create_bitmap(about, ABOUT_CELL_MASK, SPRITE_SIZE, SPRITE_SIZE) ||
        !create_bitmap(about, ABOUT_CELL, SPRITE_SIZE, SPRITE_SIZE) ||
        !create_bitmap(about, ABOUT_SCENE, about.scene_width, about.scene_height))
        return "Insufficient memory to create bitmap image";
    if (scene_zoom > 1) {
        const size_t pixels = size_t(about.scene_width) * size_t(about.scene_height) * size_t(scene_zoom * scene_zoom);
        about.zoomed_scene = static_cast<uint32_t*>(platform_heap_alloc(pixels * sizeof(uint32_t)));
        if (!about.zoomed_scene)
            return "Insufficient memory to create bitmap image";
    }
    for (AboutSlot slot : RELEASE_ORDER) {
        about.surfaces[slot] = static_cast<AboutSurface*>(platform_heap_alloc(sizeof(AboutSurface)));
        if (!about.surfaces[slot])
            return "Insufficient memory to create memory device";
    }
    for (AboutSlot slot : RELEASE_ORDER)
        about.surfaces[slot]->bitmap = about.bitmaps[slot];
    platform_client_size(dialog, &about.client_width, &about.client_height);
    if (!platform_set_timer(dialog, ABOUT_TIMER_ID, unsigned(pet.state->about_tick_ms)))
        return "Too many clocks or timers! Fail to set timer";
    return nullptr;
}

void set_up(Pet& pet, Window* dialog)
{
    Program& program = *pet.program;
    Dialogs& dialogs = program.dialogs;
    dialogs.about_open = 1;
    // Without a node the pet window, and this dialog with it, are gone.
    if (!add_open_dialog(program, dialog))
        return;
    AboutGraphics& about = dialogs.about;
    about = AboutGraphics{};
    if (!platform_acquire_window_context(dialog)) {
        report_error(program, dialog, "Fail to identify the dialog window");
        return;
    }
    const char* failure = make_graphics(pet, dialog);
    // Let go of the context before a report destroys the window it belongs to.
    platform_release_window_context(dialog);
    if (failure) {
        report_error(program, dialog, failure);
        return;
    }
    about_scene_position(about.client_width, about.client_height, &about.scene_x, &about.scene_y);
    about_pick_animation(pet.state);
    dialogs.about_unpainted = 1;
}

void paint(Pet& pet, Window* dialog)
{
    Dialogs& dialogs = pet.program->dialogs;
    const AboutGraphics& about = dialogs.about;
    const int32_t scene_zoom = pet.program->zoom;
    const int32_t scene_x = about.scene_x, scene_y = about.scene_y;
    dialogs.about_unpainted = 0;
    int32_t title_x, title_y;
    about_title_position(about.client_width, about.client_height, about.title_width, &title_x, &title_y);
    if (!platform_begin_paint(dialog)) {
        report_error(*pet.program, dialog, "Fail to identify the dialog window for painting");
        return;
    }
    platform_present_keyed(dialog, pixels_of(about, ABOUT_TITLE), about.title_width, about.title_height, title_x,
                           title_y, TITLE_KEY);

    auto* scene = static_cast<uint32_t*>(about.surfaces[ABOUT_SCENE]->bitmap);
    auto* cell = static_cast<uint32_t*>(about.surfaces[ABOUT_CELL]->bitmap);
    std::memcpy(scene, pixels_of(about, ABOUT_BACKGROUND),
                size_t(about.scene_width) * size_t(about.scene_height) * sizeof *scene);
    draw_tile_columns(scene, about.scene_width, about.scene_height, pixels_of(about, ABOUT_TILE), about.tile_width,
                      about.tile_height, dialogs.scroll_offset);
    ImageRef image = about_current_image(pet.state);
    // Any pet stands in the scene at the built-in cat's size.
    copy_cell_fitted(pet.sprites, cell, SPRITE_SIZE, image < 0 ? -image - 1 : image - 1, image < 0);
    lay_keyed(scene, about.scene_width, about.scene_height, PET_LEFT, PET_TOP, cell, SPRITE_SIZE, SPRITE_SIZE,
              KEY_COLOUR);
    if (about.zoomed_scene) {
        zoom_pixels(about.zoomed_scene, scene, about.scene_width, about.scene_height, scene_zoom);
        scene = about.zoomed_scene;
    }
    platform_present(dialog, scene, about.scene_width * scene_zoom, about.scene_height * scene_zoom, scene_x, scene_y);
    platform_end_paint(dialog);
}

void tick(Pet& pet, Window* dialog)
{
    Dialogs& dialogs = pet.program->dialogs;
    const AboutGraphics& about = dialogs.about;
    const int32_t scene_x = about.scene_x, scene_y = about.scene_y;
    if (!dialogs.about_unpainted)
        about_next_frame(pet.state);
    dialogs.scroll_offset = next_scroll_offset(dialogs.scroll_offset);
    const int32_t z = pet.program->zoom;
    platform_invalidate_rect(dialog, scene_x + PET_LEFT * z, scene_y + PET_TOP * z, SPRITE_SIZE * z, SPRITE_SIZE * z);
    platform_invalidate_rect(dialog, scene_x + LEFT_COLUMN_X * z, scene_y, about.tile_width * z,
                             about.scene_height * z);
    platform_invalidate_rect(dialog, scene_x + RIGHT_COLUMN_X * z, scene_y, about.tile_width * z,
                             about.scene_height * z);
    platform_update_window(dialog);
}

void release(Program& program, Window* dialog)
{
    AboutGraphics& about = program.dialogs.about;
    platform_kill_timer(dialog, ABOUT_TIMER_ID);
    for (AboutSlot slot : RELEASE_ORDER)
        if (about.surfaces[slot])
            platform_heap_free(about.surfaces[slot]);
    for (AboutSlot slot : RELEASE_ORDER)
        if (about.bitmaps[slot])
            platform_heap_free(about.bitmaps[slot]);
    if (about.zoomed_scene)
        platform_heap_free(about.zoomed_scene);
    about = AboutGraphics{};
    // Also when the pet window takes the dialog with it: the list of open
    // dialogs must never keep a window that is gone.
    remove_open_dialog(program, dialog);
    program.dialogs.about_open = 0;
}

}  // namespace

void open_about_dialog(Pet& pet, Window* owner)
{
    if (!pet.program->dialogs.about_open)
        platform_create_dialog(resource_in_language(RES_ABOUT_DIALOG, pet.program->language), owner, about_dialog_proc,
                               &pet);
}

intptr_t about_dialog_proc(Window* dialog, unsigned message, uintptr_t wparam, intptr_t)
{
    Pet* owner = pet_of(dialog);
    if (!owner)
        return 0;
    Pet& pet = *owner;
    switch (message) {
        case MSG_INITDIALOG:
            set_up(pet, dialog);
            return 1;
        case MSG_PAINT:
            if (!pet.program->fatal_error)
                paint(pet, dialog);
            return 0;
        case MSG_TIMER:
            if (!pet.program->fatal_error)
                tick(pet, dialog);
            return 0;
        case MSG_COMMAND:
            if (wparam != CMD_OK && wparam != CMD_CANCEL)
                return 0;
            platform_destroy_window(dialog);
            return 1;
        case MSG_DESTROY:
            release(*pet.program, dialog);
            return 0;
    }
    return 0;
}
