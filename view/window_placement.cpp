#include <windows.h>

#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "view/placement.h"
#include "view/win_monitors.h"

void CMainFrame::OnMoving(UINT, LPRECT pRect)
{
    // Proposed where the pointer has taken the window since the press (some systems offset the
    // last step's held rectangle instead); the limits are those of the monitor under the
    // proposed centre, so the window crosses whole.
    CRect rcProposed = FromRECT(*pRect);
    if (m_bMoveTracked) {
        POINT pt{};
        ::GetCursorPos(&pt);
        rcProposed = MovedRect(m_rcMoveStart, FromPOINT(pt) - m_ptMoveStart);
    }
    const CRect rc = ClampMovingRectAcross(rcProposed, DesktopMonitors());
    *pRect = ToRECT(rc);
    m_ptCenter = RectCenter(rc);
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
