#include <windows.h>

#include "images/folder/file_order.h"
#include "mainframe/main_frame.h"

void CMainFrame::RebuildFileList()
{
    DropReadAhead();
    WIN32_FIND_DATAW fd{};
    HANDLE hFind = ::FindFirstFileW((m_strFolder + L"*.*").c_str(), &fd);
    // The first entry comes with FindFirstFileW itself; an enumeration that can't start
    // leaves the list empty.
    bool bHave = hFind != INVALID_HANDLE_VALUE;
    auto next = [&](std::wstring& name, bool& bDirectory) {
        if (!bHave)
            return false;
        name = fd.cFileName;
        bDirectory = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bHave = ::FindNextFileW(hFind, &fd) != FALSE;
        if (!bHave) {
            // Closed as soon as the last entry is read, before the list is sorted.
            ::FindClose(hFind);
            hFind = INVALID_HANDLE_VALUE;
        }
        return true;
    };
    ::RebuildFileList(m_listFiles, m_itCurrent, m_strFileName, next);
    if (hFind != INVALID_HANDLE_VALUE)
        ::FindClose(hFind);
    PlanReadAheadNow();
}
