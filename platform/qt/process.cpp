// The process: screen, clock, paths, heap, settings file and the message loop.
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QAbstractEventDispatcher>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/qt/qt_host.h"
#include "support/ini.h"

// QT_SCALE_FACTOR as the program found it: main takes it away from Qt.
static std::string scale_factor_at_start;

void keep_scale_factor_at_start(const char* factor)
{
    scale_factor_at_start = factor ? factor : "";
}

// X11 has no scaling of its own per monitor: the one a desktop sets for X
// programs holds for all of them, then the toolkits' own factors.
static int32_t desk_dpi()
{
    if (const int32_t dpi = dpi_from_x_resources(x11_resources()))
        return dpi;
    if (const int32_t dpi = dpi_from_scale_factor(scale_factor_at_start.c_str()))
        return dpi;
    if (const int32_t dpi = dpi_from_scale_factor(getenv("GDK_SCALE")))
        return dpi;
    return 96;
}

// A screen in X's pixels, counted from the primary's corner as the pet's
// windows are (windows.cpp), so that the primary stands at 0, 0 as on
// Windows. Qt's own scaling is off in the program, so its sizes are X's
// already; where it is on, a screen keeps its corner and Qt divides its size
// (and its work area's offset within it) by the ratio.
static Monitor monitor_of(const QScreen* screen, QPoint origin, int32_t dpi)
{
    const qreal ratio = screen->devicePixelRatio();
    const auto device = [ratio](int value) { return static_cast<int32_t>(qRound(value * ratio)); };
    const QRect area = screen->geometry();
    const QRect work = screen->availableGeometry() & area;
    Monitor monitor{};
    monitor.x = area.x() - origin.x();
    monitor.y = area.y() - origin.y();
    monitor.width = device(area.width());
    monitor.height = device(area.height());
    if (work.isEmpty()) {
        monitor.work_x = monitor.x;
        monitor.work_y = monitor.y;
        monitor.work_width = monitor.width;
        monitor.work_height = monitor.height;
    } else {
        monitor.work_x = monitor.x + device(work.x() - area.x());
        monitor.work_y = monitor.y + device(work.y() - area.y());
        monitor.work_width = device(work.width());
        monitor.work_height = device(work.height());
    }
    monitor.dpi = dpi;
    return monitor;
}

// Qt's screens are X's RandR monitors.
int platform_monitors(Monitor* monitors, int capacity)
{
    QScreen* primary = QGuiApplication::primaryScreen();
    const int32_t dpi = desk_dpi();
    if (!primary) {
        if (capacity > 0)
            monitors[0] = Monitor{0, 0, 0, 0, 0, 0, 0, 0, dpi};
        return 1;
    }
    const QPoint origin = primary_origin();
    // On X11 each monitor's work area comes from the panels' own struts.
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    int32_t root_width = 0;
    int32_t root_height = 0;
    const std::vector<X11Strut> struts = x11 && x11->connection()
                                             ? x11_panel_struts(x11->connection(), &root_width, &root_height)
                                             : std::vector<X11Strut>();
    int count = 0;
    const auto add = [&](const QScreen* screen) {
        if (count < capacity) {
            Monitor& monitor = monitors[count];
            monitor = monitor_of(screen, origin, dpi);
            if (root_width > 0) {
                // Counted from the root's corner while the struts are laid on it.
                monitor.x += origin.x();
                monitor.y += origin.y();
                x11_work_area(monitor, root_width, root_height, struts);
                monitor.x -= origin.x();
                monitor.y -= origin.y();
                monitor.work_x -= origin.x();
                monitor.work_y -= origin.y();
            }
        }
        ++count;
    };
    add(primary);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            add(screen);
    }
    return count;
}

uint32_t platform_seconds_now()
{
    return static_cast<uint32_t>(time(nullptr));
}

static size_t copy_out(const std::string& text, char* buffer, size_t size)
{
    if (text.empty() || text.size() >= size)
        return 0;
    memcpy(buffer, text.c_str(), text.size() + 1);
    return text.size();
}

std::string settings_folder(const std::string& program_folder, bool folder_writable, const char* xdg_config_home,
                            const char* home)
{
    if (program_folder.empty())
        return {};
    // Installed for every user (and removed by the package manager, which
    // would leave our file behind): root too keeps its settings at home.
    const bool installed = program_folder.rfind("/usr/", 0) == 0 || program_folder.rfind("/bin/", 0) == 0 ||
                           program_folder.rfind("/sbin/", 0) == 0;
    if (folder_writable && !installed)
        return program_folder;
    std::string folder;
    // Relative values are to be ignored, as the XDG rules say.
    if (xdg_config_home && xdg_config_home[0] == '/') {
        folder = xdg_config_home;
    } else if (home && home[0] == '/') {
        folder = std::string(home) + "/.config";
    } else {
        return {};
    }
    return folder + "/dorrabee/";
}

