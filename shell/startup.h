// The program's life from start to exit; each platform's entry point calls it.
#pragma once

#include "support/ids.h"  // the menu's commands

constexpr unsigned PET_TIMER_ID = 1;

// Returns the exit code, which is always 0. `program_folder` is the folder
// the program stands in (its "pets" folder is beside it); on the command
// line, "--pet PATH" runs that pet folder without saving the choice.
int dorrabee_main(int show_command, const char* program_folder, int argc, const char* const* argv);

// The steps of dorrabee_main, open to the tests.
struct Program;
void program_options(Program& program, const char* program_folder, int argc, const char* const* argv);
// Up to the shown pet window; false after a failure already reported.
bool program_start(Program& program, int show_command);
void program_run(Program& program);
// Whatever is still alive goes: the pet window, the pet and its engine record.
void program_release(Program& program);
