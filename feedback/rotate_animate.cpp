// pending: rotate, flip and animation
#include "mainframe/main_frame.h"
void CMainFrame::OnRotateFlip(UINT) {}
void CMainFrame::OnUpdateRotateFlip(CCmdUI*) {}
void CMainFrame::StartFrameTimer(bool) {}
void CMainFrame::OnTimer(UINT_PTR) {}
