// What the command line asks, and the usage text.
#include "shell/command_line.h"

#include "shell/program.h"
#include "shell/settings.h"

CommandLineAsk command_line_ask(int argc, const char* const* argv)
{
    // Each step takes one option and, for --pet, the folder after it,
    // whatever that looks like.
    for (int k = 1; k < argc; k += 2) {
        const std::string argument = argv[k];
        if (argument == "--help" || argument == "-h")
            return CommandLineAsk::help;
        if (argument == "--version")
            return CommandLineAsk::version;
        if (argument != "--pet" || k + 1 == argc)
            return CommandLineAsk::refused;
    }
    return CommandLineAsk::run;
}

std::string command_line_usage()
{
    Program program{};
    settings_path_init(program);
    return "Usage: dorrabee [--pet FOLDER]\n"
           "       dorrabee --help | --version\n"
           "\n"
           "A cat that lives on your desktop. Right-click it, or its icon in the\n"
           "notification area, for its menu.\n"
           "\n"
           "  --pet FOLDER  run the pet in FOLDER this time, without saving it\n"
           "                (given more than once, several pets)\n"
           "  --help        show this text\n"
           "  --version     show the program's version\n"
           "\n"
           "Settings file: " +
           std::string(program.settings_path) + "\n";
}
