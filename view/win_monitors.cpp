#include "view/win_monitors.h"

#include <windows.h>

#include "framework/win_geometry.h"

namespace {

BOOL CALLBACK AddMonitor(HMONITOR hMonitor, HDC, LPRECT, LPARAM lParam)
{
    auto& monitors = *reinterpret_cast<std::vector<MonitorArea>*>(lParam);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(hMonitor, &info))
        return TRUE;
    const MonitorArea area{FromRECT(info.rcMonitor), FromRECT(info.rcWork)};
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        monitors.insert(monitors.begin(), {area.rcMonitor, WorkArea()});
    else
        monitors.push_back(area);
    return TRUE;
}

}  // namespace

std::vector<MonitorArea> DesktopMonitors()
{
    std::vector<MonitorArea> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        const CRect rcScreen(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
        monitors.push_back({rcScreen, WorkArea()});
    }
    return monitors;
}

MonitorArea MonitorNear(CPoint pt)
{
    const std::vector<MonitorArea> monitors = DesktopMonitors();
    return monitors[NearestMonitor(monitors, pt)];
}
