#include "tools/sim/sim.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/script_file.h"
#include "graphics/zoom.h"
#include "shell/desk.h"
#include "shell/pet_folder.h"
#include "support/plain_text.h"
#include "tools/sim/output_folder.h"
#include "tools/sim/pet_pictures.h"
#include "tools/sim/sheet_warnings.h"
#include "tools/sim/shimeji_import.h"

namespace {

const char* const HELP =
    "Usage: dorrabee-sim [--script FILE] [--seed N] [--screen WxH | --monitors LIST]\n"
    "                    [--monitor N] [--margins TOP,LEFT,BOTTOM,RIGHT] [--timer MS]\n"
    "                    [--ticks N] [--events EVENTS]\n"
    "       dorrabee-sim --dump-script\n"
    "       dorrabee-sim --check DIR [--out OUTDIR]\n"
    "       dorrabee-sim --import-shimeji SETDIR PETDIR\n"
    "Runs the pet's behaviour engine without a window and prints, on stdout, every\n"
    "message the script loader shows (one line each), then, if the script loaded,\n"
    "the line tick,x,y,image,mirrored,action,facing for the start (tick 0) and after\n"
    "each tick: x,y the window's top-left corner, image 0-based, mirrored 1 when it\n"
    "is drawn flipped, action 1-based, facing 1 when the pet is turned round.\n"
    "  --script FILE  a script file instead of the built-in script (see --dump-script)\n"
    "  --pet DIR      a pet folder: its sheet, mask and script are read and checked as\n"
    "                 the program does, then its script runs (see docs/pets.md)\n"
    "  --check DIR    checks a pet folder, prints every message, and writes into OUTDIR\n"
    "                 (default: the current folder; made when missing) contact.png,\n"
    "                 every image under its number, and action-01.gif ... action-65.gif,\n"
    "                 each action played\n"
    "  --import-shimeji SETDIR PETDIR  makes a pet folder PETDIR (made when missing)\n"
    "                 of a Shimeji image set's numbered frames shime1.png ... shime46.png:\n"
    "                 one PNG sheet and a behaviour script for its poses (the set's\n"
    "                 own behaviour files are not read; see docs/pets.md)\n"
    "  --seed N       random seed, 0 ... 4294967295, in place of the clock (default 1)\n"
    "  --screen WxH   screen size in pixels (default 1024x768)\n"
    "  --monitors LIST  monitors in place of one screen, ';'-separated X,Y,W,H in\n"
    "                 desktop pixels, the primary (where the pet starts) first; the\n"
    "                 pet walks across shared edges and never stands where none shows it\n"
    "  --monitor N    keep the pet on monitor N only, as the Monitor key does (default 0:\n"
    "                 every monitor)\n"
    "  --margins T,L,B,R  screen margins in pixels, used as given (default 0,0,0,0)\n"
    "  --timer MS     tick interval in ms, used as given (default 150)\n"
    "  --ticks N      ticks to run (default 100)\n"
    "  --events EVENTS mouse events, ';'-separated: T:press:CX,CY  T:move:CX,CY  T:release\n"
    "                 (pick the pet up, carry it with the left button down, drop it),\n"
    "                 each applied, in the order given, just before tick T (T >= 1);\n"
    "                 CX,CY are window coordinates, taken as signed 16-bit values.\n"
    "                 While the pet is held, a tick animates it in place.\n"
    "                 T:unplug:N  monitor N (1-based) goes away; the rest keep their order.\n"
    "  --dump-script  print the script (built-in, or FILE's) in the file format: UTF-8,\n"
    "                 one line per action (65), its 12 cells separated by TAB in the\n"
    "                 order images, next, dx, dy, x_bound, y_bound, reach_x, reach_y,\n"
    "                 same_ratio, dislikes, drag_action, release_action (missing cells\n"
    "                 are empty), then one line per About routine (35); empty lines\n"
    "                 and lines beginning with # are skipped.\n"
    "Exit status: 0 ran, 1 the script (or pet) failed to load, 2 bad argument or script file.\n";

// Bounds that keep every sum the engine makes far from overflow.
constexpr long long MAX_PIXELS = 1000000;

enum EventKind { EVENT_PRESS, EVENT_MOVE, EVENT_RELEASE, EVENT_UNPLUG };

struct Event {
    long long tick;
    EventKind kind;
    int16_t cx;
    int16_t cy;
    int32_t monitor;  // EVENT_UNPLUG: which, 1-based
};

struct Options {
    const char* script_path = nullptr;
    const char* pet_path = nullptr;
    const char* check_path = nullptr;
    const char* out_path = ".";
    const char* import_set = nullptr;  // --import-shimeji SETDIR PETDIR
    const char* import_pet = nullptr;
    uint32_t seed = 1;
    int32_t width = 1024;
    int32_t height = 768;
    std::vector<Monitor> monitors;  // none: one screen of width x height
    int32_t one_monitor = 0;
    int32_t margins[4] = {0, 0, 0, 0};  // top, left, bottom, right
    int32_t timer_ms = 150;
    long long ticks = 100;
    std::vector<Event> events;
    bool dump = false;
    bool help = false;
};

// A whole decimal integer within [low, high]; nothing else may follow.
bool parse_integer(const std::string& text, long long low, long long high, long long& value)
{
    if (text.empty() || text.size() > 20)
        return false;
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(start, &end, 10);
    const bool sign_or_digit = text[0] == '-' || (text[0] >= '0' && text[0] <= '9');
    return sign_or_digit && errno == 0 && *end == '\0' && value >= low && value <= high;
}

// "A,B,..." into exactly `count` integers within [low, high].
bool parse_list(const std::string& text, char separator, int count, long long low, long long high, long long* values)
{
    std::stringstream stream(text);
    std::string part;
    int k = 0;
    while (std::getline(stream, part, separator)) {
        if (k == count || !parse_integer(part, low, high, values[k]))
            return false;
        ++k;
    }
    return k == count && !text.empty() && text.back() != separator;
}

bool parse_event(const std::string& text, Event& event, std::string& error)
{
    const size_t first = text.find(':');
    long long tick = 0;
    if (first == std::string::npos || !parse_integer(text.substr(0, first), 1, INT32_MAX, tick)) {
        error = "event '" + text + "': expected T:press:CX,CY, T:move:CX,CY or T:release with T >= 1";
        return false;
    }
    event.tick = tick;
    const std::string rest = text.substr(first + 1);
    if (rest == "release") {
        event.kind = EVENT_RELEASE;
        return true;
    }
    const size_t second = rest.find(':');
    const std::string kind = rest.substr(0, second);
    if (kind == "unplug") {
        long long monitor = 0;
        if (second == std::string::npos || !parse_integer(rest.substr(second + 1), 1, MAX_MONITORS, monitor)) {
            error = "event '" + text + "': expected T:unplug:N, N from 1 to " + std::to_string(MAX_MONITORS);
            return false;
        }
        event.kind = EVENT_UNPLUG;
        event.monitor = static_cast<int32_t>(monitor);
        return true;
    }
    long long point[2];
    // What a window message can carry: 16 bits, read as signed.
    if ((kind != "press" && kind != "move") || second == std::string::npos ||
        !parse_list(rest.substr(second + 1), ',', 2, INT16_MIN, UINT16_MAX, point)) {
        error = "event '" + text +
                "': expected T:press:CX,CY, T:move:CX,CY or T:release, "
                "CX and CY from -32768 to 65535";
        return false;
    }
    event.kind = kind == "press" ? EVENT_PRESS : EVENT_MOVE;
    event.cx = static_cast<int16_t>(static_cast<uint16_t>(point[0]));
    event.cy = static_cast<int16_t>(static_cast<uint16_t>(point[1]));
    return true;
}

// "X,Y,W,H;..." into at most MAX_MONITORS monitors of at least one pixel.
bool parse_monitors(const std::string& text, std::vector<Monitor>& monitors, std::string& error)
{
    monitors.clear();
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ';')) {
        long long v[4];
        if (!parse_list(item, ',', 4, -MAX_PIXELS, MAX_PIXELS, v) || v[2] < 1 || v[3] < 1) {
            error = "monitor '" + item + "': expected X,Y,W,H with W and H from 1 to " + std::to_string(MAX_PIXELS);
            return false;
        }
        if (monitors.size() == MAX_MONITORS) {
            error = "more than " + std::to_string(MAX_MONITORS) + " monitors";
            return false;
        }
        const int32_t x = int32_t(v[0]), y = int32_t(v[1]), w = int32_t(v[2]), h = int32_t(v[3]);
        monitors.push_back({x, y, w, h, x, y, w, h, DPI_PER_ZOOM});
    }
    if (monitors.empty() || text.back() == ';') {
        error = "--monitors needs one or more X,Y,W,H, ';'-separated";
        return false;
    }
    return true;
}

