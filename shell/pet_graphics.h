// The pet window's drawing: the sprite sheet, the frame and, in the
// standard mode, the backdrop behind the window; also the drag cursor and
// the pop-up menu, which are loaded with them.
#pragma once

#include <cstdint>

struct Window;
struct Cursor;
struct Menu;

extern Cursor* drag_cursor;
extern Menu* pet_menu;
// Standard mode only (null otherwise): the screen under the window, and
// scratch for the cell being composited or the old backdrop during a move.
extern uint32_t* backdrop_image;
extern uint32_t* work_image;

// 1 when everything is made; 0 after a failure already reported.
int graphics_init(Window* window);
void paint_frame(Window* window);
// Releases what graphics_init made, however far it got.
void graphics_release();
