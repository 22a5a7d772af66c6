#include <windows.h>

#include "framework/file_dialog.h"
#include "images/folder/open_filter.h"
#include "mainframe/main_frame.h"
#include "mainframe/settings.h"
#include "res/resource.h"

void CMainFrame::OnFileOpen()
{
    // The list is read afresh so that an edit on the options sheet shows at once.
    const CStringW strPattern = BuildOpenPattern(ReadExtensionList());
    const CStringW strFilter =
        BuildOpenFilter(AfxLoadString(IDS_FILTER_PICTURES), strPattern, AfxLoadString(IDS_FILTER_ALL));
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, strFilter.c_str(), this);
    if (dlg.DoModal() != IDOK)
        return;
    if (!OpenFile(dlg.GetPathName()))
        MessageBox(AfxLoadString(IDS_OPEN_FAILED).c_str(), AfxLoadString(IDS_ERROR_CAPTION).c_str(), MB_ICONERROR);
}
