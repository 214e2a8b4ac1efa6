#include "engine/random.h"

void random_seed(Random& random, uint32_t seed)
{
    random.state = seed;
}

int32_t random_draw(Random& random)
{
    random.state = random.state * 214013u + 2531011u;
    return static_cast<int32_t>((random.state >> 16) & 0x7FFF);
}
