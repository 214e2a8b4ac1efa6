// The menu's checkable entry that switches hiding for fullscreen programs
// (the "Hide For Fullscreen" key of [Setup]), in the pet's menu and the
// notification-area icon's alike.
#pragma once

struct Menu;
struct Pet;
struct Program;

// Puts the entry, checked as the setting stands, right before Exit.
void fullscreen_entry_fill(const Program& program, Menu* menu);
// Switches the setting for every pet and saves it; a save that fails is
// shown, the switch holding for this run. False when `command` is not the
// entry's.
bool fullscreen_entry_command(Pet& pet, unsigned command);
