// The window rectangle, zoom and mode after each view command, and the menu marks
// the update rules give them, on the 1280 by 1024 work area of the test display.
#include <windows.h>

#include "res/resource.h"
#include "tests/win/test_view_fixture.h"

namespace {

constexpr wchar_t kWordActualSize[] = L"\u539F\u5C3A\u5BF8";             // 原尺寸
constexpr wchar_t kWordScreenSize[] = L"\u5168\u5C4F\u5E55\u5C3A\u5BF8";  // 全屏幕尺寸
constexpr wchar_t kWordBestFit[] = L"\u9002\u5B9C\u6BD4\u4F8B";           // 适宜比例
constexpr wchar_t kWordFitWindow[] = L"\u9002\u5E94\u7A97\u53E3";         // 适应窗口
constexpr wchar_t kWordZoomIn[] = L"\u653E\u5927";                        // 放大
constexpr wchar_t kWordZoomOut[] = L"\u7F29\u5C0F";                       // 缩小

bool EndsWith(const CStringW& text, const wchar_t* word)
{
    const CStringW w(word);
    return text.size() >= w.size() && text.compare(text.size() - w.size(), w.size(), w) == 0;
}

using ViewLayout = ViewTest;

}  // namespace

TEST_F(ViewLayout, WithoutPictureTheWindowIs320By240AboutTheWorkAreaCentre)
{
    EXPECT_EQ(WindowRect(), CRect(480, 392, 800, 632));
    EXPECT_EQ(m_frame->m_sizeView, CSize(320, 240));
    EXPECT_EQ(m_frame->m_sizeClient, CSize(320, 240));
    EXPECT_EQ(m_frame->m_fCenterX, 0.5f);
    EXPECT_EQ(m_frame->m_fCenterY, 0.5f);

    // The view commands need a picture: nothing moves, nothing is shown.
    for (UINT id : {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ACTUAL_SIZE, ID_VIEW_SCREEN_SIZE}) {
        Command(id);
        Settle();
        EXPECT_EQ(WindowRect(), CRect(480, 392, 800, 632)) << id;
        EXPECT_EQ(m_frame->m_fZoom, 1.0f) << id;
        EXPECT_EQ(m_frame->m_nViewMode, 1) << id;
        EXPECT_EQ(m_frame->m_pTagWnd, nullptr) << id;
    }
}

TEST_F(ViewLayout, SmallPictureThroughEveryViewCommand)
{
    ShowPicture(MakePatternBitmap(400, 300));
    EXPECT_EQ(WindowRect(), CRect(440, 362, 840, 662));
    EXPECT_EQ(m_frame->m_sizeScrollMax, CSize(0, 0));
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(0, 0));

    Command(ID_VIEW_ZOOM_IN);
    EXPECT_EQ(m_frame->m_fZoom, 1.05f);
    EXPECT_EQ(m_frame->m_sizeView, CSize(419, 314));
    EXPECT_EQ(WindowRect(), CRect(431, 355, 850, 669));
    EXPECT_EQ(m_frame->m_nMaxArea, 419u * 314u);
    EXPECT_TRUE(EndsWith(TagText(m_frame), kWordZoomIn)) << TagText(m_frame);

    Command(ID_VIEW_ZOOM_OUT);  // one step back lands on 1.0 exactly
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    EXPECT_EQ(WindowRect(), CRect(440, 362, 840, 662));
    EXPECT_TRUE(EndsWith(TagText(m_frame), kWordZoomOut));

    Command(ID_VIEW_ZOOM_OUT);
    EXPECT_EQ(m_frame->m_fZoom, 0.95f);
    EXPECT_EQ(WindowRect(), CRect(451, 370, 830, 654));

    // Fit window: the present client area (379 x 284) becomes the limit, so the
    // picture is refitted a little smaller by area.
    Command(ID_VIEW_FIT_WINDOW);
    EXPECT_EQ(m_frame->m_nViewMode, 2);
    EXPECT_EQ(m_frame->m_nMaxArea, 379u * 284u);
    EXPECT_FLOAT_EQ(m_frame->m_fZoom, 0.94708323f);
    EXPECT_EQ(m_frame->m_sizeView, CSize(378, 284));
    EXPECT_EQ(WindowRect(), CRect(451, 370, 829, 654));
    EXPECT_TRUE(EndsWith(TagText(m_frame), kWordFitWindow));

    // Best fit lays nothing out: the present factor stays in force.
    const float zoom = m_frame->m_fZoom;
    Command(ID_VIEW_BEST_FIT);
    EXPECT_EQ(m_frame->m_nViewMode, 1);
    EXPECT_EQ(m_frame->m_fZoom, zoom);
    EXPECT_EQ(WindowRect(), CRect(451, 370, 829, 654));
    EXPECT_TRUE(EndsWith(TagText(m_frame), kWordBestFit));

    Command(ID_VIEW_ACTUAL_SIZE);
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    EXPECT_EQ(WindowRect(), CRect(440, 362, 840, 662));
    EXPECT_TRUE(EndsWith(TagText(m_frame), kWordActualSize));

    // Screen size never enlarges: a picture that fits keeps its own size.
    Command(ID_VIEW_SCREEN_SIZE);
    EXPECT_EQ(m_frame->m_nViewMode, 2);
    EXPECT_EQ(m_frame->m_nMaxArea, 0xFFFFFFFFu);
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    EXPECT_EQ(WindowRect(), CRect(440, 362, 840, 662));
    EXPECT_TRUE(EndsWith(TagText(m_frame), kWordScreenSize));
}

