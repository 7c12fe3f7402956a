#include "ui/win32/ScreenPlace.h"

#include <algorithm>

namespace velmora {

RECT WorkAreaOf(HWND window) {
    const HMONITOR monitor = window != nullptr
                                 ? MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)
                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

POINT CentredIn(const RECT& over, SIZE size, const RECT& area) {
    const LONG left = (over.left + over.right - size.cx) / 2;
    const LONG top = (over.top + over.bottom - size.cy) / 2;
    return POINT{std::max(area.left, std::min(left, area.right - size.cx)),
                 std::max(area.top, std::min(top, area.bottom - size.cy))};
}

}  // namespace velmora
