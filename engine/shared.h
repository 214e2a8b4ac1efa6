// The few types and values every subsystem shares: the sprite size, cell sizes,
// image references, image references and the blank rules of every text the program reads.
#pragma once

#include <cstdint>

// The built-in cat's cell: every image is SPRITE_SIZE pixels square.
constexpr int SPRITE_SIZE = 42;

// The size of one image of a pet's sheet, in the pet's own pixels: what the
// engine fences it by. A pet folder may choose any within the limits.
struct CellSize {
    int32_t width = SPRITE_SIZE;
    int32_t height = SPRITE_SIZE;
};
constexpr int32_t MIN_CELL = 16;
constexpr int32_t MAX_CELL = 256;

// One of the 108 images, counted from 1; negative means drawn mirrored.
using ImageRef = int16_t;

// The blanks trim_blanks, number reading and the INI rules skip: space, tab,
// line feed, vertical tab, form feed, carriage return; never a byte of 128
// or more. By value, not isspace(): the platform's locale must not decide.
inline bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Removes, in place, blanks at the end and then at the start of the text.
// A byte of 128 or more is never a blank and stops the removal.
void trim_blanks(char* text);

// 1 when every character is a decimal digit (an empty text passes), else 0.
int all_digits(const char* text);
