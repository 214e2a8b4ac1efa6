// Importing a Shimeji image set: frames read as strangers' files (regular
// files only, bounded in size, decoded by the PNG decoder the program uses),
// one sheet of them, and a script of ours for the poses.
#include "tools/sim/shimeji_import.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

#include "engine/shared.h"
#include "graphics/png.h"
#include "shell/pet_cells.h"
#include "support/plain_text.h"
#include "tools/sim/output_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr uintmax_t FRAME_FILE_LIMIT = 4u << 20;

fs::path as_path(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

struct Frames {
    std::vector<std::optional<AlphaPicture>> pictures;  // by frame number - 1
    CellSize size{0, 0};
};

// Reads every frame the set has; false with a message naming the file that cannot be taken.
bool read_frames(const std::string& set_folder, Frames& frames, std::string& message)
{
    frames.pictures.resize(SHIMEJI_FRAMES);
    for (int number = 1; number <= SHIMEJI_FRAMES; ++number) {
        const std::string name = "shime" + std::to_string(number) + ".png";
        const fs::path path = as_path(set_folder) / name;
        std::error_code error;
        const fs::file_type type = fs::symlink_status(path, error).type();
        if (type == fs::file_type::not_found)
            continue;
        const uintmax_t bytes = type == fs::file_type::regular ? fs::file_size(path, error) : 0;
        if (error || type != fs::file_type::regular || bytes > FRAME_FILE_LIMIT) {
            message = name + (type != fs::file_type::regular ? " is not a regular file"
                              : bytes > FRAME_FILE_LIMIT     ? " is too large"
                                                             : " cannot be read");
            return false;
        }
        std::ifstream stream(path, std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        AlphaPicture picture;
        std::string problem;
        if (!png_decode(reinterpret_cast<const uint8_t*>(data.data()), data.size(), &picture, &problem)) {
            message = name + ": " + problem;
            return false;
        }
        if (frames.size.width == 0)
            frames.size = {picture.width, picture.height};
        if (picture.width != frames.size.width || picture.height != frames.size.height) {
            message = name + ": " + std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                      " pixels; the frames before it are " + std::to_string(frames.size.width) + " x " +
                      std::to_string(frames.size.height);
            return false;
        }
        frames.pictures[size_t(number - 1)] = std::move(picture);
    }
    if (!frames.pictures[0]) {
        message = "shime1.png is missing: a set without its standing frame is no pet";
        return false;
    }
    if (std::min(frames.size.width, frames.size.height) < MIN_CELL ||
        std::max(frames.size.width, frames.size.height) > MAX_CELL) {
        message = "shime1.png: " + std::to_string(frames.size.width) + " x " + std::to_string(frames.size.height) +
                  " pixels; a pet's frames are " + std::to_string(MIN_CELL) + " to " + std::to_string(MAX_CELL);
        return false;
    }
    return true;
}

// The frames in SHIMEJI_COLUMNS columns, as an RGBA PNG; a missing frame's cell is clear.
std::string sheet_png(const Frames& frames)
{
    const int32_t width = SHIMEJI_COLUMNS * frames.size.width;
    const int32_t rows = (SHIMEJI_FRAMES + SHIMEJI_COLUMNS - 1) / SHIMEJI_COLUMNS;
    const int32_t height = rows * frames.size.height;
    std::vector<uint32_t> sheet(size_t(width) * size_t(height), 0);
    for (int i = 0; i < SHIMEJI_FRAMES; ++i) {
        if (!frames.pictures[size_t(i)])
            continue;
        const std::vector<uint32_t>& pixels = frames.pictures[size_t(i)]->pixels;
        const int32_t left = i % SHIMEJI_COLUMNS * frames.size.width, top = i / SHIMEJI_COLUMNS * frames.size.height;
        for (int32_t y = 0; y < frames.size.height; ++y)
            std::copy_n(pixels.begin() + ptrdiff_t(y) * frames.size.width, frames.size.width,
                        sheet.begin() + ptrdiff_t(top + y) * width + left);
    }
    std::string scanlines;
    scanlines.reserve(size_t(height) * (size_t(width) * 4 + 1));
    for (int32_t y = 0; y < height; ++y) {
        scanlines += '\0';
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = sheet[size_t(y) * size_t(width) + size_t(x)];
            scanlines += {char(p >> 16), char(p >> 8), char(p), char(p >> 24)};
        }
    }
    return png_file(width, height, 8, 6, scanlines);
}

// The pose's frames (or its first alone), each shown `hold` ticks; a frame
// the set lacks is its standing one.
std::string pose_images(const Frames& frames, const char* pose, int hold = 1, bool first_alone = false)
{
    const char* list = "1";
    for (const ShimejiPose& p : SHIMEJI_POSES)
        if (std::string_view(p.name) == pose)
            list = p.frames;
    std::string images;
    for (std::string_view rest = list; !rest.empty();) {
        const size_t comma = std::min(rest.find(','), rest.size());
        const std::string number(rest.substr(0, comma));
        rest = first_alone ? std::string_view() : rest.substr(std::min(comma + 1, rest.size()));
        const bool present = frames.pictures[size_t(std::stoi(number) - 1)].has_value();
        for (int k = 0; k < hold; ++k)
            images += (images.empty() ? "" : ",") + (present ? number : std::string("1"));
    }
    return images;
}

// Our script for the poses. It starts falling, so that it lands below where
// it starts (a fall may also end in the air now and then: this engine's pets
// live on the whole desk); it walks, climbs the side it meets, pausing on the
// way, hangs from the top and lets go, sits and sleeps; carried, it paddles,
// and dropped, it falls again. Every list holds an action that does not move,
// as the loader asks, so the pet can never be stuck.
std::string behaviour_script(const Frames& frames)
{
    struct Row {
        const char* pose;
        std::string images, next, dx, dy, x_bound, y_bound;
    };
    const Row rows[] = {
        {"fall", pose_images(frames, "fall", 4), "1-98,2-2", "", "10", "", "2-100"},
        {"stand", pose_images(frames, "stand", 4), "2-30,3-35,r3-15,6-10,7-10", "", "", "", ""},
        {"walk", pose_images(frames, "walk"), "3-80,2-20", "-4", "", "4-60,r3-30,2-10", ""},
        {"climb", pose_images(frames, "climb"), "4-80,8-15,1-5", "", "-4", "", "5-80,9-20"},
        {"hang", pose_images(frames, "hang"), "5-80,9-15,1-5", "3", "", "9-30,1-70", ""},
        {"sit", pose_images(frames, "sit", 6), "6-70,2-20,7-10", "", "", "", ""},
        {"sleep", pose_images(frames, "sleep", 8), "7-85,2-15", "", "", "", ""},
        {"cling to the side", pose_images(frames, "climb", 3, true), "8-40,4-50,1-10", "", "", "", ""},
        {"hold on to the top", pose_images(frames, "hang", 3, true), "9-40,5-45,1-15", "", "", "", ""},
        {"be carried", pose_images(frames, "be carried"), "10-100", "", "", "", ""},
    };
    std::string script =
        "# Dorrabee behaviour script, made by dorrabee-sim --import-shimeji from a set's images alone.\n"
        "# images\tnext\tdx\tdy\tx_bound\ty_bound\treach_x\treach_y\tsame_ratio\tdislikes\tdrag_action\t"
        "release_action\n";
    int number = 0;
    for (const Row& row : rows) {
        script += "# " + std::to_string(++number) + " " + row.pose + "\n";
        for (const std::string* cell : {&row.images, &row.next, &row.dx, &row.dy, &row.x_bound, &row.y_bound})
            script += *cell + "\t";
        script += "\t\t\t\t10\t1\n";
    }
    return script;
}

}  // namespace

