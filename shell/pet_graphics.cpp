// Setting up, painting and releasing the pet window's pixels.
//
// A surface is a record of ours that a bitmap (its pixel memory) is attached
// to; both come from the platform heap so that running out of memory at any
// one of them takes the path, and shows the message, that belongs to it.
#include "shell/pet_graphics.h"

#include <cstring>

#include "graphics/bmp.h"
#include "graphics/sprites.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "shell/pet_choice.h"
#include "shell/program.h"
#include "support/texts.h"

struct Surface {
    uint32_t* pixels;  // the attached bitmap, or null
};

namespace {

// The window's pixels: a cell at the pet's zoom.
int32_t window_pixels(const Pet& pet)
{
    return pet_window_side(pet) * pet_window_side(pet);
}

// The images its sheet and mask must hold: the built-in cat's every one, a
// pet folder's as many as its sheet has (its script shows no other).
int32_t images_held(const Pet& pet)
{
    return pet.path.empty() ? pet.state->image_count : pet.folder.image_cells;
}

int fail(const Pet& pet, const char* text)
{
    report_error(*pet.program, nullptr, text);
    return 0;
}

bool make_surface(Surface** surface)
{
    *surface = static_cast<Surface*>(platform_heap_alloc(sizeof(Surface)));
    if (*surface)
        (*surface)->pixels = nullptr;
    return *surface != nullptr;
}

bool make_image(const Pet& pet, uint32_t** image)
{
    *image = static_cast<uint32_t*>(platform_heap_alloc(size_t(window_pixels(pet)) * sizeof(uint32_t)));
    return *image != nullptr;
}

template <typename T>
void release(T*& block)
{
    if (block)
        platform_heap_free(block);
    block = nullptr;
}

// The pet's sheet: a living pet's of the same kind when it holds the same
// pixels (the built-in one always does), else its own, decoded or taken
// over from its folder. Null when it cannot be had.
std::shared_ptr<const Bitmap> shared_sheet(Pet& pet)
{
    for (const Pet* other : pet.program->pets) {
        const std::shared_ptr<const Bitmap>& theirs = other->graphics.sheet;
        if (other == &pet || !theirs || other->path != pet.path)
            continue;
        // A folder may have changed on disk since the other pet read it.
        const Bitmap& ours = pet.folder.sheet;
        if (pet.path.empty() ||
            (theirs->width == ours.width && theirs->height == ours.height && theirs->pixels == ours.pixels)) {
            pet.folder.sheet = Bitmap{};
            return theirs;
        }
    }
    auto own = std::make_shared<Bitmap>();
    if (!pet_choice_bitmap(pet, RES_SPRITES, own.get()))
        return nullptr;
    own->indices = {};  // only the colours are drawn
    return own;
}

// Region modes: the mask's bits, which every outline is built from. The
// decoded mask itself is not kept: nothing reads it after the bits.
int load_mask(Pet& pet)
{
    Sprites& sprites = pet.sprites;
    Bitmap mask;
    if (!pet_choice_bitmap(pet, RES_MASK, &mask))
        return fail(pet, "Insufficient memory to load bitmap image");
    sprites.mask_width = mask.width;
    sprites.mask_height = mask.height;
    sprites.cell = pet_cell_side(pet);
    sprites.mask_columns = sprites.mask_width / sprites.cell;
    sprites.mask_rows = sprites.mask_height / sprites.cell;
    if (int64_t{sprites.mask_columns} * sprites.mask_rows < images_held(pet))
        return fail(pet, "Unexpected error: Data error in bitmap image");
    sprites.mask_stride = mask_stride_for(sprites.mask_width);
    const size_t bytes = static_cast<size_t>(sprites.mask_stride) * static_cast<size_t>(sprites.mask_height);
    sprites.mask_bits = static_cast<uint8_t*>(alloc_or_report(*pet.program, bytes));
    if (!sprites.mask_bits)
        return 0;  // reported, and the pet window is gone
    std::memset(sprites.mask_bits, 0, bytes);
    fetch_mask_bits(sprites, mask);
    return 1;
}

// Everything made while the window's drawing context is held.
int make_images(Pet& pet)
{
    const bool standard = pet.program->settings.display_mode == MODE_STANDARD;
    PetGraphics& g = pet.graphics;

    g.drag_cursor = platform_load_cursor(RES_DRAG_CURSOR);
    if (!g.drag_cursor)
        return fail(pet, "Fail to load the cursor image");

    const char* no_surface = "Fail to create the window device context";
    if (standard) {
        if (!make_surface(&g.backdrop_surface) || !make_surface(&g.work_surface))
            return fail(pet, no_surface);
        g.screen_open = platform_open_screen();
        if (!g.screen_open)
            return fail(pet, no_surface);
    }
    if (!make_surface(&g.frame_surface) || !make_surface(&g.sheet_surface))
        return fail(pet, no_surface);

    const char* no_image = "Insufficient memory to create bitmap image";
    if (standard) {
        if (!make_image(pet, &g.backdrop_image) || !make_image(pet, &g.work_image))
            return fail(pet, no_image);
        g.backdrop_surface->pixels = g.backdrop_image;
        g.work_surface->pixels = g.work_image;
    } else if (!load_mask(pet)) {
        return 0;
    }
    if (!make_image(pet, &g.frame_image))
        return fail(pet, no_image);

    g.sheet = shared_sheet(pet);
    if (!g.sheet)
        return fail(pet, "Insufficient memory to load bitmap image");
    pet.sprites.cell = pet_cell_side(pet);
    if (!sheet_attach(pet.sprites, g.sheet->width, g.sheet->height, g.sheet->pixels.data(), images_held(pet)))
        return fail(pet, "Unexpected error: Data error in bitmap image");

    // The sheet, shared and read only, is drawn from through pet.sprites.
    g.frame_surface->pixels = g.frame_image;
    std::vector<uint32_t>& blended = pet.folder.blended;
    if (blended.size() == g.sheet->pixels.size() && !blended.empty() && platform_blend_window(pet.window))
        g.blended = blended.data();
    else
        blended = {};  // a window that cannot blend never will: no memory kept for it
    return 1;
}

}  // namespace

