#pragma once
// Property sheet and pages on the system's PropertySheetW, with text exchange
// and maximum-length validation for edit boxes.
#include <windows.h>
#include <prsht.h>

#include <vector>

#include "framework/wnd.h"

class CPropertyPage;

// One direction of text exchange between members and controls.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, bool bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    // Refuses the exchange; the page stays open.
    void Fail() { m_bFailed = true; }

    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;
    bool m_bFailed = false;
};

void DDX_Text(CDataExchange* pDX, int nIDC, CStringW& value);
// Loading limits the last exchanged edit box to nChars; saving a longer text
// shows the framework's prompt 61716 and fails the exchange.
void DDV_MaxChars(CDataExchange* pDX, const CStringW& value, int nChars);

class CPropertyPage : public CWnd {
public:
    explicit CPropertyPage(UINT nIDTemplate);
    ~CPropertyPage() override;

    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel() {}
    virtual BOOL OnKillActive() { return UpdateData(TRUE); }
    virtual BOOL OnApply()
    {
        OnOK();
        return TRUE;
    }

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void SetModified(BOOL bChanged = TRUE);
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }

    PROPSHEETPAGEW m_psp{};

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

class CPropertySheet {
public:
    CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    void AddPage(CPropertyPage* pPage) { m_pages.push_back(pPage); }
    // Runs the sheet modally, owned by the parent or else the main window.
    INT_PTR DoModal();

    CStringW m_strCaption;
    CWnd* m_pParentWnd;
    UINT m_nStartPage;

private:
    std::vector<CPropertyPage*> m_pages;
};
