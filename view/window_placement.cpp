#include <windows.h>

#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "view/placement.h"
#include "view/win_monitors.h"

void CMainFrame::OnMoving(UINT, LPRECT pRect)
{
    // The monitor is the one under the centre the pointer proposes, the window's place at the
    // press moved as far as the pointer since: where the system offsets the rectangle it held at
    // the last step instead, a window held at one monitor's edge could never cross to the next.
    // The rectangle given is then held as on one monitor.
    const CRect rcGiven = FromRECT(*pRect);
    CPoint ptCentre = RectCenter(rcGiven);
    if (m_bMoveTracked) {
        POINT pt{};
        ::GetCursorPos(&pt);
        ptCentre = RectCenter(MovedRect(m_rcMoveStart, FromPOINT(pt) - m_ptMoveStart));
    }
    const CRect rc = ClampMovingRectAcross(rcGiven, DesktopMonitors(), ptCentre);
    *pRect = ToRECT(rc);
    m_ptCenter = RectCenter(rc);
}

LRESULT CMainFrame::OnExitSizeMove(WPARAM, LPARAM)
{
    m_bMoveTracked = false;
    // Dragged onto a smaller monitor, the window is laid out there as the next picture would be.
    const CRect rcWindow = GetWindowRect();
    if (LargerThanWorkArea({rcWindow.Width(), rcWindow.Height()}, MonitorNear(m_ptCenter).rcWork))
        LayoutView(false);
    m_rcPlaced = GetWindowRect();
    return Default();
}

LRESULT CMainFrame::OnDisplayChange(WPARAM, LPARAM)
{
    // A monitor gone or the monitors rearranged: where Windows moved the window, the next
    // layout centres there.
    m_ptCenter = CentreAfterSystemMove(m_ptCenter, m_rcPlaced, GetWindowRect());
    m_rcPlaced = GetWindowRect();
    return Default();
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    const CSize size = MaxTrackSize(MonitorNear(m_ptCenter).rcWork, m_sizeView);
    lpMMI->ptMaxTrackSize.x = size.cx;
    lpMMI->ptMaxTrackSize.y = size.cy;
}

void CMainFrame::OnMove(int, int)
{
    Default();
    // Any move, a new layout's included, takes the label away at once.
    CloseTagWnd();
}
