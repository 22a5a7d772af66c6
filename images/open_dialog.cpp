// pending: open dialog
#include "mainframe/main_frame.h"
void CMainFrame::OnFileOpen() {}
