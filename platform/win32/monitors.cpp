// The desk: the monitors as the system has them, the primary first.
#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_host.h"

namespace {

// A monitor's own scaling where the system has it per monitor (Windows 8.1
// on), looked up so that older systems still start.
using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

struct Found {
    Monitor monitor;
    bool primary;
};

struct Search {
    DpiForMonitor dpi_for_monitor;
    int32_t system_dpi;
    std::vector<Found> found;
};

int32_t system_dpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

BOOL CALLBACK add_monitor(HMONITOR handle, HDC, LPRECT, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(handle, &info))
        return TRUE;
    const RECT& whole = info.rcMonitor;
    const RECT& work = info.rcWork;
    Found found = {};
    found.monitor.x = whole.left;
    found.monitor.y = whole.top;
    found.monitor.width = whole.right - whole.left;
    found.monitor.height = whole.bottom - whole.top;
    found.monitor.work_x = work.left;
    found.monitor.work_y = work.top;
    found.monitor.work_width = work.right - work.left;
    found.monitor.work_height = work.bottom - work.top;
    UINT dpi_x = 0, dpi_y = 0;
    const bool scaled = search->dpi_for_monitor &&
                        search->dpi_for_monitor(handle, 0 /* effective */, &dpi_x, &dpi_y) == S_OK && dpi_y > 0;
    found.monitor.dpi = scaled ? int32_t(dpi_y) : search->system_dpi;
    found.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    search->found.push_back(found);
    return TRUE;
}

}  // namespace

int platform_monitors(Monitor* monitors, int capacity)
{
    Search search = {nullptr, system_dpi(), {}};
    HMODULE shcore = LoadLibraryA("shcore.dll");
    if (shcore)
        search.dpi_for_monitor =
            reinterpret_cast<DpiForMonitor>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
    EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&search));
    if (shcore)
        FreeLibrary(shcore);
    // A system that lists none still has its screen, measured as a whole.
    if (search.found.empty()) {
        const int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        search.found.push_back({{0, 0, width, height, 0, 0, width, height, search.system_dpi}, true});
    }
    std::stable_partition(search.found.begin(), search.found.end(), [](const Found& f) { return f.primary; });
    const int count = int(search.found.size());
    for (int i = 0; i < std::min(count, capacity); ++i)
        monitors[i] = search.found[size_t(i)].monitor;
    return count;
}
