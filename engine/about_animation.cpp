// The About scene's routine: which of the script's dialog animations plays,
// and which of its frames shows now.
#include "engine/engine.h"
#include "engine/random.h"

void about_pick_animation(PetState* pet)
{
    pet->about_animation = random_draw(pet->random) % pet->dialog_animation_count;
    pet->about_frame = 0;
}

void about_next_frame(PetState* pet)
{
    pet->about_frame += 1;
    if (pet->about_frame >= pet->dialog_animations[pet->about_animation].count)
        pet->about_frame = 0;
}

ImageRef about_current_image(const PetState* pet)
{
    return pet->dialog_animations[pet->about_animation].images[pet->about_frame];
}
