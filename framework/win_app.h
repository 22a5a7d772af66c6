#pragma once
// The application object: start-up, the message loop with the main window's
// accelerators, and shutdown. Exactly one exists, a global of the program.
#include <windows.h>

#include "framework/cmd_target.h"

class CWnd;

// Sent to the main window when the queue has emptied after real input, as the framework does
// to refresh its command states; the window may start idle-time work on it.
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Runs the message loop until WM_QUIT and returns ExitInstance's result.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called while the queue is empty; TRUE asks for another call before the next message.
    virtual BOOL OnIdle(LONG lCount);
    // Whether a message counts as activity that ends the idle time (repeated moves and paints don't).
    virtual BOOL IsIdleMessage(MSG* pMsg);

    void OnAppExit();

    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};
    POINT m_ptLastMove{-1, -1};

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// The entry point behind wWinMain: InitInstance, then the loop, then the exit code.
// Taking the program's application object by name also makes the linker keep it.
int AfxWinMain(CWinApp& app);
