#include "engine/pet_state.h"

PetState* pet;

void set_image()
{
    const ImageRef r = pet->actions[pet->current_action].frames[pet->tick];
    if (r > 0) {
        pet->current_image = r - 1;
        pet->current_mirrored = pet->facing;
    } else {
        pet->current_image = -r - 1;
        pet->current_mirrored = pet->facing == 0 ? 1 : 0;
    }
}
