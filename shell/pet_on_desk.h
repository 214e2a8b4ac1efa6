// The desk rules (shell/desk.h) for a living pet of the program.
#pragma once

#include "shell/desk.h"

struct Program;
struct Pet;

// Reads the desk keys of [Setup] into the program.
void desk_settings_read(Program& program);
// The program's desk as this pet sees it.
Desk desk_of(const Pet& pet);
// One tick of a pet that is not carried: its room from where it stands, the
// engine's step, then the desk's rules.
void desk_step(Pet& pet);
// The desk changed (or the pet was put somewhere): its room from where it
// stands, brought inside it and onto a monitor that exists.
void desk_keep_inside(Pet& pet);
// The pet is picked up: it may be carried anywhere over the desk.
void desk_carry(Pet& pet);
// Once a tick: hides the pet while a fullscreen program is in front on its
// monitor (when the settings ask for it) and shows it again where it was
// once that program has gone. True while it is away: it then does not live on.
bool desk_out_of_the_way(Pet& pet);
// The pet is put down: over no monitor, it lands on the nearest.
void desk_drop(Pet& pet);
