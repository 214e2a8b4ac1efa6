// Window regions made once for the precomputed outlines: a change of image
// is then one region copy instead of a union of 36 to 62 strips.
#include <algorithm>
#include <functional>
#include <vector>

#include "graphics/outline.h"
#include "graphics/outline_bands.h"
#include "platform/platform.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/window_record.h"

namespace {

bool before(const KeptRegion& a, const Outline* b)
{
    return std::less<const Outline*>()(a.outline, b);
}

void keep_table(std::vector<KeptRegion>& kept, Outline* const* table, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        if (!table[i])
            continue;
        if (HRGN region = outline_region(*table[i]))
            kept.push_back({table[i], region});
    }
}

}  // namespace

HRGN outline_region(const Outline& outline)
{
    // The bands in one call, as the system keeps a region anyway.
    static std::vector<OutlineBand> bands(MAX_OUTLINE_BANDS);  // one thread; no allocation per frame
    const int count = outline_bands(outline, bands.data(), MAX_OUTLINE_SIDE);
    std::vector<unsigned char> bytes(sizeof(RGNDATAHEADER) + size_t(count) * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(count);
    data->rdh.rcBound = {0, 0, 0, 0};
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (int i = 0; i < count; ++i) {
        const OutlineBand& b = bands[size_t(i)];
        rects[i] = {b.x, b.y, b.x + b.width, b.y + b.height};
        UnionRect(&data->rdh.rcBound, &data->rdh.rcBound, &rects[i]);
    }
    return ExtCreateRegion(nullptr, DWORD(bytes.size()), data);
}

void drop_kept_regions(WindowRecord* record)
{
    for (const KeptRegion& k : record->kept)
        DeleteObject(k.region);
    record->kept.clear();
    record->kept.shrink_to_fit();
}

void platform_keep_window_outlines(Window* window, Outline* const* plain, Outline* const* mirrored, int32_t count)
{
    WindowRecord* record = window_record(hwnd_of(window));
    if (!record)
        return;
    drop_kept_regions(record);
    // A window that blends is shaped by its alpha: regions would go unused.
    if (!plain || !mirrored || count <= 0 || record->blends)
        return;
    std::vector<KeptRegion>& kept = record->kept;
    kept.reserve(size_t(count) * 2);
    keep_table(kept, plain, count);
    keep_table(kept, mirrored, count);
    std::sort(kept.begin(), kept.end(), [](const KeptRegion& a, const KeptRegion& b) { return before(a, b.outline); });
}

HRGN kept_region_copy(HWND hwnd, const Outline* outline)
{
    const WindowRecord* record = window_record(hwnd);
    if (!record)
        return nullptr;
    const std::vector<KeptRegion>& kept = record->kept;
    auto at = std::lower_bound(kept.begin(), kept.end(), outline, before);
    if (at == kept.end() || at->outline != outline)
        return nullptr;
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (copy && CombineRgn(copy, at->region, nullptr, RGN_COPY) == ERROR) {
        DeleteObject(copy);
        return nullptr;
    }
    return copy;
}
