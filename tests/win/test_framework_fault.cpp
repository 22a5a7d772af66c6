// A hardware fault in one of the program's handlers, outside the decoder's guard, ends the
// program with the fault's code, as a crashing Windows program ends. The commands come as
// the program's keys bring them, through an accelerator: the system sends that WM_COMMAND
// through a callback that, under Wine, takes the fault and goes on as if the handler had
// returned. Each case runs in a child process (death test).
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/frame_wnd.h"
#include "framework/win_app.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr UINT kWriteNull = 41001;
constexpr UINT kDivideByZero = 41002;
constexpr UINT WM_TEST_OUTER = WM_APP + 1;

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
    // A handler whose inner command faults; it would go on as if that had returned.
    LRESULT OnOuter(WPARAM wParam, LPARAM)
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
    ON_MESSAGE(WM_TEST_OUTER, CFaultingFrame::OnOuter)
END_MESSAGE_MAP()

// The main window of the application, A for the null write and D for the division.
CFaultingFrame* MakeFaultingFrame()
{
    auto* frame = new CFaultingFrame;
    if (!frame->CreateEx(0, AfxRegisterWndClass(0), L"faulting", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr))
        return nullptr;
    ACCEL accel[] = {{FVIRTKEY, 'A', static_cast<WORD>(kWriteNull)}, {FVIRTKEY, 'D', static_cast<WORD>(kDivideByZero)}};
    frame->m_hAccelTable = ::CreateAcceleratorTableW(accel, 2);
    AfxGetApp()->m_pMainWnd = frame;
    return frame;
}

// The key is translated as the message loop translates it, then the window gets one more message.
void PressThenNextMessage(WPARAM vk)
{
    CFaultingFrame* frame = MakeFaultingFrame();
    if (!frame)
        return;
    MSG msg{frame->m_hWnd, WM_KEYDOWN, vk, 1, 0, {0, 0}};
    frame->PreTranslateMessage(&msg);
    ::SendMessageW(frame->m_hWnd, WM_NULL, 0, 0);
}

void PressInsideAnotherHandler(WPARAM vk)
{
    CFaultingFrame* frame = MakeFaultingFrame();
    if (frame)
        ::SendMessageW(frame->m_hWnd, WM_TEST_OUTER, vk, 0);
}

// The key press goes through the application's own message loop, and nothing follows it.
void PressInTheLoop(WPARAM vk)
{
    CFaultingFrame* frame = MakeFaultingFrame();
    if (!frame)
        return;
    ::PostMessageW(frame->m_hWnd, WM_KEYDOWN, vk, 1);
    ::PostQuitMessage(0);
    AfxGetApp()->Run();
}

const int kAccessViolation = static_cast<int>(EXCEPTION_ACCESS_VIOLATION);
const int kIntDivideByZero = static_cast<int>(EXCEPTION_INT_DIVIDE_BY_ZERO);

TEST(HandlerFaultDeathTest, AFaultingCommandEndsTheProgramWithTheFaultsCode)
{
    EXPECT_EXIT(PressThenNextMessage('A'), ::testing::ExitedWithCode(kAccessViolation), "");
    EXPECT_EXIT(PressThenNextMessage('D'), ::testing::ExitedWithCode(kIntDivideByZero), "");
}

TEST(HandlerFaultDeathTest, AFaultingCommandInsideAHandlerEndsTheProgramBeforeThatHandlerReturns)
{
    EXPECT_EXIT(PressInsideAnotherHandler('D'), ::testing::ExitedWithCode(kIntDivideByZero), "");
}

TEST(HandlerFaultDeathTest, AFaultingCommandFromTheMessageLoopEndsTheProgram)
{
    EXPECT_EXIT(PressInTheLoop('A'), ::testing::ExitedWithCode(kAccessViolation), "");
}

}  // namespace
