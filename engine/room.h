// The box a pet lives in, in the pet's own pixels: a screen (where its
// top-left corner stands and its size), the margins the pet keeps from each
// of its edges, and which edges open onto a neighbour monitor (the pet
// passes those freely; the shell then gives it the neighbour's room). The
// engine's only view of the desk.
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
    uint8_t open_edges = 0;  // ROOM_OPEN_* bits
};

constexpr uint8_t ROOM_OPEN_LEFT = 1;
constexpr uint8_t ROOM_OPEN_RIGHT = 2;
constexpr uint8_t ROOM_OPEN_TOP = 4;
constexpr uint8_t ROOM_OPEN_BOTTOM = 8;
