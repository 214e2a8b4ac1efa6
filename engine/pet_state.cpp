#include "engine/pet_state.h"

PetState* pet;
int32_t current_image;
int32_t current_mirrored;
int32_t pet_x;
int32_t pet_y;

void set_image()
{
    const ImageRef r = pet->actions[pet->current_action].frames[pet->tick];
    if (r > 0) {
        current_image = r - 1;
        current_mirrored = pet->facing;
    } else {
        current_image = -r - 1;
        current_mirrored = pet->facing == 0 ? 1 : 0;
    }
}
