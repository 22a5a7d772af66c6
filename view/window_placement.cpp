#include <windows.h>

#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "view/placement.h"

namespace {

// Read on every message: the taskbar may have moved since the last one.
CRect ReadWorkArea()
{
    RECT rc{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
    return FromRECT(rc);
}

}  // namespace

void CMainFrame::OnMoving(UINT, LPRECT pRect)
{
    const CRect rc = ClampMovingRect(FromRECT(*pRect), ReadWorkArea());
    *pRect = ToRECT(rc);
    m_ptCenter = RectCenter(rc);
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    const CSize size = MaxTrackSize(ReadWorkArea(), m_sizeView);
    lpMMI->ptMaxTrackSize.x = size.cx;
    lpMMI->ptMaxTrackSize.y = size.cy;
}

void CMainFrame::OnMove(int, int)
{
    Default();
    // Any move, a new layout's included, takes the label away at once.
    CloseTagWnd();
}
