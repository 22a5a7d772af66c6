#include <windows.h>

#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "view/placement.h"
#include "view/win_monitors.h"

void CMainFrame::OnMoving(UINT, LPRECT pRect)
{
    // The limits are those of the monitor under the proposed centre, so the window crosses whole.
    const CRect rc = ClampMovingRectAcross(FromRECT(*pRect), DesktopMonitors());
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
