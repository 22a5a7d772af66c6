// pending: wallpaper, calendar background and file properties
#include "mainframe/main_frame.h"
void CMainFrame::OnSetBackground(UINT) {}
void CMainFrame::OnUpdateSetBackground(CCmdUI*) {}
void CMainFrame::OnFileProperties() {}
void CMainFrame::OnUpdateFileProperties(CCmdUI*) {}
