#pragma once
// The application object: start-up, the message loop with the main window's
// accelerators, and shutdown. Exactly one exists, a global of the program.
#include <windows.h>

#include "framework/cmd_target.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Runs the message loop until WM_QUIT and returns ExitInstance's result.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    void OnAppExit();

    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// The entry point behind wWinMain: InitInstance, then the loop, then the exit code.
// Taking the program's application object by name also makes the linker keep it.
int AfxWinMain(CWinApp& app);
