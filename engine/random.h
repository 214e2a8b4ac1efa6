// The one pseudo-random generator of the program, the same on every platform
// (the C library generator of Windows), so runs can be reproduced from a seed.
#pragma once

#include <cstdint>

void random_seed(uint32_t seed);
int32_t random_draw();  // 0 ... 32767
