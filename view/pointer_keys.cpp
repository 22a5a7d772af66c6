// pending: pointer and keys
#include "mainframe/main_frame.h"
void CMainFrame::ScrollTo(CPoint) {}
void CMainFrame::RememberWindowArea() {}
void CMainFrame::OnSize(UINT, int, int) { Default(); }
void CMainFrame::OnLButtonDown(UINT, CPoint) {}
void CMainFrame::OnLButtonUp(UINT, CPoint) {}
void CMainFrame::OnMouseMove(UINT, CPoint) {}
BOOL CMainFrame::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
BOOL CMainFrame::OnMouseWheel(UINT, short, CPoint) { return TRUE; }
void CMainFrame::OnKeyDown(UINT, UINT, UINT) {}
void CMainFrame::OnKeyUp(UINT, UINT, UINT) {}
