// pending: loading and navigation
#include "mainframe/main_frame.h"
int CMainFrame::LoadPicture(const CStringW&, const CStringW&, int) { return -1; }
bool CMainFrame::OpenFile(const CStringW&) { return false; }
void CMainFrame::OnFileNext() {}
void CMainFrame::OnFilePrev() {}
void CMainFrame::OnFileFirst() {}
void CMainFrame::OnFileLast() {}
void CMainFrame::OnUpdateFileNav(CCmdUI*) {}