bool parse_options(int argc, const char* const* argv, Options& options, std::string& error)
{
    for (int k = 1; k < argc; ++k) {
        const std::string name = argv[k];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--dump-script") {
            options.dump = true;
            continue;
        }
        if (name == "--import-shimeji") {
            if (k + 2 >= argc) {
                error = name + " needs a set's folder and a pet folder";
                return false;
            }
            options.import_set = argv[++k];
            options.import_pet = argv[++k];
            continue;
        }
        const bool takes_value = name == "--script" || name == "--pet" || name == "--check" || name == "--out" ||
                                 name == "--seed" || name == "--screen" || name == "--margins" || name == "--timer" ||
                                 name == "--ticks" || name == "--events" || name == "--monitors" || name == "--monitor";
        if (!takes_value) {
            error = "unknown argument '" + name + "' (try --help)";
            return false;
        }
        if (k + 1 == argc) {
            error = name + " needs a value";
            return false;
        }
        const std::string value = argv[++k];
        long long numbers[4];
        bool ok = true;
        if (name == "--script") {
            options.script_path = argv[k];
        } else if (name == "--pet") {
            options.pet_path = argv[k];
        } else if (name == "--check") {
            options.check_path = argv[k];
        } else if (name == "--out") {
            options.out_path = argv[k];
        } else if (name == "--seed") {
            ok = parse_integer(value, 0, UINT32_MAX, numbers[0]);
            options.seed = static_cast<uint32_t>(numbers[0]);
        } else if (name == "--screen") {
            ok = parse_list(value, 'x', 2, 1, MAX_PIXELS, numbers);
            options.width = static_cast<int32_t>(numbers[0]);
            options.height = static_cast<int32_t>(numbers[1]);
        } else if (name == "--monitors") {
            ok = parse_monitors(value, options.monitors, error);
            if (!ok)
                return false;
        } else if (name == "--monitor") {
            ok = parse_integer(value, 0, INT32_MAX, numbers[0]);
            options.one_monitor = static_cast<int32_t>(numbers[0]);
        } else if (name == "--margins") {
            ok = parse_list(value, ',', 4, -MAX_PIXELS, MAX_PIXELS, numbers);
            for (int m = 0; ok && m < 4; ++m)
                options.margins[m] = static_cast<int32_t>(numbers[m]);
        } else if (name == "--timer") {
            ok = parse_integer(value, INT32_MIN, INT32_MAX, numbers[0]);
            options.timer_ms = static_cast<int32_t>(numbers[0]);
        } else if (name == "--ticks") {
            ok = parse_integer(value, 0, INT32_MAX, options.ticks);
        } else {
            options.events.clear();
            std::stringstream stream(value);
            std::string item;
            while (ok && std::getline(stream, item, ';')) {
                Event event{};
                if (item.empty())
                    continue;
                ok = parse_event(item, event, error);
                options.events.push_back(event);
            }
            if (!ok)
                return false;
        }
        if (!ok) {
            error = "bad value '" + value + "' for " + name + " (try --help)";
            return false;
        }
    }
    return true;
}

