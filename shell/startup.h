// The program's life from start to exit; each platform's entry point calls it.
#pragma once

#include "support/ids.h"  // the menu's commands

constexpr unsigned PET_TIMER_ID = 1;

// Returns the exit code, which is always 0. `program_folder` is the folder
// the program stands in (its "pets" folder is beside it); on the command
// line, "--pet PATH" runs that pet folder without saving the choice.
int dorrabee_main(int show_command, const char* program_folder, int argc, const char* const* argv);
