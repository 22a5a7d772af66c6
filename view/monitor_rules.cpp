#include "view/monitor_rules.h"

#include <algorithm>

#include "framework/dpi_scale.h"
#include "view/placement.h"

namespace {

// Squared distance from pt to the rectangle; 0 inside it (right and bottom edges excluded).
uint64_t DistanceSquared(const CRect& rc, CPoint pt)
{
    auto axis = [](int64_t v, int64_t low, int64_t high) -> int64_t {
        if (v < low)
            return low - v;
        if (v >= high)
            return v - high + 1;
        return 0;
    };
    const auto dx = static_cast<uint64_t>(axis(pt.x, rc.left, rc.right));
    const auto dy = static_cast<uint64_t>(axis(pt.y, rc.top, rc.bottom));
    return dx * dx + dy * dy;
}

}  // namespace

size_t NearestMonitor(const std::vector<MonitorArea>& monitors, CPoint pt)
{
    size_t best = 0;
    for (size_t i = 1; i < monitors.size(); ++i) {
        if (DistanceSquared(monitors[i].rcMonitor, pt) < DistanceSquared(monitors[best].rcMonitor, pt))
            best = i;
    }
    return best;
}

CRect ClampMovingRectAcross(const CRect& rc, const std::vector<MonitorArea>& monitors, CPoint ptCentre)
{
    if (monitors.empty())
        return rc;
    const MonitorArea& m = monitors[NearestMonitor(monitors, ptCentre)];
    return ClampMovingRect(rc, m.rcWork, {m.rcMonitor.left, m.rcMonitor.top});
}

CRect ClampMovingRectAcross(const CRect& rc, const std::vector<MonitorArea>& monitors)
{
    return ClampMovingRectAcross(rc, monitors, RectCenter(rc));
}

CSize DpiChangedWindowSize(bool bHasImage, CSize sizePending, CSize sizeEmpty96, uint32_t nNewDpi)
{
    return bHasImage ? sizePending : DpiScale(sizeEmpty96, nNewDpi);
}

CRect DpiChangedPictureRect(const CRect& rcWindow, const CRect& rcSuggested, uint32_t nNewDpi,
                            uint32_t nAnsweredDpi, CSize sizeAnswered)
{
    const CSize sizeKept =
        nAnsweredDpi == nNewDpi ? sizeAnswered : CSize{rcWindow.Width(), rcWindow.Height()};
    const CSize sizeSuggested{rcSuggested.Width(), rcSuggested.Height()};
    return sizeSuggested == sizeKept ? rcSuggested : rcWindow;
}

bool LargerThanWorkArea(CSize sizeWindow, const CRect& rcWork)
{
    return int64_t{sizeWindow.cx} > int64_t{rcWork.right} - rcWork.left ||
           int64_t{sizeWindow.cy} > int64_t{rcWork.bottom} - rcWork.top;
}

CPoint CentreAfterSystemMove(CPoint ptCenter, const CRect& rcLeft, const CRect& rcNow)
{
    return rcNow == rcLeft ? ptCenter : RectCenter(rcNow);
}
