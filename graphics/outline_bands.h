// An outline as the bands window regions want (X, Qt and Windows alike):
// rectangles sorted top to bottom, left to right, rows with the same spans
// merged.
#pragma once

#include <cstdint>

#include "engine/shared.h"
#include "graphics/outline.h"
#include "graphics/zoom.h"

struct OutlineBand {
    int16_t x, y;
    uint16_t width, height;
};

// The widest window (a pet's zoom keeps within it); at most one span per two
// pet pixels of a row, in at most one band per row.
constexpr int MAX_OUTLINE_SIDE = MAX_WINDOW_SIDE;
constexpr int MAX_OUTLINE_BANDS = MAX_OUTLINE_SIDE * (MAX_CELL / 2 + 1);

// Fills `bands` (MAX_OUTLINE_BANDS long) with the outline's part inside the
// window, `side` pixels square (at most MAX_OUTLINE_SIDE); returns how many.
int outline_bands(const Outline& outline, OutlineBand* bands, int32_t side = SPRITE_SIZE);
