// pending: painting
#include "mainframe/main_frame.h"
void CMainFrame::OnPaint() { CFrameWnd::OnPaint(); }
BOOL CMainFrame::OnEraseBkgnd(CDC*) { return TRUE; }
void CMainFrame::OnInterpolation(UINT) {}
void CMainFrame::OnUpdateInterpolation(CCmdUI*) {}
