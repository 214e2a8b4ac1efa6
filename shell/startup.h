// The program's life from start to exit; each platform's entry point calls it.
#pragma once

constexpr unsigned PET_TIMER_ID = 1;
constexpr int CMD_EXIT = 40004;
constexpr int CMD_ABOUT = 40005;
constexpr int CMD_CONTINUE = 40006;
constexpr int CMD_OPTIONS = 40007;

// Returns the exit code, which is always 0.
int dorrabee_main(int show_command);