static bool make_folders(const std::string& path)
{
    for (size_t at = 1; at != std::string::npos; at = path.find('/', at + 1)) {
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

size_t platform_settings_folder(char* buffer, size_t size)
{
    char link[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", link, sizeof link - 1);
    if (length <= 0)
        return 0;
    const std::string executable(link, static_cast<size_t>(length));
    const std::string folder = executable.substr(0, executable.rfind('/') + 1);
    const bool writable = !folder.empty() && access(folder.c_str(), W_OK) == 0;
    return copy_out(settings_folder_made(folder, writable, getenv("XDG_CONFIG_HOME"), getenv("HOME")), buffer, size);
}

std::string settings_folder_made(const std::string& program_folder, bool folder_writable, const char* xdg_config_home,
                                 const char* home)
{
    const std::string folder = settings_folder(program_folder, folder_writable, xdg_config_home, home);
    // A folder that cannot be made still names the place: reading finds no
    // file there and a save says it failed, rather than both quietly using
    // whatever the current directory is.
    if (!folder.empty() && folder != program_folder)
        make_folders(folder.substr(0, folder.size() - 1));
    return folder;
}

size_t platform_current_directory(char* buffer, size_t size)
{
    return getcwd(buffer, size) ? strlen(buffer) : 0;
}

void* platform_heap_alloc(size_t size)
{
    return malloc(size);
}
void platform_heap_free(void* block)
{
    free(block);
}

int32_t platform_ini_read_int(const char* path, const char* section, const char* key, int32_t fallback)
{
    return ini_read_int(path, section, key, fallback);
}

bool platform_ini_write_string(const char* path, const char* section, const char* key, const char* value)
{
    return ini_write_string(path, section, key, value);
}

size_t platform_ini_read_string(const char* path, const char* section, const char* key, char* buffer, size_t size)
{
    const std::optional<std::string> value = ini_read_string(path, section, key);
    if (size > 0)
        buffer[0] = '\0';
    return copy_out(value ? *value : std::string(), buffer, size);
}

QProcessEnvironment restart_environment()
{
    // Ours lacks the factor main took away from Qt; the next start reads it again.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!scale_factor_at_start.empty())
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromStdString(scale_factor_at_start));
    return environment;
}

bool platform_restart_program()
{
    QProcess restarted;
    restarted.setProgram(QCoreApplication::applicationFilePath());
    restarted.setProcessEnvironment(restart_environment());
    return restarted.startDetached();
}

int platform_ini_write_strings(const char* path, const char* section, const char* const* keys,
                               const char* const* values, size_t count)
{
    switch (ini_write_strings(path, section, keys, values, count)) {
        case IniWrite::written:
            return SAVE_DONE;
        case IniWrite::folder_failed:
            return SAVE_FOLDER_FAILED;
        case IniWrite::file_failed:
            break;
    }
    return SAVE_FILE_FAILED;
}

// ---- the desk: a change of the monitors reaches the pet as
// MSG_DISPLAYCHANGE with the primary's size, as on Windows (RandR tells Qt
// on X11).

void watch_desk(Window* pet)
{
    QWidget* context = pet->widget;  // the connections end with the pet's widget
    auto report = [pet] {
        const QScreen* primary = QGuiApplication::primaryScreen();
        const QRect area = primary ? primary->geometry() : QRect();
        // Without a window manager nobody else brings an open dialog (or box)
        // back onto a desk that shrank under it: one on no monitor comes
        // onto the primary.
        for (QWidget* top : QApplication::topLevelWidgets()) {
            const QRect frame = top->frameGeometry();
            const auto screens = QGuiApplication::screens();
            const bool shown = std::any_of(screens.begin(), screens.end(),
                                           [&](const QScreen* s) { return s->geometry().contains(frame); });
            if (qobject_cast<QDialog*>(top) && top->isVisible() && primary && !shown)
                top->move(place_on_screen(frame.topLeft(), frame.size(), area));
        }
        deliver(pet, MSG_DISPLAYCHANGE, 32, intptr_t((area.height() & 0xFFFF) << 16 | (area.width() & 0xFFFF)));
    };
    auto follow = [context, report](QScreen* screen) {
        QObject::connect(screen, &QScreen::geometryChanged, context, report);
    };
    for (QScreen* screen : QGuiApplication::screens())
        follow(screen);
    QObject::connect(qApp, &QGuiApplication::screenAdded, context, [follow, report](QScreen* screen) {
        follow(screen);
        report();
    });
    QObject::connect(qApp, &QGuiApplication::screenRemoved, context, report);
    QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, context, report);
}

// ---- the message loop: Qt delivers every event to the windows' procedures
// itself, so a "message" here is one round of Qt's event processing.

static bool quit_posted = false;
static bool pet_lost = false;  // the loop ends as on an error: the program exits with 1
static PlatformMessage round_done;

void end_with_error(const char* text)
{
    if (pet_lost)
        return;
    pet_lost = true;
    fprintf(stderr, "dorrabee: %s\n", text);
    platform_message_box(nullptr, text, BOX_ERROR);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

bool pet_was_lost()
{
    return pet_lost;
}

int platform_next_message(PlatformMessage** message)
{
    if (!quit_posted && !pet_lost) {
        // Windows destroyed from inside their own handlers are deleted here,
        // outside every handler.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (pet_lost)
        return -1;
    if (quit_posted)
        return 0;
    *message = &round_done;
    return 1;
}

bool platform_is_dialog_message(Window*, PlatformMessage*)
{
    return false;
}

void platform_dispatch_message(PlatformMessage*) {}

void platform_post_quit(int)
{
    quit_posted = true;
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}
