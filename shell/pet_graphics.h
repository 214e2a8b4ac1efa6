// The pet window's drawing: the sprite sheet, the frame and, in the
// standard mode, the backdrop behind the window; also the drag cursor and
// the pop-up menu, which are loaded with them.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/bmp.h"

struct Pet;
struct Window;
struct Cursor;
struct Menu;
struct Outline;
struct Surface;

// Everything the pet window is drawn with. graphics_init and
// precompute_outlines make it; graphics_release and release_outlines undo
// any prefix of it.
struct PetGraphics {
    Cursor* drag_cursor;
    Menu* pet_menu;
    // Standard mode only (null otherwise): the screen under the window, and
    // scratch for the cell being composited or the old backdrop during a move.
    uint32_t* backdrop_image;
    uint32_t* work_image;
    Surface* backdrop_surface;
    Surface* work_surface;
    Surface* frame_surface;
    Surface* sheet_surface;
    bool screen_open;
    uint32_t* frame_image;
    // The pixels the pet's sprites.sprite_sheet points at: read only, and
    // shared with the living pets of its kind that show the same ones.
    std::shared_ptr<const Bitmap> sheet;
    // The folder's sheet with alpha (premultiplied, the layout of `sheet`)
    // when the window blends it; null: the pet is drawn from `sheet`.
    const uint32_t* blended;
    // MODE_PRECOMPUTED only: the outline of every image, plain and mirrored
    // (entries null for an image without pixels).
    Outline** plain_outlines;
    Outline** mirrored_outlines;
};
// 1 when everything is made; 0 after a failure already reported.
int graphics_init(Pet& pet);
void paint_frame(Pet& pet);
// The pictures the size of the window made anew at the pet's zoom (it
// changed); 0 after a failure already reported.
int graphics_rezoom(Pet& pet);
// Releases what graphics_init made, however far it got.
void graphics_release(Pet& pet);
