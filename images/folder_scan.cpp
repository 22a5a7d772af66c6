// pending: folder list
#include "mainframe/main_frame.h"
void CMainFrame::RebuildFileList() {}
