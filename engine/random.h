// The one pseudo-random generator of the program, the same on every platform
// (the C library generator of Windows), so runs can be reproduced from a seed.
// Each pet carries its own state, so two pets never share a sequence.
#pragma once

#include <cstdint>

struct Random {
    uint32_t state;
};

void random_seed(Random& random, uint32_t seed);
int32_t random_draw(Random& random);  // 0 ... 32767
