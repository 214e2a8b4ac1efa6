// A fullscreen program in front: the foreground window covers its whole
// monitor (exclusive fullscreen games, films, presentations and borderless
// games alike), or the shell says an exclusive Direct3D program or a
// presentation is running (whose window may not cover the monitor exactly,
// as with a game that changed the display mode). Windows has no message for
// it, so it is asked when the pet ticks: two calls, and three more only when
// the foreground window changed or moved since the last answer.
#include "platform/platform.h"
#include "platform/win32/win32_host.h"
#include <shellapi.h>  // after windows.h, which it needs

namespace {

struct FrontWindow {
    HWND window = nullptr;
    RECT rect = {};
    RECT monitor = {};
    bool covers = false;
};

}  // namespace

bool platform_fullscreen_in_front(const Monitor& m)
{
    // The platform's own record of what was in front, not a pet's.
    static FrontWindow last;
    HWND front = GetForegroundWindow();
    RECT rect = {};
    if (!front || front == GetDesktopWindow() || front == GetShellWindow() || !GetWindowRect(front, &rect))
        return false;
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    if (process == GetCurrentProcessId())
        return false;
    if (front != last.window || !EqualRect(&rect, &last.rect)) {
        last.window = front;
        last.rect = rect;
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        HMONITOR monitor = MonitorFromWindow(front, MONITOR_DEFAULTTONULL);
        // The desktop itself (clicked on, it is in front and covers the monitor) is no program.
        wchar_t kind[16] = {};
        GetClassNameW(front, kind, 16);
        const bool desktop = lstrcmpW(kind, L"WorkerW") == 0 || lstrcmpW(kind, L"Progman") == 0;
        QUERY_USER_NOTIFICATION_STATE shell_state = QUNS_ACCEPTS_NOTIFICATIONS;
        const bool shell_says = SUCCEEDED(SHQueryUserNotificationState(&shell_state)) &&
                                (shell_state == QUNS_RUNNING_D3D_FULL_SCREEN || shell_state == QUNS_PRESENTATION_MODE);
        last.covers = monitor && !desktop && GetMonitorInfoW(monitor, &info) &&
                      (shell_says || (rect.left <= info.rcMonitor.left && rect.top <= info.rcMonitor.top &&
                                      rect.right >= info.rcMonitor.right && rect.bottom >= info.rcMonitor.bottom));
        last.monitor = info.rcMonitor;
    }
    return last.covers && last.monitor.left == m.x && last.monitor.top == m.y &&
           last.monitor.right - last.monitor.left == m.width && last.monitor.bottom - last.monitor.top == m.height;
}
