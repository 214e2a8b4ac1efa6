// dorrabee-sim as a procedure, so that tests can run it in-process: the
// arguments as main() gets them, stdout and stderr as streams; returns the
// exit status (0 ran, 1 the script failed to load, 2 a tool error).
#pragma once

#include <cstdio>

int run_sim(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
