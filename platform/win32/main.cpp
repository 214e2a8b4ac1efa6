// The Windows entry point: the show command is handed to the pet window's
// first showing; of the command line only "--pet PATH" counts.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"
#include <shellapi.h>  // after windows.h, which it needs
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
    return dorrabee_main(show_command, folder, int(argv.size()), argv.data());
}
