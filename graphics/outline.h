// Window outlines: the pixels of one image as vertical one-pixel strips.
#pragma once

#include <cstdint>
#include <vector>

struct OutlineRect {
    int32_t left, top, right, bottom;  // left/top inside, right/bottom outside
    bool operator==(const OutlineRect&) const = default;
};

struct Sprites;

struct Outline {
    std::vector<OutlineRect> rects;
};

// The outline of one image (0-based) from the mask, plain or mirrored about
// the cell's centre line; null when no pixel of the cell is inside.
Outline* build_outline(const Sprites& sprites, int32_t image, int32_t mirrored);

// Builds every entry of the two tables (each image_count long).
void fill_outline_tables(const Sprites& sprites, Outline** plain, Outline** mirrored, int32_t image_count);
// Frees every entry of a table (not the table itself).
void free_outline_table(Outline** table, int32_t image_count);
