// Where the user may put and size the main window: WM_MOVING rectangles pulled
// back in place, the largest track size, and the label gone on every move.
#include <windows.h>

#include "feedback/tag_wnd.h"
#include "framework/win_geometry.h"
#include "res/resource.h"
#include "tests/win/test_view_fixture.h"

namespace {

using ViewPlacement = ViewTest;

// What the window proposes with WM_MOVING, and what it was given back.
CRect Moving(HWND hWnd, const CRect& proposed)
{
    RECT rc = ToRECT(proposed);
    EXPECT_EQ(::SendMessageW(hWnd, WM_MOVING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&rc)), TRUE);
    return FromRECT(rc);
}

MINMAXINFO MinMax(HWND hWnd)
{
    MINMAXINFO mmi{};
    mmi.ptReserved = {1, 2};
    mmi.ptMaxSize = {3, 4};
    mmi.ptMaxPosition = {5, 6};
    mmi.ptMinTrackSize = {7, 8};
    mmi.ptMaxTrackSize = {9, 10};
    ::SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
}

}  // namespace

TEST_F(ViewPlacement, MovingPastTheBottomRightStopsAtTheWorkArea)
{
    SetWorkArea(CRect(0, 0, 1280, 984));
    ShowPicture(MakePatternBitmap(400, 300));
    EXPECT_EQ(Moving(m_hWnd, CRect(1000, 800, 1400, 1100)), CRect(880, 684, 1280, 984));
    EXPECT_EQ(m_frame->m_ptCenter, CPoint(1080, 834));
}

TEST_F(ViewPlacement, MovingPastTheTopLeftStopsAtZero)
{
    ShowPicture(MakePatternBitmap(400, 300));
    EXPECT_EQ(Moving(m_hWnd, CRect(-50, -20, 350, 280)), CRect(0, 0, 400, 300));
    EXPECT_EQ(m_frame->m_ptCenter, CPoint(200, 150));
    // A rectangle larger than the room: top and left win.
    EXPECT_EQ(Moving(m_hWnd, CRect(100, 100, 1500, 1200)), CRect(0, 0, 1400, 1100));
}

TEST_F(ViewPlacement, MovingOverATaskbarOnTheLeftReachesZero)
{
    SetWorkArea(CRect(60, 0, 1280, 1024));
    ShowPicture(MakePatternBitmap(400, 300));
    EXPECT_EQ(Moving(m_hWnd, CRect(-30, 100, 370, 400)), CRect(0, 100, 400, 400));
    EXPECT_EQ(m_frame->m_ptCenter, CPoint(200, 250));
    // The work area is read anew: the same move with the taskbar gone.
    SetWorkArea(CRect(0, 0, 1000, 700));
    EXPECT_EQ(Moving(m_hWnd, CRect(700, 500, 1100, 800)), CRect(600, 400, 1000, 700));
}

TEST_F(ViewPlacement, ZoomAfterAMoveGrowsAboutTheNewCentre)
{
    ShowPicture(MakePatternBitmap(400, 300));
    Moving(m_hWnd, CRect(800, 600, 1200, 900));
    ASSERT_EQ(m_frame->m_ptCenter, CPoint(1000, 750));
    Command(ID_VIEW_ZOOM_IN);
    EXPECT_EQ(WindowRect(), CRect(791, 593, 1210, 907));
    // The window is shifted back onto the screen, the remembered centre is not.
    Moving(m_hWnd, CRect(1000, 850, 1400, 1150));
    ASSERT_EQ(m_frame->m_ptCenter, CPoint(1080, 874));
    Command(ID_VIEW_ACTUAL_SIZE);
    EXPECT_EQ(WindowRect(), CRect(880, 724, 1280, 1024));
    EXPECT_EQ(m_frame->m_ptCenter, CPoint(1080, 874));
}

TEST_F(ViewPlacement, LargestTrackSizeIsThePictureWithinTheWorkArea)
{
    MINMAXINFO mmi = MinMax(m_hWnd);  // no picture: the hint window's size
    EXPECT_EQ(mmi.ptMaxTrackSize.x, 320);
    EXPECT_EQ(mmi.ptMaxTrackSize.y, 240);
    // Nothing else is touched.
    EXPECT_EQ(mmi.ptReserved.x, 1);
    EXPECT_EQ(mmi.ptMaxSize.y, 4);
    EXPECT_EQ(mmi.ptMaxPosition.x, 5);
    EXPECT_EQ(mmi.ptMinTrackSize.x, 7);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 8);

    ShowPicture(MakePatternBitmap(400, 300));
    Command(ID_VIEW_ZOOM_IN);
    mmi = MinMax(m_hWnd);
    EXPECT_EQ(mmi.ptMaxTrackSize.x, 419);
    EXPECT_EQ(mmi.ptMaxTrackSize.y, 314);

    ShowPicture(MakePatternBitmap(1000, 3000));  // still at 1.05: 1049 wide
    mmi = MinMax(m_hWnd);
    EXPECT_EQ(mmi.ptMaxTrackSize.x, 1049);
    EXPECT_EQ(mmi.ptMaxTrackSize.y, 1024);
    SetWorkArea(CRect(0, 0, 900, 984));
    mmi = MinMax(m_hWnd);
    EXPECT_EQ(mmi.ptMaxTrackSize.x, 900);
    EXPECT_EQ(mmi.ptMaxTrackSize.y, 984);
}

TEST_F(ViewPlacement, EveryMoveRemovesTheLabel)
{
    ShowPicture(MakePatternBitmap(400, 300));
    Command(ID_VIEW_ZOOM_IN);
    ASSERT_NE(m_frame->m_pTagWnd, nullptr);
    HWND first = m_frame->m_pTagWnd->m_hWnd;
    // A layout that moves the window takes the old label away before the new one shows.
    Command(ID_VIEW_ZOOM_IN);
    EXPECT_FALSE(::IsWindow(first));
    ASSERT_NE(m_frame->m_pTagWnd, nullptr);
    HWND second = m_frame->m_pTagWnd->m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(second));

    ::SetWindowPos(m_hWnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);
    EXPECT_FALSE(::IsWindow(second));
}

TEST_F(ViewPlacement, ResizeRemembersTheAreaAndCentre)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    ::SetWindowPos(m_hWnd, nullptr, 100, 50, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
    m_frame->RememberWindowArea();
    EXPECT_EQ(m_frame->m_nMaxArea, 700u * 500u);
    EXPECT_EQ(m_frame->m_ptCenter, CPoint(450, 300));
    // Neither zoom nor mode changed: the window keeps the user's size until the next layout.
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    EXPECT_EQ(m_frame->m_sizeScrollMax, CSize(1300, 1000));
}
