#include "tools/sim/sheet_warnings.h"

#include "graphics/sprites.h"

namespace {

// Yellow enough to be taken for a fringe of the key colour (anti-aliased
// art on a yellow ground), but not the key colour itself.
bool near_key(uint32_t colour)
{
    const uint32_t red = colour >> 16 & 0xFF, green = colour >> 8 & 0xFF, blue = colour & 0xFF;
    return (colour & 0xFFFFFF) != KEY_COLOUR && red >= 0xC0 && green >= 0xC0 && blue <= 0x60;
}

}  // namespace

std::vector<std::string> sheet_warnings(const PetFolder& folder)
{
    const Bitmap& mask = folder.mask;
    const uint8_t outside = !mask.palette.empty() && (mask.palette[0] & 0xFFFFFF) != 0 ? 1 : 0;
    // Cells as the author drew them, in the sheet laid out in squares.
    const int32_t width = folder.sheet.width, side = folder.cells.side, columns = width / side;
    const CellSize cell = folder.cells.size;
    size_t see_through = 0, fringe = 0;
    for (int32_t image = 0; image < folder.image_cells; ++image) {
        const int32_t left = image % columns * side, top = image / columns * side;
        auto pet_at = [&](int32_t x, int32_t y) {
            return x >= 0 && y >= 0 && x < cell.width && y < cell.height &&
                   mask.indices[size_t(top + y) * size_t(width) + size_t(left + x)] != outside;
        };
        for (int32_t y = 0; y < cell.height; ++y)
            for (int32_t x = 0; x < cell.width; ++x) {
                if (!pet_at(x, y)) {
                    ++see_through;
                    continue;
                }
                const bool edge = !pet_at(x - 1, y) || !pet_at(x + 1, y) || !pet_at(x, y - 1) || !pet_at(x, y + 1);
                if (edge && near_key(folder.sheet.pixels[size_t(top + y) * size_t(width) + size_t(left + x)]))
                    ++fringe;
            }
    }
    std::vector<std::string> warnings;
    const std::string file = folder.sheet_file;
    if (see_through == 0)
        warnings.push_back(file +
                           ": no pixel is of the key colour (255, 255, 0) or see-through, and no mask says otherwise: "
                           "every image shows as a solid block");
    if (fringe > 0)
        warnings.push_back(file + ": " + std::to_string(fringe) +
                           " pixels at the pet's edges are nearly the key colour, a yellow fringe on the desktop: "
                           "draw the edges against clear pixels (a PNG with alpha) or the key colour itself");
    return warnings;
}
