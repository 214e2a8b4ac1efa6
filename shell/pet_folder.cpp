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
#include "graphics/sprites.h"
#include "shell/pet_places.h"
#include "support/ini.h"
#include "support/plain_text.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t SHEET_WIDTH = PET_COLUMNS * SPRITE_SIZE;
constexpr int32_t SHEET_HEIGHT = PET_ROWS * SPRITE_SIZE;
// Far above what a sheet of this grid takes in any depth, far below harm.
constexpr uintmax_t PICTURE_LIMIT = 4u << 20;
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

// Adds rows below the picture until it fills the grid.
void pad_rows(Bitmap& picture, uint32_t pixel, uint8_t index)
{
    const size_t total = size_t(SHEET_WIDTH) * SHEET_HEIGHT;
    if (picture.height >= SHEET_HEIGHT)
        return;
    picture.pixels.resize(total, pixel);
    if (!picture.indices.empty())
        picture.indices.resize(total, index);
    picture.height = SHEET_HEIGHT;
}

bool decode_sheet(const PetFiles& files, PetFolder& pet, std::string& message)
{
    if (!files.sheet) {
        message = std::string(PET_SHEET_FILE) + " is missing";
        return false;
    }
    if (!decode_picture(*files.sheet, PET_SHEET_FILE, pet.sheet, message))
        return false;
    if (pet.sheet.width != SHEET_WIDTH || pet.sheet.height < SPRITE_SIZE || pet.sheet.height > SHEET_HEIGHT) {
        message = std::string(PET_SHEET_FILE) + ": " + std::to_string(pet.sheet.width) + " x " +
                  std::to_string(pet.sheet.height) +
                  " pixels; a sheet is 840 pixels wide (20 images of 42) "
                  "and 42 to 252 pixels high";
        return false;
    }
    pet.image_cells = std::min(PET_IMAGES, PET_COLUMNS * (pet.sheet.height / SPRITE_SIZE));
    // Only the colours are drawn; the mask is checked against the size as given.
    pet.sheet.indices.clear();
    pet.sheet_height = pet.sheet.height;
    pad_rows(pet.sheet, KEY_COLOUR, 0);
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
    if (pet.mask.width != pet.sheet.width || pet.mask.height != pet.sheet_height) {
        message = std::string(PET_MASK_FILE) + ": " + std::to_string(pet.mask.width) + " x " +
                  std::to_string(pet.mask.height) + " pixels; the sheet is " + std::to_string(pet.sheet.width) + " x " +
                  std::to_string(pet.sheet_height);
        return false;
    }
    const uint8_t outside = outside_index(pet.mask);
    pad_rows(pet.mask, pet.mask.palette.size() > outside ? pet.mask.palette[outside] : 0, outside);
    return true;
}

// Whether image `image` (1-based) of the sheet shows at least one pixel: one
// the mask keeps that is not of the key colour (which a compositor shows
// see-through).
bool image_visible(const PetFolder& pet, int32_t image)
{
    const uint8_t outside = outside_index(pet.mask);
    const int32_t left = (image - 1) % PET_COLUMNS * SPRITE_SIZE;
    const int32_t top = (image - 1) / PET_COLUMNS * SPRITE_SIZE;
    for (int32_t y = top; y < top + SPRITE_SIZE && y < pet.sheet_height; ++y)
        for (int32_t x = left; x < left + SPRITE_SIZE; ++x) {
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
    message = std::string(PET_SHEET_FILE) +
              ": no pixel can be seen (all of the key colour, or outside the mask); the pet could not be found to "
              "be clicked";
    return false;
}

// Where a pet's loader messages go: each line after the pet's name.
struct Collected {
    const std::string* name;
    std::string* text;
};

void collect_message(void* context, const char* text)
{
    const Collected& collected = *static_cast<const Collected*>(context);
    *collected.text += *collected.name + ": " + text + "\n";
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
            if (seen.count(folder) ||
                fs::symlink_status(as_path(join(path, PET_SHEET_FILE)), error).type() != fs::file_type::regular)
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
    if (!decode_sheet(files, pet, message) || !decode_mask(files, pet, message) || !some_image_visible(pet, message))
        return false;
    pet.has_script = files.script.has_value();
    if (pet.has_script && !parse_script_file(*files.script, pet.script, message)) {
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
    Collected collected = {&folder.name, &messages};
    const ScriptText& script = folder.has_script ? folder.script.text : builtin_script();
    PetState* pet = pet_init(script, room, timer_ms, seed, {collect_message, &collected});
    if (pet) {
        const int32_t highest = highest_image(pet);
        if (highest > folder.image_cells) {
            messages += folder.name + ": the script shows image " + std::to_string(highest) + ", but " +
                        PET_SHEET_FILE + " holds " + std::to_string(folder.image_cells) + "\n";
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
