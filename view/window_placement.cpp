// pending: window placement
#include "mainframe/main_frame.h"
void CMainFrame::OnMoving(UINT, LPRECT) {}
void CMainFrame::OnGetMinMaxInfo(MINMAXINFO*) {}
void CMainFrame::OnMove(int, int) { Default(); }
