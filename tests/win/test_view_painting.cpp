// What the main window paints: the picture's own pixels at zoom 1.0, the hint
// without a picture, and the GDI+ modes each paint hands over.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "res/resource.h"
#include "tests/win/test_view_fixture.h"
#include "view/paint_rules.h"
#include "view/paint_seam.h"

namespace {

class ViewPainting : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        SetPaintObserver([this](const PaintCall& call) { m_calls.push_back(call); });
    }
    void TearDown() override
    {
        SetPaintObserver({});
        ViewTest::TearDown();
    }
    // Repaints the whole window and returns what that paint handed to GDI+.
    std::vector<PaintCall> Repaint()
    {
        m_calls.clear();
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        ::UpdateWindow(m_hWnd);
        return m_calls;
    }

    std::vector<PaintCall> m_calls;
};

}  // namespace

TEST_F(ViewPainting, PatternAtZoomOneShowsItsOwnPixels)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    ExpectRowShowsPattern(0);
    ExpectRowShowsPattern(517);
    ExpectColumnShowsPattern(0);
    ExpectColumnShowsPattern(1279);
}

TEST_F(ViewPainting, TwoColourPictureAtKnownPoints)
{
    const COLORREF red = RGB(200, 30, 40);
    const COLORREF blue = RGB(20, 60, 220);
    ShowPicture(MakeTwoColourBitmap(400, 300, red, blue));
    ASSERT_EQ(WindowRect(), CRect(440, 362, 840, 662));
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 0, 0), red);
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 199, 150), red);
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 200, 150), blue);
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 399, 299), blue);
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 0, 299), red);
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 399, 0), blue);
}