// 65 action rows and 35 routines fill a few kilobytes; far more than that is
// not a script, and reading it whole (or /dev/zero for ever) would use up memory.
constexpr size_t SCRIPT_SIZE_LIMIT = 1 << 20;

// An empty result when the file was read, else why not.
std::string read_script(const char* path, std::string& contents)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        return "is a folder, not a script file";
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::string("cannot be read: ") + std::strerror(errno);
    contents.resize(SCRIPT_SIZE_LIMIT + 1);
    file.read(contents.data(), std::streamsize(contents.size()));
    if (file.bad())
        return "cannot be read";
    contents.resize(size_t(file.gcount()));
    if (contents.size() > SCRIPT_SIZE_LIMIT)
        return "is larger than " + std::to_string(SCRIPT_SIZE_LIMIT) +
               " bytes; a script has at most 65 action rows and 35 dialog animations";
    return {};
}

// Whatever a file put in a message reaches the terminal as text, never as a command.
void print_message(void* out, const char* text)
{
    std::fprintf(static_cast<std::FILE*>(out), "%s\n", escape_controls(text).c_str());
}

void print_state(std::FILE* out, const PetState* pet, long long tick)
{
    std::fprintf(out, "%lld,%d,%d,%d,%d,%d,%d\n", tick, pet->x, pet->y, pet->current_image, pet->current_mirrored,
                 pet->current_action + 1, pet->facing);
}

