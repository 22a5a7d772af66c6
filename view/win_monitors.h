#pragma once
// The monitors of the desktop as the view's rules see them, read afresh on every use.
#include <vector>

#include "framework/geometry.h"
#include "view/monitor_rules.h"

// Every monitor, the primary display first, its work area as SPI_GETWORKAREA gives it (the
// same area as on a desktop of one monitor).
std::vector<MonitorArea> DesktopMonitors();

// The monitor nearest the point.
MonitorArea MonitorNear(CPoint pt);
