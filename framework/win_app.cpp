#include "framework/win_app.h"

#include "framework/frame_wnd.h"
#include "framework/handler_calls.h"
#include "res/resource.h"

namespace {
CWinApp* g_pApp = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, CWinApp::OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCWSTR)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

void CWinApp::OnAppExit()
{
    // Closing the main window ends the loop once the window is destroyed.
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        return m_pMainWnd->PreTranslateMessage(pMsg);
    return FALSE;
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    if (lCount == 0 && m_pMainWnd && m_pMainWnd->m_hWnd)
        ::SendMessageW(m_pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    return FALSE;
}

BOOL CWinApp::IsIdleMessage(MSG* pMsg)
{
    constexpr UINT kSystemTimer = 0x0118;  // the caret's blink
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (pMsg->pt.x == m_ptLastMove.x && pMsg->pt.y == m_ptLastMove.y)
            return FALSE;
        m_ptLastMove = pMsg->pt;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != kSystemTimer;
}

int CWinApp::Run()
{
    bool bIdle = true;
    LONG lIdleCount = 0;
    for (;;) {
        // Idle work waits until the queue is empty, the paint of the latest change included.
        MSG peek;
        while (bIdle && !::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = false;
        }
        const BOOL got = ::GetMessageW(&m_msgCur, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!PreTranslateMessage(&m_msgCur)) {
            ::TranslateMessage(&m_msgCur);
            ::DispatchMessageW(&m_msgCur);
        }
        CheckHandlerCallsReturned();
        if (IsIdleMessage(&m_msgCur)) {
            bIdle = true;
            lIdleCount = 0;
        }
    }
    return ExitInstance();
}

int AfxWinMain(CWinApp& app)
{
    if (!app.InitInstance()) {
        if (app.m_pMainWnd && app.m_pMainWnd->m_hWnd)
            app.m_pMainWnd->DestroyWindow();
        return app.ExitInstance();
    }
    return app.Run();
}
