// Pointer and keys over the main window: the cursor and pan state, panning by keys,
// wheel and drag with the pixels following, and the client size kept by WM_SIZE.
#include <windows.h>

#include <vector>

#include "res/resource.h"
#include "tests/win/test_view_fixture.h"
#include "view/paint_seam.h"

namespace {

class ViewPointer : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        SetPaintObserver([this](const PaintCall& call) { m_paints.push_back(call); });
    }
    void TearDown() override
    {
        SetPaintObserver({});
        ViewTest::TearDown();
    }
    // The one paint since the last call covered exactly this client box.
    void ExpectOnlyRepainted(const CRect& box)
    {
        ASSERT_EQ(m_paints.size(), 1u);
        const PaintRectF& d = m_paints[0].dest;
        EXPECT_EQ(CRect(static_cast<int32_t>(d.X), static_cast<int32_t>(d.Y), static_cast<int32_t>(d.X + d.Width),
                        static_cast<int32_t>(d.Y + d.Height)),
                  box);
        m_paints.clear();
    }

    std::vector<PaintCall> m_paints;

    void Key(UINT vk)
    {
        ::SendMessageW(m_hWnd, WM_KEYDOWN, vk, 1);
        Settle();
    }
    void Wheel(short delta)
    {
        ::SendMessageW(m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(640, 512));
        Settle();
    }
    // Puts the pointer on a client point and lets the window decide its cursor there.
    void PointAt(int x, int y)
    {
        POINT pt{x, y};
        ::ClientToScreen(m_hWnd, &pt);
        ::SetCursorPos(pt.x, pt.y);
        ::SendMessageW(m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
    // The real pointer goes along, so that a mouse move the system makes up agrees.
    void MoveTo(int x, int y, WPARAM buttons)
    {
        POINT pt{x, y};
        ::ClientToScreen(m_hWnd, &pt);
        ::SetCursorPos(pt.x, pt.y);
        ::SendMessageW(m_hWnd, WM_MOUSEMOVE, buttons, MAKELPARAM(x, y));
        Settle();
    }
    static HCURSOR Cursor(LPCWSTR id) { return ::LoadCursorW(nullptr, id); }
    void ExpectPatternShown()
    {
        ExpectRowShowsPattern(0);
        ExpectRowShowsPattern(m_frame->m_sizeClient.cy / 2);
        ExpectRowShowsPattern(m_frame->m_sizeClient.cy - 1);
        ExpectColumnShowsPattern(0);
        ExpectColumnShowsPattern(m_frame->m_sizeClient.cx - 1);
    }
};

}  // namespace

TEST_F(ViewPointer, CursorAndModeFollowThePointer)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    ASSERT_EQ(m_frame->m_sizeClient, CSize(1280, 1024));
    struct Case {
        int x, y;
        int32_t edge;
        LPCWSTR cursor;
    };
    for (const Case c : {Case{3, 3, 4, IDC_SIZENWSE}, {2, 500, 1, IDC_SIZEWE}, {4, 1019, 7, IDC_SIZENESW},
                         {1275, 0, 5, IDC_SIZENESW}, {1279, 600, 2, IDC_SIZEWE}, {1276, 1023, 8, IDC_SIZENWSE},
                         {640, 4, 3, IDC_SIZENS}, {640, 1019, 6, IDC_SIZENS}, {5, 5, 0, IDC_SIZEALL},
                         {100, 100, 0, IDC_SIZEALL}}) {
        PointAt(c.x, c.y);
        EXPECT_EQ(m_frame->m_nSizingEdge, c.edge) << c.x << "," << c.y;
        EXPECT_TRUE(m_frame->m_bCanPan);
        EXPECT_EQ(::GetCursor(), Cursor(c.cursor)) << c.x << "," << c.y;
    }
    // Shift turns panning into moving: the class arrow, and the band still sizes.
    SetShift(true);
    PointAt(100, 100);
    EXPECT_FALSE(m_frame->m_bCanPan);
    EXPECT_EQ(::GetCursor(), Cursor(IDC_ARROW));
    PointAt(3, 3);
    EXPECT_EQ(::GetCursor(), Cursor(IDC_SIZENWSE));
    // Releasing Shift brings the pan cursor back on the next key-up.
    SetShift(false);
    PointAt(100, 100);
    SetShift(true);
    ::SendMessageW(m_hWnd, WM_KEYDOWN, VK_SHIFT, 1);
    Settle();
    EXPECT_FALSE(m_frame->m_bCanPan);
    SetShift(false);
    ::SendMessageW(m_hWnd, WM_KEYUP, VK_SHIFT, 0xC0000001);
    Settle();
    EXPECT_TRUE(m_frame->m_bCanPan);
    EXPECT_EQ(::GetCursor(), Cursor(IDC_SIZEALL));
}

