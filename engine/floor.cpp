// The pet brought to the middle of its floor.
#include "engine/floor.h"

#include <algorithm>

#include "engine/engine.h"

void pet_to_floor()
{
    const int32_t right = screen_width - settings.right_margin - pet->sprite_width;
    const int32_t floor = screen_height - settings.bottom_margin - pet->sprite_height;
    pet->x = std::max(settings.left_margin + (right - settings.left_margin) / 2, settings.left_margin);
    pet->y = std::max(floor, settings.top_margin);
    pet->current_action = pet->start_action - 1;
    pet->tick = 0;
    pet->repeat_count = 0;
    set_image();
}