TEST_F(ViewLayout, LargePictureThroughEveryViewCommand)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    EXPECT_EQ(WindowRect(), CRect(0, 0, 1280, 1024));
    EXPECT_EQ(m_frame->m_sizeView, CSize(2000, 1500));
    EXPECT_EQ(m_frame->m_sizeScrollMax, CSize(720, 476));
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(360, 0));  // top edge, horizontally centred

    // Zooming keeps the spot in the middle: (360 + 640) / 2000 across, 512 / 1500 down.
    Command(ID_VIEW_ZOOM_IN);
    EXPECT_EQ(m_frame->m_sizeView, CSize(2099, 1574));
    EXPECT_EQ(WindowRect(), CRect(0, 0, 1280, 1024));
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(409, 25));

    Command(ID_VIEW_SCREEN_SIZE);
    EXPECT_EQ(m_frame->m_fZoom, 0.64f);
    EXPECT_EQ(m_frame->m_sizeView, CSize(1280, 960));
    EXPECT_EQ(WindowRect(), CRect(0, 32, 1280, 992));
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(0, 0));
    EXPECT_TRUE(EndsWith(TagText(m_frame), kWordScreenSize));

    // Screen size again acts as fit window: the present area becomes the limit.
    Command(ID_VIEW_SCREEN_SIZE);
    EXPECT_EQ(m_frame->m_nViewMode, 2);
    EXPECT_EQ(m_frame->m_nMaxArea, 1280u * 960u);
    EXPECT_EQ(WindowRect(), CRect(0, 32, 1280, 992));
    EXPECT_TRUE(EndsWith(TagText(m_frame), kWordFitWindow));

    Command(ID_VIEW_ACTUAL_SIZE);
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    EXPECT_EQ(m_frame->m_nViewMode, 1);
    EXPECT_EQ(WindowRect(), CRect(0, 0, 1280, 1024));
    EXPECT_EQ(m_frame->m_ptScroll, CPoint(360, 0));

    Command(ID_VIEW_ZOOM_OUT);
    Command(ID_VIEW_ZOOM_OUT);
    Command(ID_VIEW_ZOOM_OUT);
    Command(ID_VIEW_ZOOM_OUT);  // 0.81450623: 1629 x 1221, still larger than the screen
    EXPECT_EQ(m_frame->m_sizeView, CSize(1629, 1221));
    EXPECT_EQ(WindowRect(), CRect(0, 0, 1280, 1024));
    Command(ID_VIEW_BEST_FIT);
    EXPECT_EQ(WindowRect(), CRect(0, 0, 1280, 1024));
    EXPECT_EQ(m_frame->m_sizeView, CSize(1629, 1221));
}

TEST_F(ViewLayout, EnterTogglesActualSizeAndScreenSize)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    const CRect full(0, 0, 1280, 1024);
    const CRect fitted(0, 32, 1280, 992);
    // Enter arrives as ID_VIEW_ACTUAL_SIZE; at actual size it means screen size.
    for (int i = 0; i < 2; ++i) {
        Command(ID_VIEW_ACTUAL_SIZE);
        EXPECT_EQ(WindowRect(), fitted) << i;
        EXPECT_TRUE(EndsWith(TagText(m_frame), kWordScreenSize));
        Command(ID_VIEW_ACTUAL_SIZE);
        EXPECT_EQ(WindowRect(), full) << i;
        EXPECT_TRUE(EndsWith(TagText(m_frame), kWordActualSize));
    }
}

TEST_F(ViewLayout, TallPictureAtScreenSize)
{
    ShowPicture(MakePatternBitmap(1000, 3000));
    Command(ID_VIEW_SCREEN_SIZE);
    EXPECT_FLOAT_EQ(m_frame->m_fZoom, 1024.0f / 3000.0f);
    EXPECT_EQ(m_frame->m_sizeView, CSize(341, 1024));
    EXPECT_EQ(WindowRect(), CRect(470, 0, 811, 1024));
}

