// Where a pet that was called comes to: the middle of its box's floor.
#pragma once

// Puts the pet in the middle of the bottom edge of its box (the screen less
// the margins), starting afresh in its start action, the way it is facing.
// The lower ends win when the box is empty, as in pet_keep_inside.
void pet_to_floor();
