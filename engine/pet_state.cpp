#include "engine/pet_state.h"

void set_image(PetState* pet)
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
