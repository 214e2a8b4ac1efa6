// The pet window's shape through Xlib (x11_shape.cpp); plain types only, so
// that neither Xlib nor our Window record leaks into the other's files.
#pragma once

#include "graphics/outline.h"

// True on an X server with the SHAPE extension, through Qt's Xlib display.
bool x11_shape_available();
enum class X11Shape {
    bounding,  // the window shows, and takes the mouse, only inside
    input,     // the window takes the mouse only inside
};
// Sets the window's shape of that kind to the outline, for a window `side`
// pixels square (null: the whole window).
void x11_set_shape(unsigned long window, const Outline* outline, int side, X11Shape kind);
