// Screens that differ: a change of DPI, as the system announces it when the window goes to another
// monitor, a change of the displays, the end of a move, and the awareness the program asks for at start.
#include <windows.h>

#include <thread>
#include <utility>
#include <vector>

#include "app/dpi_awareness.h"
#include "app/vistrel_app.h"
#include "feedback/tag_wnd.h"
#include "framework/win_geometry.h"
#include "tests/win/test_view_fixture.h"

namespace {

class ViewDpi : public ViewTest {
protected:
    // Wine treats every program as per-monitor aware and grants the older level.
    void SetUp() override
    {
        ViewTest::SetUp();
        m_nAwarenessSaved = std::exchange(theApp.m_nDpiAwareness, DpiAwareness::PerMonitor);
    }
    void TearDown() override
    {
        theApp.m_nDpiAwareness = m_nAwarenessSaved;
        ViewTest::TearDown();
    }

    // The system asks the size for nDpi, handing the size the window is about to take.
    LRESULT AskSize(UINT nDpi, SIZE& size)
    {
        return ::SendMessageW(m_hWnd, 0x02E4 /* WM_GETDPISCALEDSIZE */, nDpi, reinterpret_cast<LPARAM>(&size));
    }
    void NoticeDpi(UINT nDpi, RECT rc)
    {
        ::SendMessageW(m_hWnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rc));
        Settle();
    }

    // The size the frame asks for at nDpi, then the notice with the place the system suggests.
    CSize ChangeDpi(UINT nDpi, CPoint ptSuggested)
    {
        const CRect rcNow = WindowRect();
        SIZE size{rcNow.Width(), rcNow.Height()};
        EXPECT_TRUE(::SendMessageW(m_hWnd, 0x02E4 /* WM_GETDPISCALEDSIZE */, nDpi, reinterpret_cast<LPARAM>(&size)));
        RECT rc{ptSuggested.x, ptSuggested.y, ptSuggested.x + size.cx, ptSuggested.y + size.cy};
        ::SendMessageW(m_hWnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rc));
        Settle();
        EXPECT_EQ(WindowRect(), FromRECT(rc));
        return {size.cx, size.cy};
    }

    int32_t LabelHeight()
    {
        m_frame->ShowTag(nullptr);
        RECT rc{};
        ::GetWindowRect(m_frame->m_pTagWnd ? m_frame->m_pTagWnd->m_hWnd : nullptr, &rc);
        return rc.bottom - rc.top;
    }

    DpiAwareness m_nAwarenessSaved = DpiAwareness::None;
};

}  // namespace

TEST_F(ViewDpi, APictureKeepsItsScreenPixelsWhileTheInterfaceScales)
{
    const uint32_t base = m_frame->m_nDpi;  // the prefix's own DPI
    const int32_t label = LabelHeight();
    EXPECT_EQ(ChangeDpi(base * 2, {100, 100}), DpiScale(CSize{320, 240}, base * 2));
    const int32_t labelTwice = LabelHeight();
    EXPECT_GE(labelTwice, label * 3 / 2) << label << " px high at " << base << " DPI";
    EXPECT_LE(labelTwice, label * 5 / 2);
    // The resize band is twice as wide.
    ::SetCursorPos(100 + DpiScale(5, base) + 2, 200);
    ::SendMessageW(m_hWnd, WM_SETCURSOR, 0, 0);
    EXPECT_EQ(m_frame->m_nSizingEdge, 1);

    ShowPicture(MakePatternBitmap(400, 300));
    EXPECT_EQ(WindowRect().Width(), 400);
    EXPECT_EQ(WindowRect().Height(), 300);
    ExpectRowShowsPattern(150);
    EXPECT_EQ(ChangeDpi(base, {200, 150}), CSize(400, 300));
    ExpectRowShowsPattern(150);
}

