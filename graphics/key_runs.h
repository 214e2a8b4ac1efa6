// A picture drawn "keyed": the pixels of the key colour are left out, and
// what is left goes to the screen a run of neighbouring pixels at a time.
// Shared by every platform's keyed drawing.
#pragma once

#include <cstddef>
#include <cstdint>

// Calls draw(row, start, end) for each run [start, end) of pixels that are
// not `key` (the top byte of a pixel is ignored) in the rows [first_row,
// end_row) and columns [first_column, end_column) of a picture `width` wide.
template <typename Draw>
void for_each_unkeyed_run(const uint32_t* pixels, int32_t width, int32_t first_row, int32_t end_row,
                          int32_t first_column, int32_t end_column, uint32_t key, Draw&& draw)
{
    for (int32_t row = first_row; row < end_row; ++row) {
        const uint32_t* line = pixels + static_cast<size_t>(row) * static_cast<size_t>(width);
        int32_t column = first_column;
        while (column < end_column) {
            while (column < end_column && (line[column] & 0xFFFFFF) == key)
                ++column;
            const int32_t start = column;
            while (column < end_column && (line[column] & 0xFFFFFF) != key)
                ++column;
            if (column > start)
                draw(row, start, column);
        }
    }
}
