// Mouse capture and cursors around the engine's drag operations.
#include "shell/drag_input.h"

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/pet_graphics.h"
#include "shell/settings.h"
#include "shell/window_shape.h"

namespace {
Cursor* cursor_before_drag = nullptr;
}

void drag_input_begin(Window* window, int16_t cx, int16_t cy)
{
    platform_set_capture(window);
    cursor_before_drag = platform_set_cursor(graphics.drag_cursor);
    drag_begin(int16_t(zoom_in(cx, pet_zoom)), int16_t(zoom_in(cy, pet_zoom)));
}

void drag_input_move(Window* window, uintptr_t buttons, int16_t cx, int16_t cy)
{
    // The release went elsewhere (the pop-up menu took the mouse meanwhile):
    // drop the pet now rather than leave it held and frozen.
    if (pet->dragging && !(buttons & MOUSE_LEFT_BUTTON)) {
        drag_input_end();
        return;
    }
    int32_t old_x = 0;
    int32_t old_y = 0;
    // Repaints even when the pet is held against a margin and does not move.
    if (drag_move(true, int16_t(zoom_in(cx, pet_zoom)), int16_t(zoom_in(cy, pet_zoom)), &old_x, &old_y))
        reposition_window(window, old_x, old_y);
}

void drag_input_end()
{
    if (!pet->dragging)
        return;
    platform_set_cursor(cursor_before_drag);
    platform_release_capture();
    drag_end();
}
