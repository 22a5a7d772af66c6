#include <windows.h>

#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "view/placement.h"

void CMainFrame::OnMoving(UINT, LPRECT pRect)
{
    const CRect rc = ClampMovingRect(FromRECT(*pRect), WorkArea());
    *pRect = ToRECT(rc);
    m_ptCenter = RectCenter(rc);
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    const CSize size = MaxTrackSize(WorkArea(), m_sizeView);
    lpMMI->ptMaxTrackSize.x = size.cx;
    lpMMI->ptMaxTrackSize.y = size.cy;
}

void CMainFrame::OnMove(int, int)
{
    Default();
    // Any move, a new layout's included, takes the label away at once.
    CloseTagWnd();
}
