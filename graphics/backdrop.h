// Keeping the standard mode's backdrop right when the window moves.
#pragma once

#include <cstdint>

// backdrop holds the fresh screen block at (new_x, new_y), which shows the pet
// window itself where it overlaps the old block; copy that overlap from the
// old backdrop. Both are 42 x 42.
void patch_backdrop(uint32_t* backdrop, const uint32_t* old_backdrop, int32_t old_x, int32_t old_y, int32_t new_x,
                    int32_t new_y);
// The same for blocks of side x side pixels (the window at a zoom).
void patch_backdrop_block(uint32_t* backdrop, const uint32_t* old_backdrop, int32_t old_x, int32_t old_y, int32_t new_x,
                          int32_t new_y, int32_t side);