// The monitors of the options (or the one screen) with their margins, at zoom 1.
Desk desk_of(const Options& options, const std::vector<Monitor>& monitors)
{
    const DeskSettings settings{options.one_monitor, 0, 0};
    return desk_make(monitors.data(), int32_t(monitors.size()), settings, 1, options.margins[0], options.margins[2],
                     options.margins[1], options.margins[3]);
}

std::vector<Monitor> monitors_of(const Options& options)
{
    if (!options.monitors.empty())
        return options.monitors;
    const Monitor screen{0, 0, options.width, options.height, 0, 0, options.width, options.height, DPI_PER_ZOOM};
    return {screen};
}

// The room a pet starts in: the screen's (or the primary's), margins used
// as given (a zoom of 1 keeps even those below zero).
Room room_of(const Options& options)
{
    return desk_box_room(desk_of(options, monitors_of(options)), 0);
}

// The program's handling of the mouse and the desk, without a window.
void apply_event(PetState* pet, Desk& desk, const Options& options, std::vector<Monitor>& monitors, const Event& event)
{
    int32_t old_x;
    int32_t old_y;
    switch (event.kind) {
        case EVENT_PRESS:
            drag_begin(pet, event.cx, event.cy);
            break;
        case EVENT_MOVE:
            drag_move(pet, desk_drag_room(desk), true, event.cx, event.cy, &old_x, &old_y);
            break;
        case EVENT_RELEASE:
            drag_end(pet);
            desk_settle(desk, pet, INT32_MIN);
            break;
        case EVENT_UNPLUG:
            // The last monitor stays: a desk is never without one.
            if (size_t(event.monitor) <= monitors.size() && monitors.size() > 1)
                monitors.erase(monitors.begin() + (event.monitor - 1));
            desk = desk_of(options, monitors);
            pet_keep_inside(pet, desk_room(desk, pet->x, pet->y, pet->sprite_width, pet->sprite_height));
            desk_settle(desk, pet, INT32_MIN);
            break;
    }
}

// Loads the engine on the pet folder when there is one, else on `script`;
// every loader message goes to `out`.
PetState* start_engine(const Options& options, const ScriptText& script, const PetFolder* folder, std::FILE* out)
{
    if (folder == nullptr)
        return pet_init(script, room_of(options), options.timer_ms, options.seed, {print_message, out});
    std::string messages;
    PetState* pet = pet_engine_start(*folder, room_of(options), options.timer_ms, options.seed, messages);
    if (!messages.empty())
        print_message(out, messages.c_str());
    return pet;
}

