#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "graphics/key_runs.h"

namespace {

constexpr uint32_t K = 0xFF00FF;  // the key

struct KeyRun {
    int32_t row, start, end;
    bool operator==(const KeyRun&) const = default;
};

TEST(KeyRuns, RunsBetweenKeyPixelsWithinTheClip)
{
    // Four rows of six: the top byte never counts, runs may touch either edge.
    const std::array<uint32_t, 24> pixels = {
        K,           K, K, K,  K,  K,                //
        1,           2, K, 3,  K,  0xAB000000u | K,  //
        4,           K, K, 5,  6,  7,                //
        0x01000000u, 8, 9, 10, 11, 12,               //
    };
    struct Case {
        int32_t first_row, end_row, first_column, end_column;
        std::vector<KeyRun> runs;
    };
    const Case cases[] = {
        {0, 4, 0, 6, {{1, 0, 2}, {1, 3, 4}, {2, 0, 1}, {2, 3, 6}, {3, 0, 6}}},
        {1, 3, 1, 5, {{1, 1, 2}, {1, 3, 4}, {2, 3, 5}}},  // clipped on every side
        {0, 1, 0, 6, {}},                                 // all key
        {3, 3, 0, 6, {}},                                 // no rows
    };
    for (const Case& c : cases) {
        std::vector<KeyRun> runs;
        for_each_unkeyed_run(pixels.data(), 6, c.first_row, c.end_row, c.first_column, c.end_column, K,
                             [&](int32_t row, int32_t start, int32_t end) {
                                 runs.push_back({row, start, end});
                             });
        EXPECT_EQ(runs, c.runs) << "rows " << c.first_row << "-" << c.end_row << ", columns " << c.first_column << "-"
                                << c.end_column;
    }
}

}  // namespace
