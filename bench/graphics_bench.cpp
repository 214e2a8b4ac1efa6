// Per-frame pixel work and outline building, on the real artwork when it is
// there (a synthetic sheet of the same layout otherwise).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/real_sheets.h"
#include "graphics/bmp.h"
#include "graphics/outline.h"
#include "graphics/sprites.h"
#include "graphics/zoom.h"

namespace {

void outline_build(benchmark::State& state)
{
    const Sprites& sprites = sheets().sprites;
    int32_t image = 0;
    for (auto _ : state) {
        Outline* outline = build_outline(sprites, image, image & 1);
        benchmark::DoNotOptimize(outline);
        delete outline;
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(outline_build);

void outline_precompute_all(benchmark::State& state)
{
    const Sprites& sprites = sheets().sprites;
    std::vector<Outline*> plain(IMAGE_COUNT), mirrored(IMAGE_COUNT);
    for (auto _ : state) {
        fill_outline_tables(sprites, plain.data(), mirrored.data(), IMAGE_COUNT);
        benchmark::DoNotOptimize(plain.data());
        state.PauseTiming();
        free_outline_table(plain.data(), IMAGE_COUNT);
        free_outline_table(mirrored.data(), IMAGE_COUNT);
        state.ResumeTiming();
    }
}
BENCHMARK(outline_precompute_all)->Unit(benchmark::kMicrosecond);

void key_composite_frame(benchmark::State& state)
{
    const Sprites& sprites = sheets().sprites;
    static uint32_t backdrop[CELL_PIXELS], cell[CELL_PIXELS], frame[CELL_PIXELS];
    for (int p = 0; p < CELL_PIXELS; ++p)
        backdrop[p] = uint32_t(p) * 0x010101;
    copy_cell(sprites, cell, 5, 0);
    for (auto _ : state) {
        key_composite(frame, backdrop, cell);
        benchmark::DoNotOptimize(frame);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(key_composite_frame);

void copy_cell_mirrored(benchmark::State& state)
{
    const Sprites& sprites = sheets().sprites;
    static uint32_t cell[CELL_PIXELS];
    int32_t image = 0;
    for (auto _ : state) {
        copy_cell(sprites, cell, image, 1);
        benchmark::DoNotOptimize(cell);
        benchmark::ClobberMemory();
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(copy_cell_mirrored);

// A tick's pixel work at zoom 2 and 3 (1 for comparison).
void zoomed_frame(benchmark::State& state)
{
    const Sprites& sprites = sheets().sprites;
    const int32_t z = int32_t(state.range(0));
    std::vector<uint32_t> frame(size_t(CELL_PIXELS) * size_t(z * z));
    int32_t image = 0;
    for (auto _ : state) {
        copy_cell_zoomed(sprites, frame.data(), image, 1, z);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(zoomed_frame)->Arg(1)->Arg(2)->Arg(3);

void zoomed_composite(benchmark::State& state)
{
    const Sprites& sprites = sheets().sprites;
    const int32_t z = int32_t(state.range(0));
    const size_t pixels = size_t(CELL_PIXELS) * size_t(z * z);
    std::vector<uint32_t> backdrop(pixels, 0x336699), cell(pixels), frame(pixels);
    int32_t image = 0;
    for (auto _ : state) {
        copy_cell_zoomed(sprites, cell.data(), image, 0, z);
        key_composite_pixels(frame.data(), backdrop.data(), cell.data(), int32_t(pixels));
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(zoomed_composite)->Arg(1)->Arg(2)->Arg(3);

// The live mode's work on a change of image: build, scale, free.
void zoomed_outline(benchmark::State& state)
{
    const Sprites& sprites = sheets().sprites;
    const int32_t z = int32_t(state.range(0));
    int32_t image = 0;
    for (auto _ : state) {
        Outline* outline = build_outline(sprites, image, image & 1);
        zoom_outline(outline, z);
        benchmark::DoNotOptimize(outline);
        delete outline;
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(zoomed_outline)->Arg(1)->Arg(2)->Arg(3);

}  // namespace
