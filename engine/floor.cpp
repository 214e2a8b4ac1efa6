// The pet brought to the middle of its floor.
#include "engine/floor.h"

#include "engine/engine.h"

void pet_to_floor(PetState* pet, const Room& room)
{
    const int32_t inner_width = room.width - room.left_margin - room.right_margin;
    pet->x = room.x + room.left_margin + (inner_width - pet->sprite_width) / 2;
    pet->y = room.y + room.height;  // below the floor: brought up onto it
    pet_keep_inside(pet, room);
    pet->current_action = pet->start_action - 1;
    pet->tick = 0;
    pet->repeat_count = 0;
    set_image(pet);
}
