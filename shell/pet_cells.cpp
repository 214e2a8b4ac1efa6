// Cell sizes from pet.ini, read with their line numbers so that a message
// can point at the line, and the sheet's cells put into squares.
#include "shell/pet_cells.h"

#include <algorithm>
#include <string_view>

#include "support/ini.h"
#include "support/plain_text.h"

namespace {

// A key of [Pet] as the INI rules find it, and its line (0: not there).
struct Found {
    std::string value;
    size_t line = 0;
};

Found find_key(std::string_view text, const char* key)
{
    Found found;
    found.value = ini_get(text, "Pet", key, &found.line).value_or(std::string());
    return found;
}

// A whole number of at most 4 digits, or -1.
int32_t small_number(std::string_view text)
{
    if (text.empty() || text.size() > 4)
        return -1;
    int32_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string at_line(const Found& found, const char* key)
{
    // The value is the author's: shown plain, and not at any length.
    const std::string_view value = std::string_view(found.value).substr(0, 24);
    return "pet.ini line " + std::to_string(found.line) + ": " + key + "=" + escape_controls(std::string(value)) +
           (value.size() < found.value.size() ? "..." : "");
}

}  // namespace

bool read_pet_cells(const std::optional<std::string>& ini, PetCells& cells, std::string& message)
{
    cells = PetCells{};
    if (!ini)
        return true;
    const Found width = find_key(*ini, CELL_WIDTH_KEY), height = find_key(*ini, CELL_HEIGHT_KEY);
    int32_t sides[2] = {0, 0};
    const Found* found[2] = {&width, &height};
    const char* keys[2] = {CELL_WIDTH_KEY, CELL_HEIGHT_KEY};
    for (int k = 0; k < 2; ++k) {
        if (!found[k]->line)
            continue;
        sides[k] = small_number(found[k]->value);
        if (sides[k] < MIN_CELL || sides[k] > MAX_CELL) {
            message = at_line(*found[k], keys[k]) + "; a cell is " + std::to_string(MIN_CELL) + " to " +
                      std::to_string(MAX_CELL) + " pixels";
            return false;
        }
    }
    cells.size.width = sides[0] ? sides[0] : sides[1] ? sides[1] : SPRITE_SIZE;
    cells.size.height = sides[1] ? sides[1] : cells.size.width;
    cells.side = std::max(cells.size.width, cells.size.height);
    const Found columns = find_key(*ini, COLUMNS_KEY);
    if (columns.line) {
        cells.columns = small_number(columns.value);
        cells.columns_line = int32_t(columns.line);
        if (cells.columns < 1) {
            message = at_line(columns, COLUMNS_KEY) + "; the columns are a whole number, 1 or more";
            return false;
        }
    }
    return true;
}

Bitmap lay_out_cells(const Bitmap& sheet, const PetCells& cells, int32_t count, uint32_t fill, uint8_t fill_index)
{
    const int32_t columns = std::max(1, std::min(cells.columns, count));
    const int32_t rows = (count + columns - 1) / columns, side = cells.side;
    const CellSize size = cells.size;
    Bitmap out;
    out.width = columns * side;
    out.height = rows * side;
    out.bits_per_pixel = sheet.bits_per_pixel;
    out.palette = sheet.palette;
    const size_t total = size_t(out.width) * size_t(out.height);
    const bool indexed = !sheet.indices.empty();
    out.pixels.assign(total, fill);
    if (indexed)
        out.indices.assign(total, fill_index);
    for (int32_t image = 0; image < count; ++image) {
        const int32_t from_x = image % cells.columns * size.width, from_y = image / cells.columns * size.height;
        const int32_t to_x = image % columns * side, to_y = image / columns * side;
        for (int32_t y = 0; y < size.height; ++y) {
            const size_t from = size_t(from_y + y) * size_t(sheet.width) + size_t(from_x);
            const size_t to = size_t(to_y + y) * size_t(out.width) + size_t(to_x);
            std::copy_n(sheet.pixels.begin() + ptrdiff_t(from), size.width, out.pixels.begin() + ptrdiff_t(to));
            if (indexed)
                std::copy_n(sheet.indices.begin() + ptrdiff_t(from), size.width, out.indices.begin() + ptrdiff_t(to));
        }
    }
    return out;
}
