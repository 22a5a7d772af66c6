// The label over the main window: its window, text, place, colours, the single label for
// successive texts and its end, which the main window hears about.
#include <windows.h>

#include <string>

#include "feedback/tag_wnd.h"
#include "tests/win/win_test_support.h"

namespace {

class TagWindow : public MainFrameTest {
protected:
    // Places the main window; a move closes a label, so this comes before ShowTag.
    RECT PlaceOwner(int x, int y, int cx, int cy)
    {
        ::SetWindowPos(m_hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
        RECT rc{};
        ::GetWindowRect(m_hWnd, &rc);
        return rc;
    }

    HWND Label() const { return m_frame->m_pTagWnd ? m_frame->m_pTagWnd->m_hWnd : nullptr; }

    RECT LabelRect() const
    {
        RECT rc{};
        ::GetWindowRect(Label(), &rc);
        return rc;
    }

    // The text's extent in the menu font, as DrawText measures it on one line.
    SIZE MeasureInMenuFont(const std::wstring& text)
    {
        CFont font;
        CMainFrame::CreateMenuFont(font);
        HDC dc = ::GetDC(nullptr);
        HGDIOBJ old = font.GetSafeHandle() ? ::SelectObject(dc, font.GetSafeHandle()) : nullptr;
        RECT rc{};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        if (old)
            ::SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
        return {rc.right - rc.left, rc.bottom - rc.top};
    }
};

TEST_F(TagWindow, IsALayeredToolPopupOwnedByTheMainWindow)
{
    m_frame->m_strFileName = L"pic.png";
    m_frame->ShowTag(nullptr);
    const HWND label = Label();
    ASSERT_NE(label, nullptr);
    ASSERT_TRUE(::IsWindow(label));

    wchar_t text[64] = {};
    ::GetWindowTextW(label, text, 64);
    EXPECT_STREQ(text, L"KovV_TagWnd");
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(label, GWL_EXSTYLE));
    EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW), 0x80080u);
    EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_APPWINDOW), 0u);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(label, GWL_STYLE));
    EXPECT_EQ(style & ~WS_CLIPSIBLINGS, static_cast<DWORD>(WS_POPUP | WS_VISIBLE));
    EXPECT_EQ(::GetWindow(label, GW_OWNER), m_hWnd);
    EXPECT_EQ(m_frame->m_pTagWnd->m_hWndOwner, m_hWnd);

    EXPECT_EQ(::GetClassLongPtrW(label, GCL_STYLE), 0u);
    EXPECT_EQ(::GetClassLongPtrW(label, GCLP_HBRBACKGROUND), 0u);
    EXPECT_EQ(::GetClassLongPtrW(label, GCLP_HCURSOR), 0u);

    COLORREF key = 1;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(label, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 220);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
}

TEST_F(TagWindow, ShowsNameZoomAndTheWord)
{
    m_frame->m_strFileName = L"pic.png";
    m_frame->m_fZoom = 0.5f;
    m_frame->ShowTag(L"\u653E\u5927");  // 放大
    EXPECT_EQ(m_frame->m_strInfo, L"pic.png (50%)");
    ASSERT_NE(m_frame->m_pTagWnd, nullptr);
    EXPECT_EQ(m_frame->m_pTagWnd->m_strText, L"pic.png (50%) \u653E\u5927");

    // A float factor of 1.05 is 1.0499999523: truncated, not rounded.
    m_frame->m_fZoom = 1.05f;
    m_frame->ShowTag(nullptr);
    EXPECT_EQ(m_frame->m_strInfo, L"pic.png (104%)");
    EXPECT_EQ(m_frame->m_pTagWnd->m_strText, L"pic.png (104%)");
}

TEST_F(TagWindow, SitsRightAlignedJustAboveAWideOwner)
{
    const RECT owner = PlaceOwner(300, 200, 400, 300);
    m_frame->m_strFileName = L"pic.png";
    m_frame->ShowTag(L"EoF");
    ASSERT_NE(Label(), nullptr);

    const SIZE text = MeasureInMenuFont(L"pic.png (100%) EoF");
    const RECT rc = LabelRect();
    EXPECT_EQ(rc.right, owner.right);
    EXPECT_EQ(rc.bottom, owner.top);
    EXPECT_EQ(rc.right - rc.left, text.cx + 2);
    EXPECT_EQ(rc.bottom - rc.top, text.cy);
    EXPECT_GT(text.cy, 0);
}

