// The program's life from start to exit; each platform's entry point calls it.
#pragma once

#include "support/ids.h"  // the menu's commands

constexpr unsigned PET_TIMER_ID = 1;

// Returns the exit code, which is always 0.
int dorrabee_main(int show_command);
