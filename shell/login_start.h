// Starting the program at login: the menu's checkable entry, its state read
// from the system every time, never from the settings file.
#pragma once

struct Program;
struct Window;

// True when the system's login entry starts this very copy (with the pet
// folder given on its command line); an entry of another copy (a moved
// folder, an older build) does not count.
bool login_start_on(const Program& program);
// On: the entry is made to start this copy, replacing another copy's. Off:
// the entry, ours, is removed. A failure is shown in a message box.
void login_start_switch(const Program& program, Window* owner);
