// An outline as the bands X and Qt regions want: rectangles sorted top to
// bottom, left to right, rows with the same spans merged. Kept free of Qt and
// Xlib so that both the Qt region and the direct X shape can be made from it.
#pragma once

#include <cstdint>

#include "engine/shared.h"
#include "graphics/outline.h"

struct OutlineBand {
    int16_t x, y;
    uint16_t width, height;
};

// At most one span per two pixels of a row, in at most SPRITE_SIZE bands.
constexpr int MAX_OUTLINE_BANDS = SPRITE_SIZE * (SPRITE_SIZE / 2 + 1);

// Fills `bands` (MAX_OUTLINE_BANDS long) with the outline's part inside the
// window; returns how many.
int outline_bands(const Outline& outline, OutlineBand* bands);
