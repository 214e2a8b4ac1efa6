// One behaviour step of the built-in script on a 1024x768 screen. The pet
// runs for the whole measurement, so choices, probes and dislike scans are
// averaged in at the rate the script makes them.
#include <benchmark/benchmark.h>

#include "engine/engine.h"

namespace {

void quiet(const char*) {}
uint32_t fixed_seconds()
{
    return 12345;
}

void BM_pet_step_builtin(benchmark::State& state)
{
    screen_width = 1024;
    screen_height = 768;
    settings = Settings{MODE_STANDARD, 0, 0, 0, 0, 150};
    engine_host = {quiet, fixed_seconds};
    if (!pet_init()) {
        state.SkipWithError("the built-in script did not load");
        return;
    }
    for (auto _ : state) {
        pet_step();
        benchmark::DoNotOptimize(pet->current_image);
    }
    pet_release();
}
BENCHMARK(BM_pet_step_builtin)->MinTime(1.0);

}  // namespace