int import_shimeji(const std::string& set_folder, const std::string& pet_folder, std::FILE* out)
{
    const std::string shown_set = escape_controls(set_folder), shown_pet = escape_controls(pet_folder);
    std::string error;
    std::error_code failed;
    if (fs::symlink_status(as_path(set_folder), failed).type() != fs::file_type::directory) {
        std::fprintf(out, "%s: there is no such folder\n", shown_set.c_str());
        return 1;
    }
    if (!output_folder_allowed(pet_folder, set_folder, error)) {
        std::fprintf(out, "%s: the pet is not written into the set's own folder (%s)\n", shown_set.c_str(),
                     shown_pet.c_str());
        return 2;
    }
    Frames frames;
    if (!read_frames(set_folder, frames, error)) {
        std::fprintf(out, "%s: %s\n", shown_set.c_str(), escape_controls(error).c_str());
        return 1;
    }
    // The set's folder names the pet when pet.ini can hold its name; else the pet folder does.
    fs::path base = as_path(set_folder).filename();
    if (base.empty())
        base = as_path(set_folder).parent_path().filename();
    const std::u8string base_text = base.u8string();
    const std::string name(base_text.begin(), base_text.end());
    const bool nameable = !name.empty() && name.size() <= 48 &&
                          std::none_of(name.begin(), name.end(), [](char c) { return uint8_t(c) < 0x20 || c == 0x7F; });
    const std::string ini = "[Pet]\n" + (nameable ? "Name=" + name + "\n" : std::string()) + CELL_WIDTH_KEY + "=" +
                            std::to_string(frames.size.width) + "\n" + CELL_HEIGHT_KEY + "=" +
                            std::to_string(frames.size.height) + "\n" + COLUMNS_KEY + "=" +
                            std::to_string(SHIMEJI_COLUMNS) + "\n";
    const bool written =
        output_folder_made(pet_folder, error) &&
        write_own_file(pet_folder, "sprites.png", "\x89PNG", sheet_png(frames), error) &&
        write_own_file(pet_folder, "behaviour.script", "# Dorrabee", behaviour_script(frames), error) &&
        write_own_file(pet_folder, "pet.ini", "[Pet]", ini, error);
    if (!written) {
        std::fprintf(out, "%s\n", escape_controls(error).c_str());
        return 2;
    }
    std::string missing;
    for (int i = 0; i < SHIMEJI_FRAMES; ++i)
        if (!frames.pictures[size_t(i)])
            missing += (missing.empty() ? "" : ", ") + std::to_string(i + 1);
    std::fprintf(out, "%s: %d x %d frames imported into %s%s\n", shown_set.c_str(), frames.size.width,
                 frames.size.height, shown_pet.c_str(),
                 missing.empty() ? "" : ("; the set has no frame " + missing + ": cells left clear").c_str());
    return 0;
}
