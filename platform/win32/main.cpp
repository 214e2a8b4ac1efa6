// The Windows entry point: the show command is handed to the pet window's
// first showing; of the command line only "--pet PATH" counts.
#include <cstdlib>
#include <string>

#include "platform/win32/win32_host.h"
#include "shell/pet_choice.h"
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
    const size_t cut = folder.find_last_of("\\/");
    folder.resize(cut == std::string::npos ? 0 : cut);
    pet_choice_options(folder.c_str(), __argc, __argv);
    return dorrabee_main(show_command);
}