TEST_F(TagWindow, IsCentredOverANarrowOwnerAndNeverAboveTheScreen)
{
    const RECT owner = PlaceOwner(600, 5, 100, 80);
    const int ownerWidth = owner.right - owner.left;
    m_frame->m_strFileName = std::wstring(80, L'W') + L".png";
    m_frame->ShowTag(nullptr);
    ASSERT_NE(Label(), nullptr);

    const RECT rc = LabelRect();
    const int width = rc.right - rc.left;
    ASSERT_GT(width, ownerWidth);
    EXPECT_EQ(rc.left, owner.left - (width - ownerWidth) / 2);
    EXPECT_EQ(rc.top, 0);  // the owner's top is closer to the screen edge than the label is high
}

TEST_F(TagWindow, TheAmpersandIsDrawnAsItself)
{
    PlaceOwner(100, 300, 600, 200);
    m_frame->m_strFileName = L"WW";
    m_frame->ShowTag(nullptr);
    ASSERT_NE(Label(), nullptr);
    const RECT plain = LabelRect();
    m_frame->m_strFileName = L"W&W";
    m_frame->ShowTag(nullptr);
    const RECT withAmpersand = LabelRect();
    EXPECT_GT(withAmpersand.right - withAmpersand.left, plain.right - plain.left);
}

TEST_F(TagWindow, ASecondTextReusesTheLabel)
{
    PlaceOwner(200, 300, 600, 200);
    m_frame->m_strFileName = L"a.png";
    m_frame->ShowTag(nullptr);
    const HWND first = Label();
    ASSERT_NE(first, nullptr);
    const RECT rcFirst = LabelRect();

    m_frame->m_strFileName = L"a much longer name of a picture.png";
    m_frame->ShowTag(L"BoF");
    EXPECT_EQ(Label(), first);
    EXPECT_EQ(m_frame->m_pTagWnd->m_strText, L"a much longer name of a picture.png (100%) BoF");
    const RECT rcSecond = LabelRect();
    EXPECT_GT(rcSecond.right - rcSecond.left, rcFirst.right - rcFirst.left);
    EXPECT_EQ(rcSecond.right, rcFirst.right);
}

TEST_F(TagWindow, DoesNotTakeTheFocus)
{
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    PumpMessages();
    const HWND active = ::GetActiveWindow();
    m_frame->m_strFileName = L"pic.png";
    m_frame->ShowTag(nullptr);
    PumpMessages();
    ASSERT_NE(Label(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(Label()));
    EXPECT_EQ(::GetActiveWindow(), active);
    EXPECT_NE(::GetActiveWindow(), Label());
    EXPECT_NE(::GetForegroundWindow(), Label());
}

TEST_F(TagWindow, PaintsCaptionColours)
{
    PlaceOwner(200, 300, 600, 200);
    m_frame->m_strFileName = L"MMMM.png";
    m_frame->ShowTag(nullptr);
    const HWND label = Label();
    ASSERT_NE(label, nullptr);
    ::UpdateWindow(label);
    PumpMessages(100);

    RECT rc{};
    ::GetClientRect(label, &rc);
    const COLORREF back = ::GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF fore = ::GetSysColor(COLOR_CAPTIONTEXT);
    ASSERT_NE(back, fore);
    EXPECT_EQ(ReadWindowPixel(label, 0, 0), back);
    EXPECT_EQ(ReadWindowPixel(label, rc.right - 1, rc.bottom - 1), back);
    int textPixels = 0;
    HDC dc = ::GetDC(label);
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x)
            textPixels += ::GetPixel(dc, x, y) == fore;
    ::ReleaseDC(label, dc);
    EXPECT_GT(textPixels, 10);
}

TEST_F(TagWindow, ItsOwnTimerEndsItAndTellsTheMainWindow)
{
    m_frame->m_strFileName = L"pic.png";
    m_frame->ShowTag(nullptr);
    const HWND label = Label();
    ASSERT_NE(label, nullptr);

    ::SendMessageW(label, WM_TIMER, 56, 0);  // not its timer
    EXPECT_TRUE(::IsWindow(label));
    EXPECT_NE(m_frame->m_pTagWnd, nullptr);

    ::SendMessageW(label, WM_TIMER, kTagTimer, 0);
    EXPECT_FALSE(::IsWindow(label));
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);

    // A new text makes a new label.
    m_frame->ShowTag(nullptr);
    EXPECT_NE(Label(), nullptr);
    EXPECT_TRUE(::IsWindow(Label()));
}

TEST_F(TagWindow, GoesAwayByItselfAfterAWhile)
{
    m_frame->m_strFileName = L"pic.png";
    m_frame->ShowTag(nullptr);
    const HWND label = Label();
    ASSERT_NE(label, nullptr);
    const DWORD start = ::GetTickCount();
    while (m_frame->m_pTagWnd && ::GetTickCount() - start < 15000)
        PumpMessages(50);
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);
    EXPECT_FALSE(::IsWindow(label));
}

}  // namespace
