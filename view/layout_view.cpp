// pending: layout and view commands
#include "mainframe/main_frame.h"
void CMainFrame::LayoutView(bool) {}
void CMainFrame::UpdateScrollPosition(bool) {}
void CMainFrame::UpdateViewCenter() {}
void CMainFrame::OnViewZoomIn() {}
void CMainFrame::OnViewZoomOut() {}
void CMainFrame::OnViewActualSize() {}
void CMainFrame::OnViewScreenSize() {}
void CMainFrame::OnViewFitMode(UINT) {}
void CMainFrame::OnUpdateViewZoom(CCmdUI*) {}
void CMainFrame::OnUpdateViewActualSize(CCmdUI*) {}
void CMainFrame::OnUpdateViewScreenSize(CCmdUI*) {}
void CMainFrame::OnUpdateViewFitMode(CCmdUI*) {}
