// The Windows entry point: the command line is ignored, the show command is
// handed to the pet window's first showing.
#include "platform/win32/win32_host.h"
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    return dorrabee_main(show_command);
}
