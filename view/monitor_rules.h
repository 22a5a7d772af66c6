#pragma once
// Which monitor's work area the window goes by, and the move limits on a desktop of
// several monitors. No platform calls.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/geometry.h"

struct MonitorArea {
    CRect rcMonitor;  // the whole monitor, in virtual-screen coordinates
    CRect rcWork;     // its work area (without the taskbar)
};

// Index of the monitor containing pt, else of the one nearest to it (distance to its
// rectangle, the first of equals), as the system's "nearest monitor" chooses; 0 for none.
size_t NearestMonitor(const std::vector<MonitorArea>& monitors, CPoint pt);

// A rectangle proposed while the user moves the window, held by the monitor under ptCentre
// (the proposed centre): under that work area's bottom and right edges, then at or past the
// monitor's top and left edges (which win), so the window crosses to another monitor whole.
CRect ClampMovingRectAcross(const CRect& rc, const std::vector<MonitorArea>& monitors, CPoint ptCentre);
CRect ClampMovingRectAcross(const CRect& rc, const std::vector<MonitorArea>& monitors);

// The window size to take at a new DPI: a picture keeps its screen pixels, the empty
// window scales its 96-DPI size.
CSize DpiChangedWindowSize(bool bHasImage, CSize sizeWindow, CSize sizeEmpty96, uint32_t nNewDpi);
