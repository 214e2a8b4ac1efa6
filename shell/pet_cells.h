// A pet's cells: their size and the sheet's columns as pet.ini gives them,
// and the sheet laid out again in square cells, the form every drawing rule
// (cell copy, outlines, zoom, the window) reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/shared.h"
#include "graphics/bmp.h"

constexpr char CELL_WIDTH_KEY[] = "CellWidth";
constexpr char CELL_HEIGHT_KEY[] = "CellHeight";
constexpr char COLUMNS_KEY[] = "Columns";

struct PetCells {
    CellSize size;             // as the author drew them: what the engine fences the pet by
    int32_t columns = 0;       // of the author's sheet; 0 until the sheet is known: as many as fit
    int32_t columns_line = 0;  // pet.ini's line that gave them, for a message; 0 when none did
    // The square each cell is drawn in: the larger of width and height. A
    // cell narrower or lower than that is padded on the right or below.
    int32_t side = SPRITE_SIZE;
};

// [Pet] CellWidth, CellHeight (MIN_CELL ... MAX_CELL; one given alone sets
// both, none gives SPRITE_SIZE) and Columns (1 or more). False with a message
// that names pet.ini's line.
bool read_pet_cells(const std::optional<std::string>& ini, PetCells& cells, std::string& message);

// The author's sheet as `count` square cells of cells.side, cells.columns a
// row, images in the same order; what no cell covers takes `fill` (and, in a
// picture with indices, `fill_index`).
Bitmap lay_out_cells(const Bitmap& sheet, const PetCells& cells, int32_t count, uint32_t fill, uint8_t fill_index);
