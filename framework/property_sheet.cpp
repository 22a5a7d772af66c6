#include "framework/property_sheet.h"

#include "framework/handler_calls.h"
#include "framework/ui_language.h"
#include "framework/win_app.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CPropertyPage, CWnd)
END_MESSAGE_MAP()

void DDX_Text(CDataExchange* pDX, int nIDC, CStringW& value)
{
    if (pDX->m_bFailed)
        return;
    pDX->m_idLastControl = nIDC;
    HWND hCtl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!hCtl)
        return;
    if (pDX->m_bSaveAndValidate) {
        const int length = ::GetWindowTextLengthW(hCtl);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const int copied = ::GetWindowTextW(hCtl, text.data(), length + 1);
        text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
        value = text;
    } else {
        ::SetWindowTextW(hCtl, value.c_str());
    }
}

void DDV_MaxChars(CDataExchange* pDX, const CStringW& value, int nChars)
{
    if (pDX->m_bFailed)
        return;
    HWND hCtl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl);
    if (!pDX->m_bSaveAndValidate) {
        if (hCtl)
            ::SendMessageW(hCtl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
        return;
    }
    if (value.size() <= static_cast<size_t>(nChars))
        return;
    const CStringW prompt = AfxFormatString1(AfxLoadString(AFX_IDP_PARSE_STRING_SIZE), std::to_wstring(nChars));
    const CStringW caption = AfxLoadString(AFX_IDS_APP_TITLE);
    ::MessageBoxW(pDX->m_pDlgWnd->m_hWnd, prompt.c_str(), caption.c_str(), MB_ICONEXCLAMATION | MB_OK);
    if (hCtl) {
        // Back in the box with the whole text selected, ready to be typed over.
        ::SetFocus(hCtl);
        ::SendMessageW(hCtl, EM_SETSEL, 0, -1);
    }
    pDX->Fail();
}

CPropertyPage::CPropertyPage(UINT nIDTemplate)
{
    m_psp.dwSize = sizeof(m_psp);
    m_psp.hInstance = ::GetModuleHandleW(nullptr);
    // The template of the program's language, handed over as it is: the sheet would otherwise
    // pick one by the thread's language.
    if (const DLGTEMPLATE* pTemplate = AfxFindDialog(nIDTemplate)) {
        m_psp.dwFlags = PSP_DLGINDIRECT;
        m_psp.pResource = pTemplate;
    } else {
        m_psp.dwFlags = PSP_DEFAULT;
        m_psp.pszTemplate = MAKEINTRESOURCEW(nIDTemplate);
    }
    m_psp.pfnDlgProc = &CPropertyPage::DlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

CPropertyPage::~CPropertyPage()
{
    // The sheet owns the page windows; the object only forgets its handle.
    m_hWnd = nullptr;
}

void CPropertyPage::DoDataExchange(CDataExchange*) {}

BOOL CPropertyPage::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate != FALSE);
    DoDataExchange(&dx);
    return dx.m_bFailed ? FALSE : TRUE;
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    HWND hSheet = ::GetParent(m_hWnd);
    if (hSheet)
        ::SendMessageW(hSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

INT_PTR CALLBACK CPropertyPage::DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    CPropertyPage* page = nullptr;
    if (message == WM_INITDIALOG) {
        const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        page = reinterpret_cast<CPropertyPage*>(psp->lParam);
        ::SetWindowLongPtrW(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        if (page)
            page->m_hWnd = hDlg;
    } else {
        page = reinterpret_cast<CPropertyPage*>(::GetWindowLongPtrW(hDlg, DWLP_USER));
    }
    if (!page)
        return FALSE;
    INT_PTR result = FALSE;
    HandlerCall call;
    try {
        result = page->OnDialogMessage(message, wParam, lParam);
    } catch (...) {
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hDlg, DWLP_USER, 0);
        page->m_hWnd = nullptr;
    }
    call.Leave();
    return result;
}

INT_PTR CPropertyPage::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        LONG_PTR reply = 0;
        switch (hdr->code) {
        case PSN_KILLACTIVE:
            reply = OnKillActive() ? FALSE : TRUE;  // TRUE keeps the page active
            break;
        case PSN_APPLY:
            reply = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
            break;
        case PSN_RESET:
            OnCancel();
            break;
        default:
            return FALSE;
        }
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, reply);
        return TRUE;
    }
    default: {
        LRESULT result = 0;
        return OnWndMsg(message, wParam, lParam, result) ? TRUE : FALSE;
    }
    }
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(AfxLoadString(nIDCaption)), m_pParentWnd(pParentWnd), m_nStartPage(iSelectPage)
{
}

INT_PTR CPropertySheet::DoModal()
{
    std::vector<PROPSHEETPAGEW> pages;
    pages.reserve(m_pages.size());
    for (CPropertyPage* page : m_pages)
        pages.push_back(page->m_psp);
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();

    PROPSHEETHEADERW psh{};
    psh.dwSize = sizeof(psh);
    psh.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
    psh.hwndParent = owner ? owner->m_hWnd : nullptr;
    psh.hInstance = ::GetModuleHandleW(nullptr);
    psh.pszCaption = m_strCaption.c_str();
    psh.nPages = static_cast<UINT>(pages.size());
    psh.nStartPage = m_nStartPage < pages.size() ? m_nStartPage : 0;
    psh.ppsp = pages.data();
    return ::PropertySheetW(&psh);
}
