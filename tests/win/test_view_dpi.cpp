// A change of DPI, as the system announces it when the window goes to another monitor, and the
// awareness the program asks for at start.
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
    // The size the frame asks for at nDpi, then the notice with the place the system suggests.
    CSize ChangeDpi(UINT nDpi, CPoint ptSuggested)
    {
        SIZE size{};
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
