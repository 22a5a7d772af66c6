#include "app/vistrel_app.h"

#include <commctrl.h>
#include <objbase.h>
#include "framework/gdiplus_sdk.h"
#include <stdlib.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/dpi_awareness.h"
#include "framework/ui_language.h"
#include "framework/ui_language_rules.h"
#include "images/ahead/first_picture.h"
#include "images/ahead/read_ahead.h"
#include "images/decode/picture_decode.h"
#include "images/folder/picture_path.h"
#include "integration/background_plan.h"
#include "integration/file_types.h"
#include "mainframe/main_frame.h"
#include "mainframe/settings.h"
#include "res/resource.h"

CTaviApp theApp;

namespace {

std::vector<std::wstring> ProcessArguments()
{
    std::vector<std::wstring> args;
    for (int i = 0; i < __argc; ++i)
        args.emplace_back(__wargv[i] ? __wargv[i] : L"");
    return args;
}

}  // namespace

CommandLineFn g_pfnCommandLine = &ProcessArguments;

BEGIN_MESSAGE_MAP(CTaviApp, CWinApp)
END_MESSAGE_MAP()

CTaviApp::CTaviApp() : CWinApp(nullptr) {}

CTaviApp::~CTaviApp() = default;

BOOL CTaviApp::InitInstance()
{
    // Before any window, the apartment's own hidden one included: a window keeps the
    // awareness it was made with.
    m_nDpiAwareness = ChooseDpiAwareness(ReadDpiAwareSetting(), g_pfnTryDpiAwareness);
    AfxSetUiLanguage(ChooseUiLanguage(ReadLanguageSetting(), ::GetUserDefaultUILanguage()));

    const CommandLineChoice choice = ScanCommandLine(g_pfnCommandLine());
    if (!choice.bRegister) {
        m_strFile = choice.strFile;
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
            m_gdiplusToken = 0;
            return FALSE;
        }
        // Read and decoded while the rest starts and the window is made; the first load takes it.
        if (!m_strFile.empty())
            m_pFirstPicture = StartFirstPicture(FullPicturePath(m_strFile), ReadAutoRotateSetting());
    }

    // The shell calls (the association notice of /regext included) expect an apartment; one
    // already set another way (RPC_E_CHANGED_MODE) is kept and not undone at exit.
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    m_bComInitialized = SUCCEEDED(hrCom);
    if (choice.bRegister) {
        RegisterFileTypes(AfxLoadString(IDS_DEFAULT_EXTENSIONS));
        return FALSE;
    }

    // Every step decodes here with read-ahead off: the imaging factory is made once, not per step.
    if (m_bComInitialized) {
        KeepThreadDecoders();
        m_bKeptDecoders = true;
    }

    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&icc);
    CWinApp::InitInstance();

    CMainFrame* pFrame = new (std::nothrow) CMainFrame;
    if (!pFrame)
        return FALSE;
    m_pMainWnd = pFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_POPUP, nullptr, nullptr)) {
        // A window that failed after WM_NCCREATE was destroyed, which cleared m_pMainWnd and
        // deleted its frame; only a frame whose window never came to be is released here.
        if (m_pMainWnd == pFrame) {
            m_pMainWnd = nullptr;
            delete pFrame;
        }
        return FALSE;
    }
    pFrame->m_pFirstPicture = std::move(m_pFirstPicture);
    return TRUE;
}

int CTaviApp::ExitInstance()
{
    m_pFirstPicture.reset();
    // Workers left stuck after a decoder fault may be inside GDI+: the process ends around them.
    if (m_gdiplusToken && !ReadAheadLeftWorkersRunning()) {
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
        m_gdiplusToken = 0;
    }
    if (m_bKeptDecoders) {
        ReleaseThreadDecoders();
        m_bKeptDecoders = false;
    }
    if (m_bComInitialized) {
        ::CoUninitialize();
        m_bComInitialized = false;
    }
    return CWinApp::ExitInstance();
}

BOOL CTaviApp::CreateFolderChain(const CStringW& strPath)
{
    BOOL result = FALSE;
    for (const std::wstring& prefix : FolderChainPrefixes(strPath))
        result = ::CreateDirectoryW(prefix.c_str(), nullptr);
    return result;
}
