// pending: context menu
#include "mainframe/main_frame.h"
void CMainFrame::OnContextMenu(CWnd*, CPoint) {}
void CMainFrame::OnMeasureItem(int, LPMEASUREITEMSTRUCT) {}
void CMainFrame::OnDrawItem(int, LPDRAWITEMSTRUCT) {}
