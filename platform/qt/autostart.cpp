// Starting at login on a freedesktop desktop: a desktop entry in the user's
// autostart folder ($XDG_CONFIG_HOME/autostart/dorrabee.desktop), its Exec
// the running program's absolute path.
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/qt/qt_host.h"
#include "support/text_buffer.h"

namespace {

constexpr char FILE_NAME[] = "dorrabee.desktop";
// An entry is a few lines; anything longer is not one of ours.
constexpr size_t ENTRY_LIMIT = 64 * 1024;

std::string autostart_folder()
{
    const std::string path = autostart_path(getenv("XDG_CONFIG_HOME"), getenv("HOME"));
    return path.substr(0, path.rfind('/'));
}

bool make_folder(const std::string& folder)
{
    if (folder.empty())
        return false;
    const size_t slash = folder.rfind('/');
    if (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST)
        return true;
    return errno == ENOENT && slash != std::string::npos && slash > 0 && make_folder(folder.substr(0, slash)) &&
           (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST);
}

// Written beside the entry, then renamed over it: a crash leaves the old
// entry or the new one, and a link standing there is replaced, not followed.
bool replace_entry(const std::string& path, const std::string& text)
{
    std::string temporary = path + ".XXXXXX";
    const int file = mkstemp(temporary.data());
    if (file < 0)
        return false;
    bool written = fchmod(file, 0644) == 0 && write(file, text.data(), text.size()) == ssize_t(text.size());
    written = close(file) == 0 && written;
    if (written && rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    unlink(temporary.c_str());
    return false;
}

bool value_is(const std::string& line, const char* key, std::string* value)
{
    const size_t length = std::strlen(key);
    if (line.compare(0, length, key) != 0)
        return false;
    size_t at = length;
    while (at < line.size() && line[at] == ' ')
        ++at;
    if (at == line.size() || line[at] != '=')
        return false;
    ++at;
    while (at < line.size() && line[at] == ' ')
        ++at;
    *value = line.substr(at);
    return true;
}

}  // namespace

std::string autostart_path(const char* xdg_config_home, const char* home)
{
    // Relative values are to be ignored, as the XDG rules say.
    if (xdg_config_home && xdg_config_home[0] == '/')
        return std::string(xdg_config_home) + "/autostart/" + FILE_NAME;
    if (home && home[0] == '/')
        return std::string(home) + "/.config/autostart/" + FILE_NAME;
    return {};
}

std::string desktop_exec_argument(const std::string& argument)
{
    // Quoted where the Exec rules reserve a character; inside the quotes `"`,
    // `` ` ``, `$` and `\` take a backslash. `%` is doubled (a field code
    // otherwise). Then the value is escaped as any string value is.
    bool quote = argument.empty();
    for (const char c : argument)
        quote = quote || std::strchr(" \t\n\"'\\><~|&;$*?#()`", c) != nullptr;
    std::string exec = quote ? "\"" : "";
    for (const char c : argument) {
        if (quote && std::strchr("\"`$\\", c))
            exec += '\\';
        exec += c == '%' ? "%%" : std::string(1, c);
    }
    if (quote)
        exec += '"';
    std::string value;
    for (const char c : exec)
        value += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : c == '\r' ? "\\r" : std::string(1, c);
    return value;
}

std::string desktop_entry_text(const std::string& exec)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Dorrabee\n"
           "Comment=A small cat that lives on your desktop\n"
           "Exec=" +
           exec +
           "\n"
           "Icon=dorrabee\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string desktop_entry_exec(const std::string& text)
{
    std::string exec;
    bool in_entry = false;
    bool skipped = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            in_entry = line == "[Desktop Entry]";
            continue;
        }
        std::string value;
        if (!in_entry)
            continue;
        if (value_is(line, "Exec", &value))
            exec = value;
        else if (value_is(line, "Hidden", &value))
            skipped = skipped || value == "true";
        else if (value_is(line, "X-GNOME-Autostart-enabled", &value))
            skipped = skipped || value == "false";
    }
    return skipped ? std::string() : exec;
}

size_t platform_login_command(const char* pet_folder, char* buffer, size_t size)
{
    char link[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", link, sizeof link - 1);
    if (length <= 0)
        return copy_to_buffer("", buffer, size);
    std::string command = desktop_exec_argument(std::string(link, size_t(length)));
    if (pet_folder) {
        const QString absolute = QDir::cleanPath(QFileInfo(QString::fromUtf8(pet_folder)).absoluteFilePath());
        command += " --pet " + desktop_exec_argument(absolute.toStdString());
    }
    return copy_to_buffer(command, buffer, size);
}

size_t platform_read_login_entry(char* buffer, size_t size)
{
    const std::string path = autostart_path(getenv("XDG_CONFIG_HOME"), getenv("HOME"));
    const int file = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file < 0)
        return copy_to_buffer("", buffer, size);
    struct stat status;
    std::string text;
    if (fstat(file, &status) == 0 && S_ISREG(status.st_mode) && size_t(status.st_size) <= ENTRY_LIMIT) {
        text.resize(ENTRY_LIMIT + 1);
        const ssize_t got = read(file, text.data(), text.size());
        text.resize(got > 0 && size_t(got) <= ENTRY_LIMIT ? size_t(got) : 0);
    }
    close(file);
    return copy_to_buffer(desktop_entry_exec(text), buffer, size);
}

bool platform_write_login_entry(const char* command)
{
    const std::string path = autostart_path(getenv("XDG_CONFIG_HOME"), getenv("HOME"));
    if (path.empty())
        return false;
    if (!command)
        return unlink(path.c_str()) == 0 || errno == ENOENT;
    return make_folder(autostart_folder()) && replace_entry(path, desktop_entry_text(command));
}