TEST_F(ViewPointer, SmallPictureCannotPanAndAPressMovesTheWindow)
{
    ShowPicture(MakePatternBitmap(400, 300));
    PointAt(200, 150);
    EXPECT_FALSE(m_frame->m_bCanPan);
    EXPECT_EQ(m_frame->m_nSizingEdge, 0);
    EXPECT_EQ(::GetCursor(), Cursor(IDC_ARROW));
    Key(VK_RIGHT);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(0, 0));

    ::SendMessageW(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
    EXPECT_FALSE(m_frame->m_bDragging);
    MSG msg{};
    // Taken off the queue unseen: dispatching it would start the system's move loop.
    ASSERT_TRUE(::PeekMessageW(&msg, m_hWnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0xF012u);
    EXPECT_EQ(msg.lParam, 0);
}

TEST_F(ViewPointer, KeysPanAndThePixelsFollow)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    ASSERT_TRUE(m_frame->m_bCanPan);
    ExpectPatternShown();
    // The pixels that stay visible are moved; only the uncovered strip is painted.
    m_paints.clear();
    Key(VK_LEFT);
    ExpectOnlyRepainted(CRect(0, 0, 60, 1024));
    Key(VK_DOWN);
    ExpectOnlyRepainted(CRect(0, 964, 1280, 1024));
    Key(VK_UP);
    Key(VK_RIGHT);
    m_paints.clear();
    struct Step {
        UINT vk;
        CPoint scroll;
    };
    // Page Down moves by the client height, limited by the room left (1500 - 60 - 1024).
    for (const Step s : {Step{VK_RIGHT, {420, 0}}, {VK_DOWN, {420, 60}}, {VK_NEXT, {420, 476}},
                         {VK_NEXT, {420, 476}}, {VK_LEFT, {360, 476}}, {VK_UP, {360, 416}},
                         {VK_PRIOR, {360, 0}}, {VK_UP, {360, 0}}}) {
        Key(s.vk);
        EXPECT_EQ(m_frame->m_ptScroll, s.scroll) << s.vk;
        ExpectPatternShown();
    }
    EXPECT_FLOAT_EQ(m_frame->m_fCenterX, (360 + 640) / 2000.0f);
    EXPECT_FLOAT_EQ(m_frame->m_fCenterY, 512 / 1500.0f);
}

TEST_F(ViewPointer, RightKeyTakesTheLastFewPixelsThenStops)
{
    ShowPicture(MakePatternBitmap(2050, 1100));
    ASSERT_EQ(m_frame->m_ptScroll, CPoint(385, 0));
    for (int i = 0; i < 6; ++i)
        Key(VK_RIGHT);
    EXPECT_EQ(m_frame->m_ptScroll.x, 745);
    Key(VK_RIGHT);  // 25 pixels of room left
    EXPECT_EQ(m_frame->m_ptScroll.x, 770);
    Key(VK_RIGHT);
    EXPECT_EQ(m_frame->m_ptScroll.x, 770);
    ExpectPatternShown();
    // Home, End and other keys do not pan; Ctrl does not change an arrow.
    Key(VK_HOME);
    Key(VK_END);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(770, 0));
    BYTE keys[256]{};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    Key(VK_DOWN);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(770, 60));
    ExpectPatternShown();
}

TEST_F(ViewPointer, WheelGathersNotchesAndPans)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    m_paints.clear();
    Wheel(-120);  // backward over a tall picture: down
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(360, 60));
    ExpectOnlyRepainted(CRect(0, 964, 1280, 1024));
    ExpectPatternShown();
    Wheel(-40);
    Wheel(-40);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(360, 60));
    EXPECT_EQ(m_frame->m_nWheelDelta, -80);
    Wheel(-40);  // the third small step makes a notch
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(360, 120));
    EXPECT_EQ(m_frame->m_nWheelDelta, 0);
    Wheel(240);  // two notches at once still move one step
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(360, 60));
    EXPECT_EQ(m_frame->m_nWheelDelta, 0);
    ExpectPatternShown();
}

TEST_F(ViewPointer, WheelOverAWidePictureScrollsSideways)
{
    ShowPicture(MakePatternBitmap(2000, 500));
    ASSERT_EQ(m_frame->m_sizeScrollMax.cy, 0);
    Wheel(120);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(300, 0));
    Wheel(-120);
    Wheel(-120);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(420, 0));
    ExpectPatternShown();
}

