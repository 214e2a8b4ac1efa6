// One behaviour step of the built-in script on a 1024x768 screen. The pet
// runs for the whole measurement, so choices, probes and dislike scans are
// averaged in at the rate the script makes them.
#include <benchmark/benchmark.h>

#include "engine/engine.h"

namespace {

void quiet(void*, const char*) {}

void BM_pet_step_builtin(benchmark::State& state)
{
    const Room room = {0, 0, 1024, 768, 0, 0, 0, 0};
    PetState* pet = pet_init(builtin_script(), room, 150, 12345, ScriptMessages{quiet, nullptr});
    if (!pet) {
        state.SkipWithError("the built-in script did not load");
        return;
    }
    for (auto _ : state) {
        pet_step(pet, room);
        benchmark::DoNotOptimize(pet->current_image);
    }
    pet_release(pet);
}
BENCHMARK(BM_pet_step_builtin)->MinTime(1.0);

}  // namespace
