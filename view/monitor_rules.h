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

// The window size to answer the system's question at a new DPI: a picture keeps its screen
// pixels at the size the window is about to take (sizePending, which differs from its present
// size while the user resizes it), the empty window scales its 96-DPI size.
CSize DpiChangedWindowSize(bool bHasImage, CSize sizePending, CSize sizeEmpty96, uint32_t nNewDpi);

// Where a picture's window goes at a change of DPI. The size it keeps is the one answered for
// that DPI (nAnsweredDpi, sizeAnswered) or, where no question came (the older per-monitor
// awareness), its present size. It takes the suggested rectangle only when that has the size
// kept; otherwise the suggestion is a linear scaling the picture does not follow, and the window
// stays where it is.
CRect DpiChangedPictureRect(const CRect& rcWindow, const CRect& rcSuggested, uint32_t nNewDpi,
                            uint32_t nAnsweredDpi, CSize sizeAnswered);

// At the end of a move: a window larger than the work area of the monitor it was left on (a
// drag onto a smaller monitor) is laid out again for that monitor.
bool LargerThanWorkArea(CSize sizeWindow, const CRect& rcWork);

// The remembered centre once Windows may have moved the window (a monitor gone, the monitors
// rearranged, a change of DPI): the window's centre when it is no longer where the program
// left it (rcLeft), else the centre as it was, which a layout's shift onto the screen keeps.
CPoint CentreAfterSystemMove(CPoint ptCenter, const CRect& rcLeft, const CRect& rcNow);
