// The box a pet lives in, in the pet's own pixels: a screen (where its
// top-left corner stands and its size) and the margins the pet keeps from
// each of its edges. The engine's only view of the desk.
#pragma once

#include <cstdint>

struct Room {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t top_margin;
    int32_t bottom_margin;
    int32_t left_margin;
    int32_t right_margin;
};