TEST_F(ViewPainting, WithoutPictureTheHintIsCentredOnTheWindowTextColour)
{
    Repaint();
    const COLORREF back = ::GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF fore = ::GetSysColor(COLOR_WINDOW);
    ASSERT_NE(back, fore);
    int left = 320, right = -1, top = 240, bottom = -1, foreCount = 0;
    for (int y = 0; y < 240; ++y) {
        const std::vector<COLORREF> row = ReadClientRow(m_hWnd, y, 0, 320);
        for (int x = 0; x < 320; ++x) {
            if (row[x] == back)
                continue;
            foreCount += row[x] == fore;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    ASSERT_GT(foreCount, 0) << "no text in the window colour";
    // One line, centred both ways.
    EXPECT_NEAR((left + right) / 2.0, 159.5, 3.0);
    EXPECT_NEAR((top + bottom) / 2.0, 119.5, 3.0);
    EXPECT_LT(bottom - top, 30);
    // Corners and edges carry the background.
    for (auto [x, y] : {std::pair{0, 0}, {319, 0}, {0, 239}, {319, 239}, {5, 120}, {314, 120}})
        EXPECT_EQ(ReadWindowPixel(m_hWnd, x, y), back) << x << "," << y;
}

TEST_F(ViewPainting, EachChoiceHandsItsModeToGdiplus)
{
    ShowPicture(MakePatternBitmap(600, 400));
    struct Case {
        int32_t nInterpolation;
        int32_t nMode;
        int32_t nKept;  // what the graphics object reports back
    };
    // Default 0, NearestNeighbor 5, Bilinear 3, HighQualityBilinear 6, Bicubic 4,
    // HighQualityBicubic 7; a stored value out of range draws with the default,
    // which GDI+ keeps as bilinear.
    for (const Case c : {Case{0, 0, 3}, {1, 5, 5}, {2, 3, 3}, {3, 6, 6}, {4, 4, 4}, {5, 7, 7}, {7, 0, 3}, {9, 0, 3},
                         {-1, 0, 3}}) {
        m_frame->m_nInterpolation = c.nInterpolation;
        const std::vector<PaintCall> calls = Repaint();
        ASSERT_EQ(calls.size(), 1u) << c.nInterpolation;
        EXPECT_EQ(calls[0].nInterpolationMode, c.nMode) << c.nInterpolation;
        EXPECT_EQ(calls[0].nGraphicsInterpolation, c.nKept) << c.nInterpolation;
        EXPECT_EQ(calls[0].nCompositingMode, 1) << "source copy";
    }
}

TEST_F(ViewPainting, InterpolationCommandsRepaintAtOnce)
{
    ShowPicture(MakePatternBitmap(600, 400));
    for (UINT id = ID_INTERP_DEFAULT; id <= ID_INTERP_HQ_BICUBIC; ++id) {
        m_calls.clear();
        Command(id);
        EXPECT_EQ(m_frame->m_nInterpolation, static_cast<int32_t>(id - ID_INTERP_DEFAULT));
        ::UpdateWindow(m_hWnd);
        ASSERT_EQ(m_calls.size(), 1u) << id;
        EXPECT_EQ(m_calls[0].nInterpolationMode, GdiplusInterpolationMode(static_cast<int32_t>(id - ID_INTERP_DEFAULT)));
        // The whole window, not a part of it.
        EXPECT_EQ(m_calls[0].dest.Width, 600.0f);
        EXPECT_EQ(m_calls[0].dest.Height, 400.0f);
        for (UINT other = ID_INTERP_DEFAULT; other <= ID_INTERP_HQ_BICUBIC; ++other)
            EXPECT_EQ(ViewMenuMarks(m_hWnd, other).bRadio, other == id) << id << " " << other;
    }
    // At zoom 1.0 every mode shows the picture's own pixels.
    ExpectRowShowsPattern(200);
}

TEST_F(ViewPainting, InterpolationWithoutPictureIsStoredButNotPainted)
{
    Repaint();
    Command(ID_INTERP_BICUBIC);
    EXPECT_EQ(m_frame->m_nInterpolation, 4);
    EXPECT_FALSE(::GetUpdateRect(m_hWnd, nullptr, FALSE));
    EXPECT_TRUE(ViewMenuMarks(m_hWnd, ID_INTERP_BICUBIC).bRadio);
    EXPECT_TRUE(ViewMenuMarks(m_hWnd, ID_INTERP_BICUBIC).bEnabled);
    EXPECT_FALSE(ViewMenuMarks(m_hWnd, ID_INTERP_DEFAULT).bRadio);
}

TEST_F(ViewPainting, OutOfRangeSettingMarksNoItem)
{
    m_frame->m_nInterpolation = 9;
    for (UINT id = ID_INTERP_DEFAULT; id <= ID_INTERP_HQ_BICUBIC; ++id) {
        const MenuMarks marks = ViewMenuMarks(m_hWnd, id);
        EXPECT_FALSE(marks.bRadio) << id;
        EXPECT_TRUE(marks.bEnabled) << id;
    }
}

TEST_F(ViewPainting, OnlyTheInvalidBoxIsDrawnFromTheScrolledZoomedPicture)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    m_frame->m_fZoom = 0.5f;
    m_frame->LayoutView(false);
    Settle();
    m_frame->m_ptScroll = CPoint(100, 40);
    const RECT box{10, 20, 210, 120};
    m_calls.clear();
    ::InvalidateRect(m_hWnd, &box, FALSE);
    ::UpdateWindow(m_hWnd);
    ASSERT_EQ(m_calls.size(), 1u);
    const PaintCall& call = m_calls[0];
    EXPECT_EQ(call.dest.X, 10.0f);
    EXPECT_EQ(call.dest.Y, 20.0f);
    EXPECT_EQ(call.dest.Width, 200.0f);
    EXPECT_EQ(call.dest.Height, 100.0f);
    EXPECT_EQ(call.src.X, 220.0f);
    EXPECT_EQ(call.src.Y, 120.0f);
    EXPECT_EQ(call.src.Width, 400.0f);
    EXPECT_EQ(call.src.Height, 200.0f);
}

TEST_F(ViewPainting, PartialRepaintMatchesAFullOne)
{
    ShowPicture(MakePatternBitmap(2000, 1500));
    // Spoil a band of the screen copy, then let only that band be repainted.
    {
        HDC dc = ::GetDC(m_hWnd);
        const RECT band{300, 400, 700, 460};
        ::FillRect(dc, &band, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::ReleaseDC(m_hWnd, dc);
    }
    const RECT band{300, 400, 700, 460};
    m_calls.clear();
    ::InvalidateRect(m_hWnd, &band, FALSE);
    ::UpdateWindow(m_hWnd);
    ASSERT_EQ(m_calls.size(), 1u);
    EXPECT_EQ(m_calls[0].dest.Width, 400.0f);
    EXPECT_EQ(m_calls[0].dest.Height, 60.0f);
    for (int y : {400, 430, 459})
        ExpectRowShowsPattern(y);
    ExpectColumnShowsPattern(300);
    ExpectColumnShowsPattern(699);
}

TEST_F(ViewPainting, EraseDrawsNothing)
{
    ShowPicture(MakePatternBitmap(400, 300));
    HDC dc = ::GetDC(m_hWnd);
    EXPECT_EQ(::SendMessageW(m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ::ReleaseDC(m_hWnd, dc);
    ExpectRowShowsPattern(150);
}
