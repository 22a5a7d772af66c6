#pragma once
// The system's open dialog with a framework-style filter ("a|b|c|d||").
#include <windows.h>
#include <commdlg.h>

#include "framework/wnd.h"

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = nullptr, LPCWSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    // IDOK when a file was chosen, IDCANCEL otherwise.
    INT_PTR DoModal();
    CStringW GetPathName() const { return m_strPath; }

    OPENFILENAMEW m_ofn{};

private:
    BOOL m_bOpenFileDialog;
    CStringW m_strFilter;
    CStringW m_strDefExt;
    CWnd* m_pParentWnd;
    // Room for the longest path the system accepts, so a chosen path is never cut.
    wchar_t m_szFile[32768] = {};
    CStringW m_strPath;
};
