#include "tools/sim/pet_pictures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "engine/engine.h"
#include "graphics/sprites.h"
#include "tools/sim/output_folder.h"

namespace {

// Small cells are shown twice their size, large ones as they are.
int scale_of(const PetFolder& folder)
{
    return folder.cells.side <= 2 * SPRITE_SIZE ? 2 : 1;
}
constexpr uint32_t GROUND = 0xF6F2E2;  // the key colour, shown softer
constexpr uint32_t PAPER = 0xFFFFFF;
constexpr uint32_t INK = 0x46464F;
// Longest travel an action's preview shows; a longer one is cut off.
constexpr int TRAVEL_LIMIT = 400;

// Digits 3 pixels wide and 5 high, row by row.
constexpr const char* DIGITS[] = {"111101101101111", "010110010010111", "111001111100111", "111001111001111",
                                  "101101111001001", "111100111001111", "111100111101111", "111001001001001",
                                  "111101111101111", "111101111001111"};

void put(Picture& canvas, int x, int y, uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < canvas.width && y < canvas.height)
        canvas.pixels[size_t(y) * size_t(canvas.width) + size_t(x)] = colour;
}

// Digits are drawn twice their size.
void draw_number(Picture& canvas, int number, int ox, int oy)
{
    constexpr int SCALE = 2;
    const std::string text = std::to_string(number);
    for (size_t k = 0; k < text.size(); ++k)
        for (int i = 0; i < 15; ++i)
            if (DIGITS[text[k] - '0'][i] == '1')
                for (int j = 0; j < SCALE * SCALE; ++j)
                    put(canvas, ox + (int(k) * 4 + i % 3) * SCALE + j % SCALE, oy + (i / 3) * SCALE + j / SCALE, INK);
}

// Image `image` (1-based, negative mirrored) at (ox, oy), at the folder's scale:
// the cell as the author drew it (mirrored within its own width).
void draw_image(Picture& canvas, const PetFolder& folder, int image, int ox, int oy)
{
    const int scale = scale_of(folder), side = folder.cells.side, columns = folder.sheet.width / side;
    const CellSize size = folder.cells.size;
    const int number = std::abs(image) - 1;
    const int cx = (number % columns) * side;
    const int cy = (number / columns) * side;
    for (int y = 0; y < size.height * scale; ++y)
        for (int x = 0; x < size.width * scale; ++x) {
            const int sx = image < 0 ? size.width - 1 - x / scale : x / scale;
            const uint32_t p =
                folder.sheet.pixels[size_t(cy + y / scale) * size_t(folder.sheet.width) + size_t(cx + sx)];
            put(canvas, ox + x, oy + y, (p & 0xFFFFFF) == KEY_COLOUR ? GROUND : p & 0xFFFFFF);
        }
}

// What gif_encode makes of a frame: 9 bits a pixel, a clear code every 250.
size_t gif_frame_bytes(size_t pixels)
{
    return pixels * 9 / 8 + pixels / 250 * 2 + pixels / 255 + 32;
}

constexpr size_t GIF_HEAD_BYTES = 6 + 7 + 768 + 19 + 1;

}  // namespace

Picture contact_sheet(const PetFolder& folder)
{
    constexpr int gap = 6, label = 14;
    const int columns = std::max(1, std::min(12, folder.image_cells));
    const int rows = (folder.image_cells + columns - 1) / columns;
    const int cell_width = folder.cells.size.width * scale_of(folder);
    const int cell_height = folder.cells.size.height * scale_of(folder);
    Picture canvas;
    canvas.width = columns * (cell_width + gap) + gap;
    canvas.height = rows * (cell_height + label + gap) + gap;
    canvas.pixels.assign(size_t(canvas.width) * size_t(canvas.height), PAPER);
    for (int i = 0; i < folder.image_cells; ++i) {
        const int ox = gap + (i % columns) * (cell_width + gap);
        const int oy = gap + (i / columns) * (cell_height + label + gap);
        draw_number(canvas, i + 1, ox + 2, oy + 1);
        draw_image(canvas, folder, i + 1, ox, oy + label);
    }
    return canvas;
}

std::vector<Picture> action_frames(const PetFolder& folder, const PetState* pet, int action, int frame_limit)
{
    const Action& a = pet->actions[action];
    const int steps = a.frame_count - 1;
    const int travel_x = std::min(TRAVEL_LIMIT, int(std::min<int64_t>(TRAVEL_LIMIT, std::abs(int64_t{a.dx}) * steps)));
    const int travel_y = std::min(TRAVEL_LIMIT, int(std::min<int64_t>(TRAVEL_LIMIT, std::abs(int64_t{a.dy}) * steps)));
    const int scale = scale_of(folder);
    Picture ground;
    ground.width = (folder.cells.size.width + travel_x) * scale;
    ground.height = (folder.cells.size.height + travel_y) * scale;
    ground.pixels.assign(size_t(ground.width) * size_t(ground.height), GROUND);
    int64_t x = a.dx < 0 ? travel_x : 0;
    int64_t y = a.dy < 0 ? travel_y : 0;
    std::vector<Picture> frames;
    for (int t = 0; t < std::min(a.frame_count, frame_limit); ++t, x += a.dx, y += a.dy) {
        frames.push_back(ground);
        const int fx = int(std::clamp<int64_t>(x, 0, travel_x));
        const int fy = int(std::clamp<int64_t>(y, 0, travel_y));
        draw_image(frames.back(), folder, a.frames[t], fx * scale, fy * scale);
    }
    return frames;
}

bool write_pet_pictures(const PetFolder& folder, const PetState* pet, int32_t timer_ms, const std::string& out_folder,
                        std::vector<std::string>& cuts, std::string& error)
{
    std::string data = png_encode(contact_sheet(folder));
    if (!write_own_file(out_folder, "contact.png", "\x89PNG", data, error))
        return false;
    size_t total = data.size();
    // The program's tick, in the hundredths of a second GIF counts in.
    const int delay = std::max(2, timer_ms / 10);
    // A short script's table is filled with copies of its first action: not shown.
    const int actions = folder.has_script ? folder.script.actions_written : pet->action_count;
    for (int i = 0; i < actions; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "action-%02d.gif", i + 1);
        // One frame's size is known before any is drawn: the ground's.
        const size_t frame_bytes = gif_frame_bytes(action_frames(folder, pet, i, 1).front().pixels.size());
        const size_t room = std::min(GIF_BYTES_LIMIT, PICTURE_BYTES_LIMIT - std::min(total, PICTURE_BYTES_LIMIT));
        const int fits =
            int(std::min<size_t>(room > GIF_HEAD_BYTES ? (room - GIF_HEAD_BYTES) / frame_bytes : 0, 1 << 30));
        if (fits == 0) {
            cuts.push_back(std::string(name) + " and the actions after it are not written: the pictures reached " +
                           std::to_string(PICTURE_BYTES_LIMIT >> 20) + " MB");
            break;
        }
        const int frame_count = pet->actions[i].frame_count;
        if (fits < frame_count)
            cuts.push_back(std::string(name) + ": the first " + std::to_string(fits) + " of " +
                           std::to_string(frame_count) + " frames (" + std::to_string(GIF_BYTES_LIMIT >> 20) +
                           " MB an action)");
        data = gif_encode(action_frames(folder, pet, i, fits), delay);
        if (!write_own_file(out_folder, name, "GIF89a", data, error))
            return false;
        total += data.size();
    }
    return true;
}