TEST_F(ViewPointer, ShiftWheelZooms)
{
    ShowPicture(MakePatternBitmap(400, 300));
    SetShift(true);
    Wheel(120);
    EXPECT_EQ(m_frame->m_fZoom, 1.05f);
    EXPECT_EQ(WindowRect(), CRect(431, 355, 850, 669));
    Wheel(-60);
    Wheel(-60);
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    EXPECT_EQ(WindowRect(), CRect(440, 362, 840, 662));
}

TEST_F(ViewPointer, ShiftWheelWithoutPictureDoesNothing)
{
    SetShift(true);
    Wheel(120);
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    EXPECT_EQ(m_frame->m_nWheelDelta, 0);
    EXPECT_EQ(WindowRect(), CRect(480, 392, 800, 632));
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);
}

TEST_F(ViewPointer, DragPansWhileTheButtonIsDown)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    Key(VK_DOWN);
    Key(VK_DOWN);
    PointAt(300, 200);
    ASSERT_EQ(m_frame->m_ptScroll, CPoint(360, 120));
    ::SendMessageW(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
    EXPECT_TRUE(m_frame->m_bDragging);
    EXPECT_EQ(::GetCapture(), m_hWnd);
    m_paints.clear();
    MoveTo(250, 200, MK_LBUTTON);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(410, 120));  // the picture follows the pointer
    ExpectOnlyRepainted(CRect(1230, 0, 1280, 1024));
    ExpectPatternShown();
    MoveTo(250, 260, MK_LBUTTON);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(410, 60));
    ExpectOnlyRepainted(CRect(0, 0, 1280, 60));
    ExpectPatternShown();
    MoveTo(1200, 900, MK_LBUTTON);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(0, 0));  // held inside the scroll range
    ExpectPatternShown();
    EXPECT_FLOAT_EQ(m_frame->m_fCenterX, 640 / 2000.0f);

    ::SendMessageW(m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(1200, 900));
    EXPECT_FALSE(m_frame->m_bDragging);
    EXPECT_EQ(::GetCapture(), nullptr);
    MoveTo(100, 100, 0);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(0, 0));
}

TEST_F(ViewPointer, APanEndsWhenAnotherWindowTakesTheMouse)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    PointAt(300, 200);
    ::SendMessageW(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
    ASSERT_TRUE(m_frame->m_bDragging);
    ASSERT_EQ(::GetCapture(), m_hWnd);
    MoveTo(250, 200, MK_LBUTTON);
    const CPoint panned = m_frame->m_ptScroll;
    ASSERT_EQ(panned, CPoint(410, 0));

    // Another window takes the mouse, as a context menu opened mid-drag does; the button-up
    // then goes to that window, never to this one.
    HWND hOther = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hOther, nullptr);
    ::SetCapture(hOther);
    EXPECT_FALSE(m_frame->m_bDragging);
    ::ReleaseCapture();
    ::DestroyWindow(hOther);

    // Plain hovering no longer pans.
    MoveTo(100, 100, 0);
    MoveTo(900, 700, 0);
    EXPECT_EQ(m_frame->m_ptScroll, panned);
    // A new press pans again.
    PointAt(300, 200);
    ::SendMessageW(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
    MoveTo(300, 150, MK_LBUTTON);
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(410, 50));
    ::SendMessageW(m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(300, 150));
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(ViewPointer, SizeKeepsTheScrollInsideTheNewRange)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    // A smaller window, as the user's sizing loop would leave it.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 1000, 800, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    Settle();
    EXPECT_EQ(m_frame->m_sizeClient, CSize(1000, 800));
    EXPECT_EQ(m_frame->m_sizeScrollMax, CSize(1000, 700));
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(360, 0));
    for (int i = 0; i < 12; ++i)
        Key(VK_RIGHT);
    ASSERT_EQ(m_frame->m_ptScroll, CPoint(1000, 0));
    // Larger again: the position is pulled back to the new limit and the pixels move with it.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 1280, 1024, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    Settle();
    EXPECT_EQ(m_frame->m_sizeScrollMax, CSize(720, 476));
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(720, 0));
    ExpectPatternShown();

    // Minimising reports a size but changes nothing.
    ::SendMessageW(m_hWnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    EXPECT_EQ(m_frame->m_sizeClient, CSize(1280, 1024));
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(720, 0));
}
