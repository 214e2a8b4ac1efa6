// An outline as the bands X and Qt regions want: rectangles sorted top to
// bottom, left to right, rows with the same spans merged. Kept free of Qt and
// Xlib so that both the Qt region and the direct X shape can be made from it.
#pragma once

#include <cstdint>

#include "engine/shared.h"
#include "graphics/outline.h"
#include "graphics/zoom.h"

struct OutlineBand {
    int16_t x, y;
    uint16_t width, height;
};

// The widest window, at the largest zoom; at most one span per two pet
// pixels of a row, in at most one band per row.
constexpr int MAX_OUTLINE_SIDE = SPRITE_SIZE * MAX_ZOOM;
constexpr int MAX_OUTLINE_BANDS = MAX_OUTLINE_SIDE * (SPRITE_SIZE / 2 + 1);

// Fills `bands` (MAX_OUTLINE_BANDS long) with the outline's part inside the
// window, `side` pixels square (at most MAX_OUTLINE_SIDE); returns how many.
int outline_bands(const Outline& outline, OutlineBand* bands, int32_t side = SPRITE_SIZE);
