#include "integration/options_sheet.h"

#include <shellapi.h>

#include "integration/extension_list.h"
#include "integration/file_types.h"
#include "mainframe/main_frame.h"
#include "mainframe/settings.h"
#include "res/resource.h"

ShellExecuteFn g_pfnShellExecute = &::ShellExecuteW;

namespace {

// The longest list the stored value can be read back with: 260 units with the terminator.
constexpr int kMaxExtensionChars = 259;

}  // namespace

BEGIN_MESSAGE_MAP(CPageFileTypes, CPropertyPage)
    ON_EN_CHANGE(IDC_EXTENSIONS, CPageFileTypes::OnChangeExtensions)
END_MESSAGE_MAP()

CPageFileTypes::CPageFileTypes() : CPropertyPage(IDD_PAGE_FILE_TYPES)
{
    ReadExtensions();
}

void CPageFileTypes::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EXTENSIONS, m_strExtensions);
    DDV_MaxChars(pDX, m_strExtensions, kMaxExtensionChars);
}

BOOL CPageFileTypes::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // Filling the box above sent a change notice; only the user's edits count.
    m_bInitDone = true;
    return TRUE;
}

void CPageFileTypes::OnChangeExtensions()
{
    MarkChanged();
}

void CPageFileTypes::MarkChanged()
{
    if (!m_bInitDone)
        return;
    SetModified(TRUE);
    m_bChanged = true;
}

void CPageFileTypes::OnOK()
{
    if (!m_bChanged)
        return;
    m_bChanged = false;
    m_strExtensions = CleanExtensions(m_strExtensions);
    WriteExtensions();
}

void CPageFileTypes::ReadExtensions()
{
    m_strExtensions = ReadExtensionList();
}

void CPageFileTypes::WriteExtensions()
{
    // The shell learns the list even when it could not be stored.
    WriteExtensionList(m_strExtensions);
    RegisterFileTypes(m_strExtensions);
}

BEGIN_MESSAGE_MAP(CPageAbout, CPropertyPage)
    ON_BN_CLICKED(IDC_UPGRADE, CPageAbout::OnUpgrade)
END_MESSAGE_MAP()

CPageAbout::CPageAbout() : CPropertyPage(IDD_PAGE_ABOUT) {}

void CPageAbout::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
}

void CPageAbout::OnUpgrade()
{
    g_pfnShellExecute(nullptr, nullptr, kUpgradeAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

void CMainFrame::OnToolsOptions()
{
    ShowOptionsSheet(0);
}

void CMainFrame::OnHelpAboutPage()
{
    ShowOptionsSheet(1);
}

void CMainFrame::ShowOptionsSheet(UINT nPage)
{
    CPageFileTypes pageFileTypes;
    CPageAbout pageAbout;
    CPropertySheet sheet(IDS_OPTIONS_CAPTION, nullptr, nPage);
    sheet.AddPage(&pageFileTypes);
    sheet.AddPage(&pageAbout);
    sheet.DoModal();
}
