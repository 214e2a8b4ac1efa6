// The few types and values every subsystem shares: the sprite size, image
// references and the blank rules of every text the program reads.
#pragma once

#include <cstdint>

constexpr int SPRITE_SIZE = 42;

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
