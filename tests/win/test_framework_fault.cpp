// A hardware fault in one of the program's handlers, outside the decoder's guard, ends the
// program with the fault's code. The command comes through an accelerator, as the program's
// keys bring it: the system sends that WM_COMMAND through a callback that, under Wine, takes
// the fault and goes on as if the handler had returned. Each case runs in a child process.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/frame_wnd.h"
#include "framework/win_app.h"

namespace {

constexpr UINT kWriteNull = 41001, kDivideByZero = 41002, WM_TEST_PRESS = WM_APP + 1;
volatile int g_sink = 0;

class CFaultingFrame : public CFrameWnd {
public:
    void OnWriteNull()
    {
        volatile int* volatile p = nullptr;
        *p = 1;
    }
    void OnDivideByZero()
    {
        volatile int numerator = 7, zero = 0;
        g_sink = numerator / zero;
    }
    // Translates the key inside this handler, which would go on as if the command had returned.
    LRESULT OnPress(WPARAM wParam, LPARAM)
    {
        MSG msg{m_hWnd, WM_KEYDOWN, wParam, 1, 0, {0, 0}};
        ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, &msg);
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFaultingFrame, CFrameWnd)
    ON_COMMAND(kWriteNull, CFaultingFrame::OnWriteNull)
    ON_COMMAND(kDivideByZero, CFaultingFrame::OnDivideByZero)
    ON_MESSAGE(WM_TEST_PRESS, CFaultingFrame::OnPress)
END_MESSAGE_MAP()

// Makes the application's main window, A for the null write and D for the division, and
// presses vk: inside one of the window's handlers, with nothing after it but that handler's
// return; or through the application's own loop, with nothing after it.
void Press(WPARAM vk, bool bInTheLoop)
{
    auto* frame = new CFaultingFrame;
    if (!frame->CreateEx(0, AfxRegisterWndClass(0), L"faulting", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr))
        return;
    ACCEL accel[] = {{FVIRTKEY, 'A', static_cast<WORD>(kWriteNull)}, {FVIRTKEY, 'D', static_cast<WORD>(kDivideByZero)}};
    frame->m_hAccelTable = ::CreateAcceleratorTableW(accel, 2);
    AfxGetApp()->m_pMainWnd = frame;
    if (bInTheLoop) {
        ::PostMessageW(frame->m_hWnd, WM_KEYDOWN, vk, 1);
        ::PostQuitMessage(0);
        AfxGetApp()->Run();
    } else {
        ::SendMessageW(frame->m_hWnd, WM_TEST_PRESS, vk, 0);
    }
}

TEST(HandlerFaultDeathTest, AFaultingCommandEndsTheProgramWithTheFaultsCode)
{
    EXPECT_EXIT(Press('A', false), ::testing::ExitedWithCode(static_cast<int>(EXCEPTION_ACCESS_VIOLATION)), "");
    EXPECT_EXIT(Press('D', true), ::testing::ExitedWithCode(static_cast<int>(EXCEPTION_INT_DIVIDE_BY_ZERO)), "");
}

}  // namespace
