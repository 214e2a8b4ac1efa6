// Sprite sheets as square cells (42 x 42 pixels for the built-in cat, any
// side from MIN_CELL to MAX_CELL for a pet), the cell copy, the key composite
// and the 1-bit mask in the layout the outlines read.
#pragma once

#include <cstdint>

#include "engine/shared.h"

constexpr uint32_t KEY_COLOUR = 0xFFFF00;               // pure yellow: not the pet
constexpr int CELL_PIXELS = SPRITE_SIZE * SPRITE_SIZE;  // of the built-in cat's cell

// The colour sheet every frame is drawn from (pixels 0x00RRGGBB, top row first).
struct SpriteSheet {
    int32_t width;
    int32_t height;
    const uint32_t* pixels;
};

// What the pet is drawn from: the colour sheet and the mask's pixels as rows
// of bits, bottom row first, rows padded to 4 bytes. Nothing here is owned;
// whoever attaches the pixels releases them.
struct Sprites {
    SpriteSheet sprite_sheet;
    int32_t sheet_columns;
    int32_t sheet_rows;
    int32_t mask_width;
    int32_t mask_height;
    int32_t mask_columns;
    int32_t mask_rows;
    int32_t mask_stride;
    uint8_t* mask_bits;
    int32_t mask_inverted;
    // The side of one cell, in sheet pixels, for the sheet and the mask
    // alike; 0 stands for SPRITE_SIZE (read it through cell_side).
    int32_t cell;
};

inline int32_t cell_side(const Sprites& sprites)
{
    return sprites.cell > 0 ? sprites.cell : SPRITE_SIZE;
}

// Sets sprite_sheet, sheet_columns and sheet_rows (of cell_side cells); 0 when the sheet holds
// fewer whole cells than image_count (the caller reports the data error).
int sheet_attach(Sprites& sprites, int32_t width, int32_t height, const uint32_t* pixels, int32_t image_count);

// Fills a target of cell_side x cell_side from the image's cell, mirrored
// left to right when asked.
void copy_cell(const Sprites& sprites, uint32_t* target, int32_t image, int32_t mirrored);

// The image's cell scaled to a target `side` pixels square (nearest pixel),
// for a picture of fixed size such as the About scene's; copy_cell when the
// sides agree.
void copy_cell_fitted(const Sprites& sprites, uint32_t* target, int32_t side, int32_t image, int32_t mirrored);

// frame = backdrop where the cell is exactly KEY_COLOUR, the cell elsewhere
// (cells of the built-in cat's size).
void key_composite(uint32_t* frame, const uint32_t* backdrop, const uint32_t* cell);

int32_t mask_stride_for(int32_t width);

// Copies a decoded 1-bit picture into mask_bits (already sized and zeroed)
// and sets mask_inverted from its colour table. A picture that is not 1-bit,
// or has another size, leaves mask_bits and mask_inverted zero.
void fetch_mask_bits(Sprites& sprites, const struct Bitmap& mask);

// Whether sheet pixel (x, y) belongs to the pet by the mask.
bool mask_inside(const Sprites& sprites, int32_t x, int32_t y);
