// The program in the background: its notification-area icon, putting the
// pets away and calling them back, and the entries the icon's menu adds to
// the pet's own (these two, and starting at login).
#pragma once

#include <cstdint>

struct Menu;
struct Pet;
struct Program;
struct Window;

// After the pets show: the icon, if the desktop has a notification area,
// reporting to `owner`'s window (whose procedure finds the program through
// its pet).
void tray_start(Pet& owner);
// As a window goes: the icon goes too when it reported there.
void tray_window_gone(Program& program, Window* window);

// Puts the added entries into the menu as they stand now (the pets away or
// not, starting at login read from the system): all of them in the icon's
// menu; in a pet's own only "start at login", and only where no icon shows
// (pets put away there could not be called back).
void tray_fill_menu(Program& program, Menu* menu, bool from_icon);

// A command of the added entries, chosen from `pet`'s menu; false when it
// is not one of them.
bool tray_command(Pet& pet, unsigned command);

// The icon was activated: every pet is called back, or, when they are out
// already, brought to the middle of the primary monitor's floor.
void tray_call_pets(Program& program);
