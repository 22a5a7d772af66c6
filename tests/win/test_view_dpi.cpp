// The window on a monitor of another DPI: a picture keeps its screen pixels, the empty window,
// the label and the resize band scale; and the awareness the program asks for at start.
#include <windows.h>

#include <thread>
#include <utility>
#include <vector>

#include "app/dpi_awareness.h"
#include "app/vistrel_app.h"
#include "feedback/tag_wnd.h"
#include "tests/win/test_view_fixture.h"

namespace {

constexpr UINT kWmDpiChanged = 0x02E0;
constexpr UINT kWmGetDpiScaledSize = 0x02E4;

class ViewDpi : public ViewTest {
protected:
    // What the frame tells the system about its size at the DPI, and that it answered at all.
    CSize AskedSize(UINT nDpi)
    {
        SIZE size{};
        EXPECT_TRUE(::SendMessageW(m_hWnd, kWmGetDpiScaledSize, nDpi, reinterpret_cast<LPARAM>(&size)));
        return {size.cx, size.cy};
    }

    // The system's notice that the window is now on a monitor of nDpi, with the place it suggests.
    void ChangeDpi(UINT nDpi, CRect rcSuggested)
    {
        RECT rc = ToRECT(rcSuggested);
        ::SendMessageW(m_hWnd, kWmDpiChanged, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rc));
        Settle();
    }

    int32_t LabelHeight()
    {
        m_frame->m_strFileName = L"pic.png";
        m_frame->ShowTag(nullptr);
        RECT rc{};
        if (m_frame->m_pTagWnd)
            ::GetWindowRect(m_frame->m_pTagWnd->m_hWnd, &rc);
        return rc.bottom - rc.top;
    }

    int32_t EdgeUnder(int x, int y)
    {
        const CRect rc = WindowRect();
        ::SetCursorPos(rc.left + x, rc.top + y);
        ::SendMessageW(m_hWnd, WM_SETCURSOR, 0, 0);
        return m_frame->m_nSizingEdge;
    }
};

}  // namespace

TEST_F(ViewDpi, APictureKeepsItsScreenPixelsWhileTheInterfaceScales)
{
    const uint32_t base = m_frame->m_nDpi;  // the prefix's own DPI
    m_frame->LayoutView(true);
    Settle();
    const CSize empty = DpiScale(CSize{320, 240}, base);
    EXPECT_EQ(WindowRect().Width(), empty.cx);
    EXPECT_EQ(WindowRect().Height(), empty.cy);
    const int32_t label = LabelHeight();
    ASSERT_GT(label, 0);
    EXPECT_EQ(EdgeUnder(DpiScale(5, base) + 2, 100), 0);

    // Twice the DPI: the empty window asks for twice its size and takes it where suggested.
    const CSize twice = DpiScale(CSize{320, 240}, base * 2);
    EXPECT_EQ(AskedSize(base * 2), twice);
    ChangeDpi(base * 2, {100, 100, 100 + twice.cx, 100 + twice.cy});
    EXPECT_EQ(m_frame->m_nDpi, base * 2);
    EXPECT_EQ(WindowRect(), CRect(100, 100, 100 + twice.cx, 100 + twice.cy));
    const int32_t labelTwice = LabelHeight();
    EXPECT_GE(labelTwice, label * 3 / 2) << "label " << label << " px high at " << base << " DPI";
    EXPECT_LE(labelTwice, label * 5 / 2);
    EXPECT_EQ(EdgeUnder(DpiScale(5, base) + 2, 100), 1);  // inside the wider band

    // A picture is shown pixel for pixel at any DPI and keeps its size when the DPI changes.
    ShowPicture(MakePatternBitmap(400, 300));
    EXPECT_EQ(WindowRect().Width(), 400);
    EXPECT_EQ(WindowRect().Height(), 300);
    ExpectRowShowsPattern(150);
    EXPECT_EQ(AskedSize(base), CSize(400, 300));
    ChangeDpi(base, {200, 150, 600, 450});
    EXPECT_EQ(WindowRect(), CRect(200, 150, 600, 450));
    ExpectRowShowsPattern(150);
}

namespace {

std::vector<DpiAwareness> g_asked;

bool RecordAndAsk(DpiAwareness level)
{
    g_asked.push_back(level);
    return TryDpiAwareness(level);
}

void SetDpiAware(DWORD value)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Vistrel", 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(hKey, L"DpiAware", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(hKey);
}

// A plain start of the application object and its end, on a thread of its own as the program's.
void StartAndEnd()
{
    std::thread([] {
        if (theApp.InitInstance() && theApp.m_pMainWnd && theApp.m_pMainWnd->m_hWnd)
            ::DestroyWindow(theApp.m_pMainWnd->m_hWnd);  // the frame deletes itself
        PumpMessages();
        theApp.ExitInstance();
    }).join();
    theApp.m_pMainWnd = nullptr;
}

}  // namespace

// Wine treats every program as aware, so the calls are what can be seen, not the sizes.
TEST(DpiAwareness, AskedForBeforeTheFirstWindowUnlessTheSettingIsOff)
{
    const CommandLineFn pfnCommandLine =
        std::exchange(g_pfnCommandLine, [] { return std::vector<std::wstring>{L"vistrel.exe"}; });
    g_pfnTryDpiAwareness = &RecordAndAsk;
    ResetSettings();
    SetDpiAware(0);
    StartAndEnd();
    EXPECT_TRUE(g_asked.empty());
    EXPECT_EQ(theApp.m_nDpiAwareness, DpiAwareness::None);

    ResetSettings();  // missing: on
    StartAndEnd();
    ASSERT_FALSE(g_asked.empty());
    EXPECT_EQ(g_asked.front(), DpiAwareness::PerMonitorV2);
    // Windows 10 grants version 2 at once; Wine 8 refuses it and grants the older per-monitor level.
    EXPECT_EQ(g_asked.back(), theApp.m_nDpiAwareness);
    EXPECT_TRUE(theApp.m_nDpiAwareness == DpiAwareness::PerMonitorV2 ||
                theApp.m_nDpiAwareness == DpiAwareness::PerMonitor);
    g_pfnTryDpiAwareness = &TryDpiAwareness;
    g_pfnCommandLine = pfnCommandLine;
    ResetSettings();
}
