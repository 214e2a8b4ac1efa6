// The few types and values every subsystem shares: the sprite size, image
// references, the settings record and the screen the pet lives on.
#pragma once

#include <cstdint>

constexpr int SPRITE_SIZE = 42;

// One of the 108 images, counted from 1; negative means drawn mirrored.
using ImageRef = int16_t;

enum DisplayMode : int32_t {
    MODE_STANDARD = 0,     // rectangular window, sprite composited over a copy of the screen
    MODE_PRECOMPUTED = 1,  // outlines of all images built at start-up
    MODE_LIVE = 2,         // the outline of each image built when needed
};

struct Settings {
    int32_t display_mode;  // a DisplayMode, but any value read from the file is kept
    int32_t top_margin;
    int32_t bottom_margin;
    int32_t left_margin;
    int32_t right_margin;
    int32_t timer_ms;
    // The language of the menu, dialogs and boxes (a place in the tables of
    // support/texts.h; 0 is Chinese), chosen once at start-up.
    int32_t language = 0;
};

// Read once at start-up; what everything runs on.
extern Settings settings;

// The primary screen, measured once at start-up before anything reads it.
extern int32_t screen_width;
extern int32_t screen_height;

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
