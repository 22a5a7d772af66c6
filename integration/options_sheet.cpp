// pending: options sheet
#include "mainframe/main_frame.h"
void CMainFrame::OnToolsOptions() {}
void CMainFrame::OnHelpAboutPage() {}
void CMainFrame::ShowOptionsSheet(UINT) {}