int simulate(const Options& options, const ScriptText& script, const PetFolder* folder, std::FILE* out)
{
    PetState* pet = start_engine(options, script, folder, out);
    if (!pet)
        return 1;
    std::vector<Monitor> monitors = monitors_of(options);
    Desk desk = desk_of(options, monitors);
    std::vector<Event> events = options.events;
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });
    std::fputs("tick,x,y,image,mirrored,action,facing\n", out);
    print_state(out, pet, 0);
    size_t next_event = 0;
    for (long long tick = 1; tick <= options.ticks; ++tick) {
        for (; next_event < events.size() && events[next_event].tick == tick; ++next_event)
            apply_event(pet, desk, options, monitors, events[next_event]);
        if (pet->dragging) {
            drag_tick(pet);
        } else {
            desk_pet_step(desk, pet);
        }
        print_state(out, pet, tick);
    }
    pet_release(pet);
    return 0;
}

// A pet folder for --pet or --check; false (status 1) with its message printed.
bool load_folder(const char* path, PetFolder& folder, std::FILE* out)
{
    std::string message;
    if (pet_folder_load(path, folder, message))
        return true;
    std::fprintf(out, "%s\n", escape_controls(message).c_str());
    return false;
}

int check_pet(const Options& options, std::FILE* out, std::FILE* err)
{
    PetFolder folder;
    if (!load_folder(options.check_path, folder, out))
        return 1;
    for (const std::string& warning : sheet_warnings(folder))
        std::fprintf(out, "%s: warning: %s\n", escape_controls(folder.name).c_str(), warning.c_str());
    PetState* pet = start_engine(options, builtin_script(), &folder, out);
    if (!pet)
        return 1;
    std::string error;
    std::vector<std::string> cuts;
    const bool written = output_folder_allowed(options.out_path, options.check_path, error) &&
                         output_folder_made(options.out_path, error) &&
                         write_pet_pictures(folder, pet, options.timer_ms, options.out_path, cuts, error);
    pet_release(pet);
    for (const std::string& cut : cuts)
        std::fprintf(out, "%s\n", cut.c_str());
    if (!written) {
        std::fprintf(err, "dorrabee-sim: %s\n", escape_controls(error).c_str());
        return 2;
    }
    std::fprintf(out, "%s: %d images, %d actions; pictures written to %s\n", escape_controls(folder.name).c_str(),
                 folder.image_cells, folder.has_script ? folder.script.actions_written : SCRIPT_ACTION_COUNT,
                 escape_controls(options.out_path).c_str());
    return 0;
}

}  // namespace

int run_sim(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    Options options;
    std::string error;
    if (!parse_options(argc, argv, options, error)) {
        std::fprintf(err, "dorrabee-sim: %s\n", escape_controls(error).c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(HELP, out);
        return 0;
    }

    if (options.check_path != nullptr)
        return check_pet(options, out, err);
    if (options.import_set != nullptr)
        return import_shimeji(options.import_set, options.import_pet, out);
    PetFolder folder;
    if (options.pet_path != nullptr && !load_folder(options.pet_path, folder, out))
        return 1;

    ScriptFile file;
    if (options.script_path != nullptr) {
        std::string contents;
        const std::string unread = read_script(options.script_path, contents);
        if (!unread.empty()) {
            std::fprintf(err, "dorrabee-sim: %s %s\n", escape_controls(options.script_path).c_str(), unread.c_str());
            return 2;
        }
        if (!parse_script_file(contents, file, error)) {
            std::fprintf(err, "dorrabee-sim: %s: %s\n", escape_controls(options.script_path).c_str(),
                         escape_controls(error).c_str());
            return 2;
        }
    }
    const ScriptText* script = options.script_path != nullptr ? &file.text : &builtin_script();
    if (options.pet_path != nullptr && folder.has_script)
        script = &folder.script.text;
    int status = 0;
    if (options.dump) {
        write_script_file(*script, out);
    } else {
        status = simulate(options, *script, options.pet_path != nullptr ? &folder : nullptr, out);
    }
    // Output that never arrived (a full disk, a closed pipe) is a failure, not a run.
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fprintf(err, "dorrabee-sim: cannot write the output: %s\n", std::strerror(errno));
        return 2;
    }
    return status;
}
