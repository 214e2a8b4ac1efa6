// Where a pet that was called comes to: the middle of its room's floor.
#pragma once

#include "engine/pet_state.h"
#include "engine/room.h"

// Puts the pet in the middle of the bottom edge of its room (less the
// margins), starting afresh in its start action, the way it is facing.
// The lower ends win when the room is too small, as in pet_keep_inside.
void pet_to_floor(PetState* pet, const Room& room);