TEST_F(ViewDpi, APictureKeepsThePendingSizeAndTheCentreFollowsTheWindow)
{
    const uint32_t base = m_frame->m_nDpi;
    ShowPicture(MakePatternBitmap(2000, 1500));
    // Resized across to a monitor of twice the DPI: the size handed in is the one under way.
    SIZE size{700, 500};
    EXPECT_TRUE(AskSize(base * 2, size));
    EXPECT_EQ(CSize(size.cx, size.cy), CSize(700, 500));
    NoticeDpi(base * 2, {300, 200, 1000, 700});
    EXPECT_EQ(WindowRect(), CRect(300, 200, 1000, 700));
    // No question (the older per-monitor level): a linearly scaled suggestion is not followed,
    // one at the window's size is, and the next picture centres there.
    NoticeDpi(base, {0, 0, 350, 250});
    EXPECT_EQ(m_frame->m_nDpi, base);
    EXPECT_EQ(WindowRect(), CRect(300, 200, 1000, 700));
    NoticeDpi(base, {100, 100, 800, 600});
    ShowPicture(MakePatternBitmap(200, 100));
    EXPECT_EQ(WindowRect(), CRect(350, 300, 550, 400));
    // Without per-monitor awareness the system scales the window itself.
    theApp.m_nDpiAwareness = DpiAwareness::System;
    EXPECT_FALSE(AskSize(base * 2, size));
    NoticeDpi(base * 2, {0, 0, 400, 200});
    EXPECT_EQ(m_frame->m_nDpi, base);
    EXPECT_EQ(WindowRect(), CRect(350, 300, 550, 400));
}

TEST_F(ViewDpi, TheCentreFollowsWindowsMovesAndAMoveEndsWithinItsMonitor)
{
    m_frame->m_ptCenter = CPoint(100, 1000);
    ShowPicture(MakePatternBitmap(400, 300));
    ::SendMessageW(m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_EQ(m_frame->m_ptCenter, CPoint(100, 1000));  // where the layout shifted it: kept
    // A monitor gone: Windows has put the window on another before it tells.
    ::SetWindowPos(m_hWnd, nullptr, 500, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_EQ(m_frame->m_ptCenter, CPoint(700, 450));

    ShowPicture(MakePatternBitmap(2000, 1500));
    ASSERT_EQ(WindowRect(), CRect(0, 0, 1280, 1024));
    m_frame->m_bMoveTracked = true;
    ::SendMessageW(m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_FALSE(m_frame->m_bMoveTracked);
    EXPECT_EQ(WindowRect(), CRect(0, 0, 1280, 1024));
    SetWorkArea({0, 0, 1024, 768});  // as on the smaller monitor a move ended on
    ::SendMessageW(m_hWnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(WindowRect(), CRect(0, 0, 1024, 768));
}

namespace {

std::vector<DpiAwareness> g_asked;

void StartAndEnd(DWORD dwDpiAware)
{
    ResetSettings();
    HKEY hKey = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Vistrel", 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr);
    ::RegSetValueExW(hKey, L"DpiAware", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwDpiAware), sizeof(DWORD));
    ::RegCloseKey(hKey);
    g_asked.clear();
    std::thread([] {
        if (theApp.InitInstance() && theApp.m_pMainWnd && theApp.m_pMainWnd->m_hWnd)
            ::DestroyWindow(theApp.m_pMainWnd->m_hWnd);  // the frame deletes itself
        PumpMessages();
        theApp.ExitInstance();
    }).join();
    theApp.m_pMainWnd = nullptr;
    ResetSettings();
}

}  // namespace

// Wine treats every program as aware, so the calls are what can be seen, not the sizes.
TEST(DpiAwareness, AskedForBeforeTheFirstWindowUnlessTheSettingIsOff)
{
    const CommandLineFn pfnCommandLine =
        std::exchange(g_pfnCommandLine, [] { return std::vector<std::wstring>{L"vistrel.exe"}; });
    g_pfnTryDpiAwareness = [](DpiAwareness level) {
        g_asked.push_back(level);
        return TryDpiAwareness(level);
    };
    StartAndEnd(0);
    EXPECT_TRUE(g_asked.empty());
    EXPECT_EQ(theApp.m_nDpiAwareness, DpiAwareness::None);
    StartAndEnd(1);
    ASSERT_FALSE(g_asked.empty());
    EXPECT_EQ(g_asked.front(), DpiAwareness::PerMonitorV2);
    // Windows 10 grants version 2 at once; Wine 8 refuses it and grants the older per-monitor level.
    EXPECT_EQ(g_asked.back(), theApp.m_nDpiAwareness);
    EXPECT_NE(theApp.m_nDpiAwareness, DpiAwareness::None);
    g_pfnTryDpiAwareness = &TryDpiAwareness;
    g_pfnCommandLine = pfnCommandLine;
}
