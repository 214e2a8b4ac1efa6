// The command line, read before anything else starts: "--pet FOLDER" runs
// the pet; "--help" and "--version" answer and end; anything else is refused.
#pragma once

#include <string>

enum class CommandLineAsk {
    run,
    help,
    version,
    refused,  // an unknown option, a stray word, or "--pet" without its folder
};

// argv[0] is the program itself.
CommandLineAsk command_line_ask(int argc, const char* const* argv);
// How to call the program, and where its settings file is kept.
std::string command_line_usage();
