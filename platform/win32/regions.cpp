// Window regions made once for the precomputed outlines: a change of image
// is then one region copy instead of a union of 36 to 62 strips.
#include <algorithm>
#include <functional>
#include <vector>

#include "graphics/outline.h"
#include "graphics/outline_bands.h"
#include "platform/platform.h"
#include "platform/win32/win32_host.h"

namespace {

struct KeptRegion {
    const Outline* outline;
    HRGN region;
};
std::vector<KeptRegion> kept;  // sorted by outline address

bool before(const KeptRegion& a, const Outline* b)
{
    return std::less<const Outline*>()(a.outline, b);
}

void drop_kept()
{
    for (const KeptRegion& k : kept)
        DeleteObject(k.region);
    kept.clear();
    kept.shrink_to_fit();
}

void keep_table(Outline* const* table, int32_t count)
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

void platform_keep_window_outlines(Window*, Outline* const* plain, Outline* const* mirrored, int32_t count)
{
    drop_kept();
    if (!plain || !mirrored || count <= 0)
        return;
    kept.reserve(size_t(count) * 2);
    keep_table(plain, count);
    keep_table(mirrored, count);
    std::sort(kept.begin(), kept.end(), [](const KeptRegion& a, const KeptRegion& b) { return before(a, b.outline); });
}

HRGN kept_region_copy(const Outline* outline)
{
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
