// What one change of the pet window's outline costs on Win32 (run it under
// Wine or on Windows): the region built from the outline's strips, as the live
// mode does, against a copy of a region kept since start-up, as the
// precomputed mode does; each alone (handed to no window) and handed to a
// hidden pet window. Also what the kept regions hold.
//
//   dorrabee-region-bench.exe [changes]     (default 5000)
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/real_sheets.h"
#include "graphics/outline.h"
#include "platform/platform.h"
#include "platform/win32/win32_host.h"

namespace {

intptr_t quiet_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    return platform_default_window_proc(window, message, wparam, lparam);
}

double now_us()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) * 1e6 / double(frequency.QuadPart);
}

// Microseconds per change, showing the outlines one after the other.
double per_change(Window* window, const std::vector<const Outline*>& outlines, int changes)
{
    const double start = now_us();
    for (int i = 0; i < changes; ++i)
        platform_set_window_outline(window, outlines[size_t(i) % outlines.size()]);
    return (now_us() - start) / changes;
}

// Rectangles of the window's region after showing each outline.
size_t window_rects(Window* window, const std::vector<const Outline*>& outlines)
{
    size_t rects = 0;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const Outline* outline : outlines) {
        platform_set_window_outline(window, outline);
        if (GetWindowRgn(hwnd_of(window), region) == ERROR)
            continue;
        std::vector<unsigned char> data(GetRegionData(region, 0, nullptr));
        GetRegionData(region, DWORD(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
        rects += reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount;
    }
    DeleteObject(region);
    return rects;
}

// What handing a region to no window costs (made, refused, freed): taken off
// the strips' figure below to leave the making of the region.
double refused_call(int changes)
{
    const double start = now_us();
    for (int i = 0; i < changes; ++i) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        if (!SetWindowRgn(nullptr, region, TRUE))
            DeleteObject(region);
    }
    return (now_us() - start) / changes;
}

double copy_alone(Window* window, const std::vector<const Outline*>& outlines, int changes)
{
    const double start = now_us();
    for (int i = 0; i < changes; ++i)
        DeleteObject(kept_region_copy(hwnd_of(window), outlines[size_t(i) % outlines.size()]));
    return (now_us() - start) / changes;
}

}  // namespace

int main(int argc, char** argv)
{
    const int changes = argc > 1 ? std::atoi(argv[1]) : 5000;
    const bool real = sheets().real;
    std::vector<Outline*> plain(IMAGE_COUNT), mirrored(IMAGE_COUNT);
    fill_outline_tables(sheets().sprites, plain.data(), mirrored.data(), IMAGE_COUNT);
    std::vector<const Outline*> shown;
    size_t strips = 0;
    for (Outline** table : {plain.data(), mirrored.data()})
        for (int32_t i = 0; i < IMAGE_COUNT; ++i)
            if (table[i]) {
                shown.push_back(table[i]);
                strips += table[i]->rects.size();
            }

    platform_register_pet_class(quiet_proc);
    Window* pet = platform_create_pet_window(SPRITE_SIZE, nullptr);
    // A window handle that is no window: SetWindowRgn refuses it and the
    // region is freed.
    Window* nowhere = nullptr;

    const double strips_alone = per_change(nowhere, shown, changes) - refused_call(changes);
    const double strips_window = per_change(pet, shown, changes);
    const size_t strips_rects = window_rects(pet, shown);
    const double keep_start = now_us();
    platform_keep_window_outlines(pet, plain.data(), mirrored.data(), IMAGE_COUNT);
    const double keep_ms = (now_us() - keep_start) / 1000;
    const double copy_only = copy_alone(pet, shown, changes);
    const double copy_window = per_change(pet, shown, changes);
    const size_t copy_rects = window_rects(pet, shown);

    // What the system stores for the kept regions: their rectangles.
    size_t region_bytes = 0, region_rects = 0;
    for (const Outline* outline : shown)
        if (HRGN copy = kept_region_copy(hwnd_of(pet), outline)) {
            region_bytes += GetRegionData(copy, 0, nullptr);
            std::vector<unsigned char> data(GetRegionData(copy, 0, nullptr));
            GetRegionData(copy, DWORD(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
            region_rects += reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount;
            DeleteObject(copy);
        }

    std::printf("%s artwork: %zu outlines of %.1f strips on average, %d changes each\n",
                real ? "real" : "synthetic (resources not found)", shown.size(), double(strips) / double(shown.size()),
                changes);
    std::printf(
        "| Per change of outline | making the region, us | with SetWindowRgn on the hidden pet window, us "
        "| rectangles of the window's region |\n");
    std::printf("|---|---|---|---|\n");
    std::printf("| built from strips (live mode) | %.2f | %.2f | %.1f |\n", strips_alone, strips_window,
                double(strips_rects) / double(shown.size()));
    std::printf("| copy of the kept region (precomputed mode) | %.2f | %.2f | %.1f |\n", copy_only, copy_window,
                double(copy_rects) / double(shown.size()));
    std::printf(
        "\nKeeping all %zu regions at start-up: %.2f ms; they hold %zu rectangles, %zu bytes of region data "
        "(%.1f per region)\n",
        shown.size(), keep_ms, region_rects, region_bytes, double(region_rects) / double(shown.size()));
    platform_keep_window_outlines(pet, nullptr, nullptr, 0);
    platform_destroy_window(pet);
    free_outline_table(plain.data(), IMAGE_COUNT);
    free_outline_table(mirrored.data(), IMAGE_COUNT);
    return 0;
}
