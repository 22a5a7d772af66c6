#include "framework/file_dialog.h"

#include <commdlg.h>

#include "framework/win_app.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPCWSTR lpszFileName, DWORD dwFlags,
                         LPCWSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd)
{
    if (lpszFilter) {
        m_strFilter = lpszFilter;
        for (wchar_t& c : m_strFilter)
            if (c == L'|')
                c = L'\0';
    }
    if (lpszDefExt)
        m_strDefExt = lpszDefExt;
    if (lpszFileName)
        wcsncpy(m_szFile, lpszFileName, sizeof(m_szFile) / sizeof(m_szFile[0]) - 1);
    m_ofn.lStructSize = sizeof(m_ofn);
    // The explorer style without hooks or templates is what newer systems show in
    // their current dialog style.
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal()
{
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    m_ofn.hwndOwner = owner ? owner->m_hWnd : nullptr;
    m_ofn.hInstance = ::GetModuleHandleW(nullptr);
    m_ofn.lpstrFilter = m_strFilter.empty() ? nullptr : m_strFilter.c_str();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_szFile;
    m_ofn.nMaxFile = sizeof(m_szFile) / sizeof(m_szFile[0]);
    m_ofn.lpstrDefExt = m_strDefExt.empty() ? nullptr : m_strDefExt.c_str();
    const BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    if (!ok)
        return IDCANCEL;
    m_strPath = m_szFile;
    return IDOK;
}