TEST_F(ViewLayout, ScreenSizeOnAShorterWorkArea)
{
    SetWorkArea(CRect(0, 0, 1280, 984));
    ShowPicture(MakePatternBitmap(3000, 2000));
    Command(ID_VIEW_SCREEN_SIZE);
    EXPECT_EQ(m_frame->m_fZoom, 0.42666668f);
    EXPECT_EQ(m_frame->m_sizeView, CSize(1280, 853));
    // The centre was taken from the full screen when the window was made.
    EXPECT_EQ(WindowRect(), CRect(0, 86, 1280, 939));
}

TEST_F(ViewLayout, FitWindowLimitShrinksTheNextPictureByArea)
{
    ShowPicture(MakePatternBitmap(800, 600));
    Command(ID_VIEW_FIT_WINDOW);
    EXPECT_EQ(m_frame->m_nMaxArea, 800u * 600u);
    ShowPicture(MakePatternBitmap(1000, 1000));
    EXPECT_EQ(m_frame->m_fZoom, 0.69282031f);
    EXPECT_EQ(m_frame->m_sizeView, CSize(692, 692));
    EXPECT_EQ(WindowRect(), CRect(294, 166, 986, 858));
}

TEST_F(ViewLayout, CentreNearTheEdgeShiftsTheWindowButIsKept)
{
    m_frame->m_ptCenter = CPoint(100, 1000);
    ShowPicture(MakePatternBitmap(400, 300));
    EXPECT_EQ(WindowRect(), CRect(0, 724, 400, 1024));
    EXPECT_EQ(m_frame->m_ptCenter, CPoint(100, 1000));
    ShowPicture(MakePatternBitmap(100, 40));
    EXPECT_EQ(WindowRect(), CRect(50, 980, 150, 1020));
}

TEST_F(ViewLayout, ZoomAfterScrollingKeepsTheSpotInTheMiddle)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    for (int i = 0; i < 3; ++i) {
        ::SendMessageW(m_hWnd, WM_KEYDOWN, VK_DOWN, 1);
        ::SendMessageW(m_hWnd, WM_KEYDOWN, VK_RIGHT, 1);
    }
    Settle();
    ASSERT_EQ(m_frame->m_ptScroll, CPoint(540, 180));
    Command(ID_VIEW_ZOOM_IN);
    Command(ID_VIEW_ZOOM_OUT);
    Settle();
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    EXPECT_NEAR(m_frame->m_ptScroll.x, 540, 1);
    EXPECT_NEAR(m_frame->m_ptScroll.y, 180, 1);
    // Back at the picture's own size, the window shows its own pixels again.
    ExpectRowShowsPattern(300);
}

TEST_F(ViewLayout, MenuMarksWithoutPicture)
{
    for (UINT id : {ID_VIEW_ACTUAL_SIZE, ID_VIEW_SCREEN_SIZE, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_BEST_FIT,
                    ID_VIEW_FIT_WINDOW})
        EXPECT_FALSE(ViewMenuMarks(m_hWnd, id).bEnabled) << id;
    // The mode mark is there even while the items are disabled.
    EXPECT_TRUE(ViewMenuMarks(m_hWnd, ID_VIEW_BEST_FIT).bRadio);
    EXPECT_TRUE(ViewMenuMarks(m_hWnd, ID_VIEW_ACTUAL_SIZE).bChecked);
}

TEST_F(ViewLayout, MenuMarksFollowTheCommands)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    for (UINT id : {ID_VIEW_ACTUAL_SIZE, ID_VIEW_SCREEN_SIZE, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_BEST_FIT,
                    ID_VIEW_FIT_WINDOW})
        EXPECT_TRUE(ViewMenuMarks(m_hWnd, id).bEnabled) << id;

    struct Expect {
        bool actual, screen, bestFit, fitWindow;
    };
    auto check = [this](const Expect& e, const char* after) {
        EXPECT_EQ(ViewMenuMarks(m_hWnd, ID_VIEW_ACTUAL_SIZE).bChecked, e.actual) << after;
        EXPECT_EQ(ViewMenuMarks(m_hWnd, ID_VIEW_SCREEN_SIZE).bChecked, e.screen) << after;
        EXPECT_EQ(ViewMenuMarks(m_hWnd, ID_VIEW_BEST_FIT).bRadio, e.bestFit) << after;
        EXPECT_EQ(ViewMenuMarks(m_hWnd, ID_VIEW_FIT_WINDOW).bRadio, e.fitWindow) << after;
    };
    check({true, false, true, false}, "load");
    Command(ID_VIEW_ZOOM_IN);
    check({false, false, true, false}, "zoom in");
    Command(ID_VIEW_SCREEN_SIZE);
    check({false, true, false, true}, "screen size");
    Command(ID_VIEW_SCREEN_SIZE);
    check({false, false, false, true}, "screen size twice");
    Command(ID_VIEW_BEST_FIT);
    check({false, false, true, false}, "best fit");
    Command(ID_VIEW_ACTUAL_SIZE);
    check({true, false, true, false}, "actual size");
}
