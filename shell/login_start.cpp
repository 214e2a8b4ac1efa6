// The login entry compared with this copy's own command line.
#include "shell/login_start.h"

#include <string>

#include "platform/platform.h"
#include "shell/program.h"
#include "support/texts.h"

namespace {

// Room for a long path twice over (the program's and a pet folder's).
constexpr size_t COMMAND_SIZE = 8192;

// Empty when the command cannot be had (a path past any sane length).
std::string this_copy(const Program& program)
{
    // Only the first --pet is carried into the login entry (one folder is
    // all the entry's command holds).
    const std::string folder = program.command_line_paths.empty() ? std::string() : program.command_line_paths[0];
    char command[COMMAND_SIZE];
    const size_t length = platform_login_command(folder.empty() ? nullptr : folder.c_str(), command, sizeof command);
    return length > 0 && length < sizeof command ? std::string(command, length) : std::string();
}

bool holds(const std::string& command)
{
    char entry[COMMAND_SIZE];
    const size_t length = platform_read_login_entry(entry, sizeof entry);
    return !command.empty() && length == command.size() && command.compare(0, length, entry, length) == 0;
}

}  // namespace

bool login_start_on(const Program& program)
{
    return holds(this_copy(program));
}

void login_start_switch(const Program& program, Window* owner)
{
    const std::string command = this_copy(program);
    if (command.empty()) {
        platform_message_box(owner, "Fail to find the program's own path: it cannot start at login.", BOX_ERROR,
                             text_of(program.language, TextId::ok));
        return;
    }
    // Only an entry that is ours is ever removed: another copy's shows
    // unchecked, and checking it replaces it.
    const bool on = holds(command);
    if (!platform_write_login_entry(on ? nullptr : command.c_str()))
        platform_message_box(owner,
                             on ? "Fail to remove the entry that starts the program at login."
                                : "Fail to write the entry that starts the program at login.",
                             BOX_ERROR, text_of(program.language, TextId::ok));
}
