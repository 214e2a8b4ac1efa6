// The program in the background: its notification-area icon, putting the pet
// away and calling it back, and the entries the icon's menu adds to the
// pet's own (these two, and starting at login).
#pragma once

#include <cstdint>

struct Window;
struct Menu;

// After the pet window shows: the icon, if the desktop has a notification area.
void tray_start(Window* pet);
// As the pet window goes: the icon goes too.
void tray_stop();

// Puts the added entries into the menu as they stand now (the pet away or
// not, starting at login read from the system): all of them in the icon's
// menu; in the pet's own only "start at login", and only where no icon
// shows (a pet put away there could not be called back).
void tray_fill_menu(Menu* menu, bool from_icon);

// A command of the added entries; false when it is not one of them.
bool tray_command(Window* pet, unsigned command);

// The icon was activated: the pet is called back, or, when it is out
// already, brought to the middle of the floor.
void tray_call_pet(Window* pet);

// Whether the pet is put away (its window hidden, its life paused).
bool tray_pet_away();
void tray_reset();  // back to how a process starts (tests)