int graphics_init(Pet& pet)
{
    if (!platform_acquire_window_context(pet.window))
        return fail(pet, "Fail to identify the window device context");
    // Released on failure too: whatever was made goes with the window.
    const int made = make_images(pet);
    platform_release_window_context(pet.window);
    if (!made)
        return 0;
    pet.graphics.pet_menu = platform_load_pet_menu(resource_in_language(RES_MENU, pet.program->language));
    if (!pet.graphics.pet_menu)
        return fail(pet, "Insufficient memory to load pop-up menu");
    return 1;
}

void paint_frame(Pet& pet)
{
    const PetGraphics& graphics = pet.graphics;
    const PetState* state = pet.state;
    // Nothing to draw before set-up has finished or after it failed.
    uint32_t* frame = graphics.frame_surface ? graphics.frame_surface->pixels : nullptr;
    if (pet.program->fatal_error || !frame)
        return;
    if (graphics.blended) {
        // The window blends the pet over whatever lies behind: no backdrop.
        Sprites with_alpha = pet.sprites;
        with_alpha.sprite_sheet.pixels = graphics.blended;
        copy_cell_zoomed(with_alpha, frame, state->current_image, state->current_mirrored, pet.zoom);
    } else if (pet.program->settings.display_mode == MODE_STANDARD) {
        copy_cell_zoomed(pet.sprites, graphics.work_surface->pixels, state->current_image, state->current_mirrored,
                         pet.zoom);
        key_composite_pixels(frame, graphics.backdrop_surface->pixels, graphics.work_surface->pixels,
                             window_pixels(pet));
    } else {
        // The outline leaves the key-coloured pixels out.
        copy_cell_zoomed(pet.sprites, frame, state->current_image, state->current_mirrored, pet.zoom);
    }
    if (!platform_begin_paint(pet.window)) {
        report_error(*pet.program, pet.window, "Fail to identify the window for painting");
        return;
    }
    const int32_t side = pet_window_side(pet);
    if (graphics.blended)
        platform_present_blended(pet.window, frame, side, side);
    else
        platform_present(pet.window, frame, side, side, 0, 0);
    platform_end_paint(pet.window);
}

int graphics_rezoom(Pet& pet)
{
    PetGraphics& g = pet.graphics;
    const bool standard = pet.program->settings.display_mode == MODE_STANDARD;
    release(g.frame_image);
    release(g.backdrop_image);
    release(g.work_image);
    const char* no_image = "Insufficient memory to create bitmap image";
    if (standard && (!make_image(pet, &g.backdrop_image) || !make_image(pet, &g.work_image)))
        return fail(pet, no_image);
    if (!make_image(pet, &g.frame_image))
        return fail(pet, no_image);
    if (standard) {
        g.backdrop_surface->pixels = g.backdrop_image;
        g.work_surface->pixels = g.work_image;
    }
    g.frame_surface->pixels = g.frame_image;
    return 1;
}

void graphics_release(Pet& pet)
{
    PetGraphics& g = pet.graphics;
    g.sheet = nullptr;
    g.blended = nullptr;
    release(g.frame_image);
    release(g.backdrop_image);
    release(g.work_image);
    release(g.sheet_surface);
    release(g.frame_surface);
    release(g.backdrop_surface);
    release(g.work_surface);
    if (g.screen_open)
        platform_close_screen();
    g.screen_open = false;
    // Outlines are built from the bits only while the window lives.
    release(pet.sprites.mask_bits);
    pet.sprites = Sprites{};
}
