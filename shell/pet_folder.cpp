// Pet folders: finding them, naming them, reading and checking one.
#include "shell/pet_folder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "engine/action_script.h"
#include "engine/engine.h"
#include "graphics/alpha_sheet.h"
#include "graphics/png.h"
#include "graphics/sprites.h"
#include "shell/pet_places.h"
#include "support/ini.h"
#include "support/plain_text.h"

namespace fs = std::filesystem;

namespace {

// Above what a sheet of 108 cells of 192 x 192 takes stored without
// compression (a 256-pixel pet's sheet needs compressing), far below harm.
constexpr uintmax_t PICTURE_LIMIT = 16u << 20;
constexpr uintmax_t TEXT_LIMIT = 1u << 20;
constexpr size_t NAME_LIMIT = 48;  // the settings file on Windows takes values of 63 characters

#ifdef _WIN32
constexpr char SEPARATOR = '\\';
#else
constexpr char SEPARATOR = '/';
#endif

// Paths are UTF-8 text everywhere in the program, on Windows too.
fs::path as_path(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string as_text(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string join(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/' || folder.back() == SEPARATOR)
        return folder + name;
    return folder + SEPARATOR + name;
}

// A file of the folder: absent when it does not exist; refused when it is
// anything but a regular file (a link could lead out of the folder) or too
// large to be what it claims.
bool read_member(const std::string& folder, const char* file, uintmax_t limit, std::optional<std::string>& contents,
                 std::string& message)
{
    const fs::path path = as_path(join(folder, file));
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (status.type() == fs::file_type::not_found)
        return true;
    if (error || status.type() != fs::file_type::regular) {
        message = std::string(file) + " is not a regular file";
        return false;
    }
    const uintmax_t size = fs::file_size(path, error);
    if (error || size > limit) {
        message = std::string(file) + (error ? " cannot be read" : " is too large");
        return false;
    }
    std::ifstream stream(path, std::ios::binary);
    std::string text;
    if (stream)
        text.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    if (!stream || stream.bad()) {
        message = std::string(file) + " cannot be read";
        return false;
    }
    contents = std::move(text);
    return true;
}

bool is_folder(const fs::path& path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::directory;
}

bool decode_picture(const std::string& data, const char* file, Bitmap& out, std::string& message)
{
    std::string error;
    if (bmp_decode(reinterpret_cast<const uint8_t*>(data.data()), data.size(), &out, &error))
        return true;
    message = std::string(file) + ": " + error;
    return false;
}

// The index a 1-bit mask uses for "not the pet", as the outlines read it:
// index 1 is the pet unless the colour table starts with a non-black colour.
uint8_t outside_index(const Bitmap& mask)
{
    return !mask.palette.empty() && (mask.palette[0] & 0xFFFFFF) != 0 ? 1 : 0;
}

// A PNG sheet: thresholded as the program draws sheets, and with alpha
// beside it for the windows the system blends.
bool decode_png_sheet(const std::string& data, Bitmap& out, std::vector<uint32_t>& blended, std::string& message)
{
    AlphaPicture picture;
    std::string error;
    if (!png_decode(reinterpret_cast<const uint8_t*>(data.data()), data.size(), &picture, &error)) {
        message = std::string(PET_PNG_SHEET_FILE) + ": " + error;
        return false;
    }
    out = Bitmap{};
    out.width = picture.width;
    out.height = picture.height;
    out.bits_per_pixel = 32;
    out.pixels.resize(picture.pixels.size());
    for (size_t p = 0; p < picture.pixels.size(); ++p)
        out.pixels[p] = thresholded_pixel(picture.pixels[p]);
    blended = premultiplied_sheet(picture);
    return true;
}

// How many images the sheet holds in its cells, and its columns when pet.ini
// gave none; 0 with a message when it holds none or the columns do not fit.
int32_t cells_held(PetFolder& pet, const char* file, std::string& message)
{
    PetCells& cells = pet.cells;
    const int32_t fit = pet.sheet_width / cells.size.width, rows = pet.sheet_height / cells.size.height;
    const std::string size = std::string(file) + ": " + std::to_string(pet.sheet_width) + " x " +
                             std::to_string(pet.sheet_height) + " pixels";
    const std::string cell = std::to_string(cells.size.width) + " x " + std::to_string(cells.size.height);
    if (fit < 1 || rows < 1) {
        message = size + "; its cells are " + cell + " (pet.ini's CellWidth and CellHeight), and it holds none";
        return 0;
    }
    if (cells.columns > fit) {
        message = "pet.ini line " + std::to_string(cells.columns_line) + ": Columns=" + std::to_string(cells.columns) +
                  "; " + size + " hold " + std::to_string(fit) + " columns of " + std::to_string(cells.size.width);
        return 0;
    }
    if (cells.columns == 0)
        cells.columns = fit;
    return int32_t(std::min<int64_t>(PET_IMAGES, int64_t(cells.columns) * rows));
}

bool decode_sheet(const PetFiles& files, PetFolder& pet, std::string& message)
{
    if (!files.sheet && !files.png_sheet) {
        message = std::string(PET_SHEET_FILE) + " is missing";
        return false;
    }
    const char* file = pet.sheet_file = files.png_sheet ? PET_PNG_SHEET_FILE : PET_SHEET_FILE;
    pet.blended.clear();
    if (files.png_sheet ? !decode_png_sheet(*files.png_sheet, pet.sheet, pet.blended, message)
                        : !decode_picture(*files.sheet, PET_SHEET_FILE, pet.sheet, message))
        return false;
    pet.sheet_width = pet.sheet.width;
    pet.sheet_height = pet.sheet.height;
    pet.image_cells = cells_held(pet, file, message);
    if (pet.image_cells == 0)
        return false;
    // Only the colours are drawn; the mask is checked against the size as given.
    pet.sheet.indices.clear();
    pet.sheet = lay_out_cells(pet.sheet, pet.cells, pet.image_cells, KEY_COLOUR, 0);
    if (!pet.blended.empty()) {
        // Laid out as the sheet, clear where it is padded.
        Bitmap plane;
        plane.width = pet.sheet_width;
        plane.height = pet.sheet_height;
        plane.pixels = std::move(pet.blended);
        pet.blended = lay_out_cells(plane, pet.cells, pet.image_cells, 0, 0).pixels;
    }
    return true;
}

bool decode_mask(const PetFiles& files, PetFolder& pet, std::string& message)
{
    if (!files.mask) {
        pet.mask = mask_from_sheet(pet.sheet);
        return true;
    }
    if (!decode_picture(*files.mask, PET_MASK_FILE, pet.mask, message))
        return false;
    if (pet.mask.bits_per_pixel != 1) {
        message = std::string(PET_MASK_FILE) + ": " + std::to_string(pet.mask.bits_per_pixel) +
                  " bits per pixel; a mask has 1";
        return false;
    }
    if (pet.mask.width != pet.sheet_width || pet.mask.height != pet.sheet_height) {
        message = std::string(PET_MASK_FILE) + ": " + std::to_string(pet.mask.width) + " x " +
                  std::to_string(pet.mask.height) + " pixels; the sheet is " + std::to_string(pet.sheet_width) + " x " +
                  std::to_string(pet.sheet_height);
        return false;
    }
    const uint8_t outside = outside_index(pet.mask);
    pet.mask = lay_out_cells(pet.mask, pet.cells, pet.image_cells,
                             pet.mask.palette.size() > outside ? pet.mask.palette[outside] : 0, outside);
    return true;
}

// Whether image `image` (1-based) of the sheet shows at least one pixel: one
// the mask keeps that is not of the key colour (which a compositor shows
// see-through).
bool image_visible(const PetFolder& pet, int32_t image)
{
    const uint8_t outside = outside_index(pet.mask);
    const int32_t side = pet.cells.side, columns = pet.sheet.width / side;
    const int32_t left = (image - 1) % columns * side;
    const int32_t top = (image - 1) / columns * side;
    for (int32_t y = top; y < top + side; ++y)
        for (int32_t x = left; x < left + side; ++x) {
            const size_t p = size_t(y) * size_t(pet.sheet.width) + size_t(x);
            if (pet.mask.indices[p] != outside && (pet.sheet.pixels[p] & 0xFFFFFF) != KEY_COLOUR)
                return true;
        }
    return false;
}

// A pet nobody can see cannot be clicked either, and so never reaches its menu.
bool some_image_visible(const PetFolder& pet, std::string& message)
{
    for (int32_t image = 1; image <= pet.image_cells; ++image)
        if (image_visible(pet, image))
            return true;
    message = std::string(pet.sheet_file) +
              ": no pixel can be seen (all of the key colour, or outside the mask); the pet could not be found to "
              "be clicked";
    return false;
}

// Where a pet's loader messages go: each line after the pet's name.
struct Collected {
    const std::string* name;
    std::string* text;
    int32_t image_cells;
    const std::vector<int>* action_lines;  // null when the pet runs the built-in script
    std::vector<bool> carried;             // by action number: named as a drag or release action
};

// The actions the script names as drag or release actions ("56", "r56").
std::vector<bool> carried_actions(const ScriptText& script)
{
    std::vector<bool> carried(SCRIPT_ACTION_COUNT + 1, false);
    for (const int column : {COLUMN_DRAG_ACTION, COLUMN_RELEASE_ACTION})
        for (int i = 0; i < SCRIPT_ACTION_COUNT; ++i) {
            const char* cell = script.columns[column][i];
            if (cell && (*cell == 'r' || *cell == 'R'))
                ++cell;
            const long number = cell ? std::strtol(cell, nullptr, 10) : 0;
            if (number >= 1 && number <= SCRIPT_ACTION_COUNT)
                carried[size_t(number)] = true;
        }
    return carried;
}

// How the loader's messages name an action: "action 3", "action:3", "Action [3]", "action [3]".
constexpr std::string_view ACTION_NAMED[] = {"action ", "action:", "Action [", "action ["};

bool names_an_action(std::string_view text)
{
    for (const std::string_view before : ACTION_NAMED) {
        const size_t at = text.find(before);
        if (at != std::string_view::npos && at + before.size() < text.size() && text[at + before.size()] >= '0' &&
            text[at + before.size()] <= '9')
            return true;
    }
    return false;
}

// Where in the pet's own script a loader message points: the line of the
// action it names first (ACTION_NAMED), or "" when it names none.
std::string script_line(std::string_view text, const std::vector<int>& action_lines)
{
    for (const std::string_view before : ACTION_NAMED) {
        const size_t at = text.find(before);
        if (at == std::string_view::npos)
            continue;
        size_t number = 0, digit = at + before.size();
        for (; digit < text.size() && text[digit] >= '0' && text[digit] <= '9' && number < 1000; ++digit)
            number = number * 10 + size_t(text[digit] - '0');
        if (digit > at + before.size() && number >= 1 && number <= action_lines.size())
            return std::string(PET_SCRIPT_FILE) + " line " + std::to_string(action_lines[number - 1]) + ": ";
    }
    return {};
}

// The number in "<head><number><tail>", the whole of `text`; 0 when it is not such.
int number_between(std::string_view text, std::string_view head, std::string_view tail)
{
    if (!text.starts_with(head) || !text.ends_with(tail) || text.size() <= head.size() + tail.size())
        return 0;
    int number = 0;
    for (const char c : text.substr(head.size(), text.size() - head.size() - tail.size())) {
        if (c < '0' || c > '9' || number > 100000)
            return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

// The built-in script's checks that cannot apply to a pet: images its sheet
// does not hold, and actions reached only as drag or release actions.
bool applies_to_pet(const char* text, const Collected& collected)
{
    constexpr std::string_view UNUSED = "] have not been referenced";
    if (const int image = number_between(text, "** Image [", UNUSED))
        return image <= collected.image_cells;
    if (const int number = number_between(text, "** Action [", UNUSED))
        return number >= int(collected.carried.size()) || !collected.carried[size_t(number)];
    return true;
}

void collect_message(void* context, const char* text)
{
    const Collected& collected = *static_cast<const Collected*>(context);
    if (!applies_to_pet(text, collected))
        return;
    const std::string where = collected.action_lines ? script_line(text, *collected.action_lines) : std::string();
    // An action the script does not have (a copy of its first, to fill the
    // table) is never reached: nothing is said about it.
    if (collected.action_lines && where.empty() && names_an_action(text))
        return;
    *collected.text += *collected.name + ": " + where + text + "\n";
}

// The highest image number the loaded script shows, mirrored or not.
int32_t highest_image(const PetState* pet)
{
    int32_t highest = 0;
    auto see = [&](const ImageRef* images, int32_t count) {
        for (int32_t k = 0; k < count; ++k)
            highest = std::max<int32_t>(highest, std::abs(images[k]));
    };
    for (int32_t i = 0; i < pet->action_count; ++i)
        see(pet->actions[i].frames, pet->actions[i].frame_count);
    for (int32_t i = 0; i < pet->dialog_animation_count; ++i)
        see(pet->dialog_animations[i].images, pet->dialog_animations[i].count);
    return highest;
}

// The name pet.ini gives (none when it has none; not looked for unless
// `wanted`), from its first bytes only and, when `cache` knew the file as
// it is, without reading it; false when pet.ini is there but is no regular file. What is known goes
// into `fresh`, so that folders gone are forgotten.
bool pet_ini_name(const std::string& folder, const PetNameCache* cache, PetNameCache& fresh, bool wanted,
                  std::optional<std::string>& name)
{
    const std::string path = join(folder, PET_INI_FILE);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(as_path(path), error);
    const std::string folder_name = as_text(as_path(folder).filename());
    if (status.type() == fs::file_type::not_found)
        return true;
    const uintmax_t size = fs::file_size(as_path(path), error);
    const auto time = fs::last_write_time(as_path(path), error);
    if (error || status.type() != fs::file_type::regular)
        return false;
    if (!wanted)
        return true;
    const int64_t stamp = int64_t(time.time_since_epoch().count());
    if (cache) {
        const auto at = cache->by_path.find(path);
        if (at != cache->by_path.end() && at->second.stamp == stamp && at->second.size == size) {
            fresh.by_path.insert(*at);
            name = at->second.name;
            return true;
        }
    }
    std::ifstream stream(as_path(path), std::ios::binary);
    std::string head(PET_NAME_READ, '\0');
    stream.read(head.data(), std::streamsize(head.size()));
    head.resize(size_t(stream.gcount()));
    name = pet_display_name(head, folder_name);
    fresh.by_path[path] = {stamp, size, *name};
    return true;
}

}  // namespace

bool pet_name_valid(std::string_view name)
{
    if (name.empty() || name.size() > NAME_LIMIT || name.find("..") != std::string_view::npos)
        return false;
    // A trailing dot or blank is dropped by Windows, which would open another folder.
    if (name == "." || name.back() == '.' || name.back() == ' ')
        return false;
    // The settings file trims a value and drops one pair of quotes round it:
    // such a name, once saved, would read back as another.
    const bool quoted =
        name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front();
    if (name.front() == ' ' || quoted)
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || c == ':' || byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

namespace {

// A folder an environment variable names, or empty. Relative values are to
// be ignored, as the XDG rules say.
std::string variable_folder(const char* variable)
{
    const char* value = std::getenv(variable);
#ifdef _WIN32
    return value ? value : "";
#else
    return value && value[0] == '/' ? value : "";
#endif
}

}  // namespace

std::vector<std::string> pet_places(const std::string& program_folder)
{
    std::vector<std::string> places;
    bool named = false;  // by the last PLACE_UNDER_VARIABLE
    for (const PetPlace& place : PET_PLACES) {
        if (place.base == PLACE_BESIDE_PROGRAM && !program_folder.empty())
            places.push_back(join(program_folder, place.folder));
        // An installed program stands in <prefix>/bin (a Debian game in
        // <prefix>/games), its data in <prefix>/share.
        for (const char* bin : {"/bin", "/games"}) {
            const size_t at = program_folder.rfind(bin);
            if (place.base == PLACE_UNDER_PREFIX && at != std::string::npos &&
                at + std::strlen(bin) == program_folder.size())
                places.push_back(program_folder.substr(0, at + 1) + place.folder);
        }
        if (place.base == PLACE_UNDER_VARIABLE || (place.base == PLACE_ELSE_VARIABLE && !named)) {
            const std::string folder = variable_folder(place.variable);
            named = !folder.empty();
            if (named)
                places.push_back(join(folder, place.folder));
        }
    }
    return places;
}

std::vector<PetEntry> pets_found(const std::vector<std::string>& places, size_t limit, PetNameCache* names,
                                 size_t* unlisted)
{
    std::vector<PetEntry> found;
    std::set<std::string> seen;
    size_t more = 0;
    PetNameCache fresh;
    for (const std::string& place : places) {
        std::vector<std::string> folders;
        std::error_code error;
        for (fs::directory_iterator it(as_path(place), error), end; !error && it != end; it.increment(error)) {
            const std::string name = as_text(it->path().filename());
            if (pet_name_valid(name) && is_folder(it->path()))
                folders.push_back(name);
        }
        std::sort(folders.begin(), folders.end());
        for (const std::string& folder : folders) {
            const std::string path = join(place, folder);
            error.clear();
            // Only a folder with a sheet is a pet; the sheet is not read here.
            const auto has = [&](const char* file) {
                std::error_code ignored;
                return fs::symlink_status(as_path(join(path, file)), ignored).type() == fs::file_type::regular;
            };
            if (seen.count(folder) || !(has(PET_SHEET_FILE) || has(PET_PNG_SHEET_FILE)))
                continue;
            std::optional<std::string> name;
            if (!pet_ini_name(path, names, fresh, found.size() < limit, name))
                continue;
            seen.insert(folder);
            if (found.size() < limit)
                found.push_back({folder, name ? *name : pet_display_name(std::nullopt, folder), path});
            else
                ++more;
        }
    }
    if (names)
        *names = std::move(fresh);
    if (unlisted)
        *unlisted = more;
    return found;
}

std::string pet_path(const std::vector<std::string>& places, std::string_view folder)
{
    if (!pet_name_valid(folder))
        return {};
    for (const std::string& place : places) {
        const std::string path = join(place, std::string(folder));
        if (is_folder(as_path(path)))
            return path;
    }
    return {};
}

std::string pet_display_name(const std::optional<std::string>& ini, const std::string& folder)
{
    if (!ini)
        return one_line_name(folder);
    std::optional<std::string> name = ini_get(*ini, "Pet", "Name");
    if (!name || name->empty() || name->size() > NAME_LIMIT)
        return one_line_name(folder);
    for (const char c : *name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return one_line_name(folder);
    return one_line_name(*name);
}

Bitmap mask_from_sheet(const Bitmap& sheet)
{
    Bitmap mask;
    mask.width = sheet.width;
    mask.height = sheet.height;
    mask.bits_per_pixel = 1;
    mask.palette = {0x000000, 0xFFFFFF};
    mask.indices.resize(sheet.pixels.size());
    mask.pixels.resize(sheet.pixels.size());
    for (size_t p = 0; p < sheet.pixels.size(); ++p) {
        const bool pet = (sheet.pixels[p] & 0xFFFFFF) != KEY_COLOUR;
        mask.indices[p] = pet ? 1 : 0;
        mask.pixels[p] = mask.palette[mask.indices[p]];
    }
    return mask;
}

bool pet_decode(const PetFiles& files, PetFolder& pet, std::string& message)
{
    if (!read_pet_cells(files.ini, pet.cells, message) || !decode_sheet(files, pet, message) ||
        !decode_mask(files, pet, message) || !some_image_visible(pet, message))
        return false;
    pet.has_script = files.script.has_value();
    if (pet.has_script && !parse_script_file(*files.script, pet.script, message, ScriptLength::any)) {
        message = std::string(PET_SCRIPT_FILE) + ": " + message;
        return false;
    }
    return true;
}

bool pet_folder_load(const std::string& path, PetFolder& pet, std::string& message)
{
    std::string folder = as_text(as_path(path).filename());
    if (folder.empty())
        folder = as_text(as_path(path).parent_path().filename());
    PetFiles files;
    pet.name = folder.empty() ? path : folder;
    std::string problem;
    if (!is_folder(as_path(path))) {
        message = pet.name + ": there is no such pet folder";
        return false;
    }
    if (!read_member(path, PET_INI_FILE, TEXT_LIMIT, files.ini, problem)) {
        message = pet.name + ": " + problem;
        return false;
    }
    pet.name = pet_display_name(files.ini, pet.name);
    const bool read = read_member(path, PET_SHEET_FILE, PICTURE_LIMIT, files.sheet, problem) &&
                      read_member(path, PET_PNG_SHEET_FILE, PICTURE_LIMIT, files.png_sheet, problem) &&
                      read_member(path, PET_MASK_FILE, PICTURE_LIMIT, files.mask, problem) &&
                      read_member(path, PET_SCRIPT_FILE, TEXT_LIMIT, files.script, problem);
    if (!read || !pet_decode(files, pet, problem)) {
        message = pet.name + ": " + problem;
        return false;
    }
    return true;
}

PetState* pet_engine_start(const PetFolder& folder, const Room& room, int32_t timer_ms, uint32_t seed,
                           std::string& messages)
{
    const ScriptText& script = folder.has_script ? folder.script.text : builtin_script();
    Collected collected = {&folder.name, &messages, folder.image_cells,
                           folder.has_script ? &folder.script.action_lines : nullptr, carried_actions(script)};
    PetState* pet =
        pet_init(script, room, timer_ms, seed, {collect_message, &collected, folder.has_script}, folder.cells.size);
    if (pet) {
        const int32_t highest = highest_image(pet);
        if (highest > folder.image_cells) {
            messages += folder.name + ": the script shows image " + std::to_string(highest) + ", but " +
                        folder.sheet_file + " holds " + std::to_string(folder.image_cells) + "\n";
            pet_release(pet);
            pet = nullptr;
        }
    }
    // The pet starts on its first action's first image: that one must show.
    const Action* start = pet ? &pet->actions[pet->start_action - 1] : nullptr;
    const int32_t start_image = start && start->frame_count > 0 ? std::abs(start->frames[0]) : 0;
    if (start_image > 0 && !image_visible(folder, start_image)) {
        messages += folder.name + ": the pet starts on image " + std::to_string(start_image) +
                    ", which has no pixel that can be seen\n";
        pet_release(pet);
        pet = nullptr;
    }
    if (!messages.empty() && messages.back() == '\n')
        messages.pop_back();
    return pet;
}
