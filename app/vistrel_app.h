#pragma once
// The application object: command line, GDI+ lifetime and the main window.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/dpi_awareness_rules.h"
#include "framework/afx_string.h"
#include "framework/win_app.h"

class FirstPicture;

class CTaviApp : public CWinApp {
public:
    CTaviApp();
    ~CTaviApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Creates every folder of a path ending in a backslash, parents first.
    BOOL CreateFolderChain(const CStringW& strPath);

    ULONG_PTR m_gdiplusToken = 0;
    // Whether InitInstance's COM initialisation is ExitInstance's to undo.
    bool m_bComInitialized = false;
    // Whether this thread keeps an imaging factory until ExitInstance.
    bool m_bKeptDecoders = false;
    CStringW m_strFile;
    // The command-line picture's decode, started before the window is made; the main window's
    // once it exists, and ended before GDI+ is otherwise.
    std::unique_ptr<FirstPicture> m_pFirstPicture;
    // The DPI awareness the system granted at start (None with the "DpiAware" setting off).
    DpiAwareness m_nDpiAwareness = DpiAwareness::None;

    DECLARE_MESSAGE_MAP()
};

extern CTaviApp theApp;

// The program's arguments, its own name first; replaceable so a test can start the
// application object as a command line would.
using CommandLineFn = std::vector<std::wstring> (*)();
extern CommandLineFn g_pfnCommandLine;
