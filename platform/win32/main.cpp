// The Windows entry point: the show command is handed to the pet window's
// first showing; the command line runs a pet ("--pet PATH") or asks for help
// or the version.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"
#include <shellapi.h>  // after windows.h, which it needs
#include "shell/command_line.h"
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command)
{
    // The shell's paths are UTF-8, whatever the code page.
    char folder[MAX_PATH * 3] = "";
    size_t length = program_path(folder, sizeof folder);
    while (length > 0 && folder[length - 1] != '\\' && folder[length - 1] != '/')
        --length;
    folder[length > 0 ? length - 1 : 0] = '\0';
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int k = 0; wide && k < argc; ++k) {
        std::string arg(MAX_PATH * 3, '\0');
        arg.resize(utf8_from_utf16(wide[k], wcslen(wide[k]), arg.data(), arg.size(), Fit::whole));
        args.push_back(arg);
    }
    if (wide)
        LocalFree(wide);
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    // A program without a console answers in a box (and on standard
    // output or error, for whoever started it from a console).
    const CommandLineAsk ask = command_line_ask(int(argv.size()), argv.data());
    if (ask != CommandLineAsk::run) {
        const std::string text =
            ask == CommandLineAsk::version ? std::string("dorrabee " DORRABEE_VERSION "\n") : command_line_usage();
        fputs(text.c_str(), ask == CommandLineAsk::refused ? stderr : stdout);
        wchar_t wide_text[2048];
        utf16_from_utf8(text.c_str(), wide_text, 2048, Fit::cut);
        MessageBoxW(nullptr, wide_text, L"Dorrabee",
                    ask == CommandLineAsk::refused ? MB_ICONERROR : MB_ICONINFORMATION);
        return ask == CommandLineAsk::refused ? 2 : 0;
    }
    return dorrabee_main(show_command, folder, int(argv.size()), argv.data());
}
