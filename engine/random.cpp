#include "engine/random.h"

static uint32_t random_state = 1;

void random_seed(uint32_t seed)
{
    random_state = seed;
}

int32_t random_draw()
{
    random_state = random_state * 214013u + 2531011u;
    return static_cast<int32_t>((random_state >> 16) & 0x7FFF);
}
