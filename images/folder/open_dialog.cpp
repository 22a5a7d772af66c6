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
    OpenChosenFile(dlg.GetPathName());
}

void CMainFrame::OpenChosenFile(const CStringW& strPath)
{
    if (!OpenFile(strPath))
        MessageBox(AfxLoadString(IDS_OPEN_FAILED).c_str(), AfxLoadString(IDS_ERROR_CAPTION).c_str(), MB_ICONERROR);
}

namespace {

// The drop's memory is the receiver's to release, whatever happens to the files.
class DropRelease {
public:
    explicit DropRelease(HDROP hDrop) : m_hDrop(hDrop) {}
    ~DropRelease() { ::DragFinish(m_hDrop); }
    DropRelease(const DropRelease&) = delete;
    DropRelease& operator=(const DropRelease&) = delete;

private:
    HDROP m_hDrop;
};

// The first file of a drop, empty when it names none.
CStringW FirstDroppedFile(HDROP hDrop)
{
    const UINT length = ::DragQueryFileW(hDrop, 0, nullptr, 0);
    if (length == 0)
        return CStringW();
    CStringW path(length + 1, L'\0');
    const UINT copied = ::DragQueryFileW(hDrop, 0, path.data(), length + 1);
    path.resize(copied);
    return path;
}

}  // namespace

// Only the first of several files dropped at once is opened, as the open dialog takes one.
void CMainFrame::OnDropFiles(HDROP hDropInfo)
{
    const DropRelease release(hDropInfo);
    const CStringW strPath = FirstDroppedFile(hDropInfo);
    if (!strPath.empty())
        OpenChosenFile(strPath);
}
