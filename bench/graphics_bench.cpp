// Per-frame pixel work and outline building, on the real artwork when it is
// there (a synthetic sheet of the same layout otherwise).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "graphics/bmp.h"
#include "graphics/outline.h"
#include "graphics/sprites.h"
#include "graphics/zoom.h"

namespace {

constexpr int32_t IMAGE_COUNT = 108;
constexpr int S = SPRITE_SIZE;

struct Sheets {
    Bitmap sprites;
    std::vector<uint8_t> bits;

    Sheets() {
        std::string error;
        Bitmap mask;
        std::string dir = std::string(DORRABEE_SOURCE_DIR) + "/resources/";
        if (!bmp_read_file((dir + "sprites.bmp").c_str(), &sprites, &error) ||
            !bmp_read_file((dir + "mask.bmp").c_str(), &mask, &error))
            synthesize(&mask);
        sheet_attach(sprites.width, sprites.height, sprites.pixels.data(), IMAGE_COUNT);
        ::sprites.mask_width = mask.width;
        ::sprites.mask_height = mask.height;
        ::sprites.mask_columns = ::sprites.mask_width / S;
        ::sprites.mask_rows = ::sprites.mask_height / S;
        ::sprites.mask_stride = mask_stride_for(::sprites.mask_width);
        bits.assign(size_t(::sprites.mask_stride) * size_t(::sprites.mask_height), 0);
        ::sprites.mask_bits = bits.data();
        fetch_mask_bits(mask);
    }

    // A disc per cell whose size varies, so every column has a run or two.
    void synthesize(Bitmap* mask) {
        const int32_t w = 840, h = 252;
        sprites = Bitmap{w, h, 4, std::vector<uint32_t>(size_t(w * h)), {}, {}};
        *mask = Bitmap{w, h, 1, {}, std::vector<uint8_t>(size_t(w * h)), {0x000000, 0xFFFFFF}};
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                int cell = (y / S) * 20 + x / S, dx = x % S - 21, dy = y % S - 21, r = 8 + cell % 12;
                bool inside = dx * dx + dy * dy < r * r || (dy > 12 && (x % 5) == 0);
                sprites.pixels[size_t(y * w + x)] = inside ? 0x5A5A5A : KEY_COLOUR;
                mask->indices[size_t(y * w + x)] = inside;
            }
    }
};

Sheets& sheets() {
    static Sheets instance;
    return instance;
}

void outline_build(benchmark::State& state) {
    sheets();
    int32_t image = 0;
    for (auto _ : state) {
        Outline* outline = build_outline(image, image & 1);
        benchmark::DoNotOptimize(outline);
        delete outline;
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(outline_build);

void outline_precompute_all(benchmark::State& state) {
    sheets();
    std::vector<Outline*> plain(IMAGE_COUNT), mirrored(IMAGE_COUNT);
    for (auto _ : state) {
        fill_outline_tables(plain.data(), mirrored.data(), IMAGE_COUNT);
        benchmark::DoNotOptimize(plain.data());
        state.PauseTiming();
        free_outline_table(plain.data(), IMAGE_COUNT);
        free_outline_table(mirrored.data(), IMAGE_COUNT);
        state.ResumeTiming();
    }
}
BENCHMARK(outline_precompute_all)->Unit(benchmark::kMicrosecond);

void key_composite_frame(benchmark::State& state) {
    sheets();
    static uint32_t backdrop[CELL_PIXELS], cell[CELL_PIXELS], frame[CELL_PIXELS];
    for (int p = 0; p < CELL_PIXELS; ++p) backdrop[p] = uint32_t(p) * 0x010101;
    copy_cell(cell, 5, 0);
    for (auto _ : state) {
        key_composite(frame, backdrop, cell);
        benchmark::DoNotOptimize(frame);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(key_composite_frame);

void copy_cell_mirrored(benchmark::State& state) {
    sheets();
    static uint32_t cell[CELL_PIXELS];
    int32_t image = 0;
    for (auto _ : state) {
        copy_cell(cell, image, 1);
        benchmark::DoNotOptimize(cell);
        benchmark::ClobberMemory();
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(copy_cell_mirrored);

// A tick's pixel work at zoom 2 and 3 (1 for comparison).
void zoomed_frame(benchmark::State& state) {
    sheets();
    const int32_t z = int32_t(state.range(0));
    std::vector<uint32_t> frame(size_t(CELL_PIXELS) * size_t(z * z));
    int32_t image = 0;
    for (auto _ : state) {
        copy_cell_zoomed(frame.data(), image, 1, z);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(zoomed_frame)->Arg(1)->Arg(2)->Arg(3);

void zoomed_composite(benchmark::State& state) {
    sheets();
    const int32_t z = int32_t(state.range(0));
    const size_t pixels = size_t(CELL_PIXELS) * size_t(z * z);
    std::vector<uint32_t> backdrop(pixels, 0x336699), cell(pixels), frame(pixels);
    int32_t image = 0;
    for (auto _ : state) {
        copy_cell_zoomed(cell.data(), image, 0, z);
        key_composite_pixels(frame.data(), backdrop.data(), cell.data(), int32_t(pixels));
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(zoomed_composite)->Arg(1)->Arg(2)->Arg(3);

// The live mode's work on a change of image: build, scale, free.
void zoomed_outline(benchmark::State& state) {
    sheets();
    const int32_t z = int32_t(state.range(0));
    int32_t image = 0;
    for (auto _ : state) {
        Outline* outline = build_outline(image, image & 1);
        zoom_outline(outline, z);
        benchmark::DoNotOptimize(outline);
        delete outline;
        image = (image + 1) % IMAGE_COUNT;
    }
}
BENCHMARK(zoomed_outline)->Arg(1)->Arg(2)->Arg(3);

}  // namespace
