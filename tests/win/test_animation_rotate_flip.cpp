// Quarter turns and flips of the picture in memory: the pixels, the size, the window that
// follows the new size and the word in the label.
#include <windows.h>

#include <string>
#include <utility>

#include "feedback/tag_wnd.h"
#include "framework/cmd_target.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

// Every pixel its own colour, so any misplaced pixel shows.
Gdiplus::Color Pattern(int x, int y)
{
    return Gdiplus::Color(BYTE(x * 6), BYTE(y * 8), BYTE(255 - x * 3));
}

COLORREF PatternRgb(int x, int y)
{
    const Gdiplus::Color c = Pattern(x, y);
    return RGB(c.GetR(), c.GetG(), c.GetB());
}

class RotateFlip : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        m_folder = MakeScratchFolder(L"rotate-flip");
        ASSERT_TRUE(WritePicture(m_folder + L"pattern.png", kWidth, kHeight, &Pattern));
    }

    bool LoadPattern() { return m_frame->LoadPicture(m_folder, L"pattern.png", 0) == 0; }

    COLORREF ImagePixel(int x, int y) const
    {
        Gdiplus::Color c;
        m_frame->m_pImage->GetPixel(x, y, &c);
        return RGB(c.GetR(), c.GetG(), c.GetB());
    }

    // Whether every pixel (x, y) of the picture is the pattern's pixel at map(x, y).
    template <class Map>
    bool PixelsAre(int cx, int cy, Map map) const
    {
        if (m_frame->m_pImage->GetWidth() != UINT(cx) || m_frame->m_pImage->GetHeight() != UINT(cy))
            return false;
        for (int y = 0; y < cy; ++y) {
            for (int x = 0; x < cx; ++x) {
                const auto [sx, sy] = map(x, y);
                if (ImagePixel(x, y) != PatternRgb(sx, sy))
                    return false;
            }
        }
        return true;
    }

    bool IsHalfTurned() const
    {
        return PixelsAre(kWidth, kHeight, [](int x, int y) { return std::pair(kWidth - 1 - x, kHeight - 1 - y); });
    }

    bool IsUnchanged() const
    {
        return PixelsAre(kWidth, kHeight, [](int x, int y) { return std::pair(x, y); });
    }

    std::wstring m_folder;
};

TEST_F(RotateFlip, AClockwiseQuarterTurnSwapsTheSizeAndMovesThePixels)
{
    ASSERT_TRUE(LoadPattern());
    ASSERT_TRUE(IsUnchanged());
    Command(ID_EDIT_ROTATE_CW);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(kHeight, kWidth));
    // Clockwise: the left column becomes the top row, read from the bottom up.
    EXPECT_TRUE(PixelsAre(kHeight, kWidth, [](int x, int y) { return std::pair(y, kHeight - 1 - x); }));
    ASSERT_NE(m_frame->m_pTagWnd, nullptr);
    EXPECT_EQ(m_frame->m_pTagWnd->m_strText, L"pattern.png (100%) \u65CB\u8F6C");  // 旋转
}

TEST_F(RotateFlip, TwoClockwiseTurnsAreAHalfTurnAndFourGiveItBack)
{
    ASSERT_TRUE(LoadPattern());
    Command(ID_EDIT_ROTATE_CW);
    Command(ID_EDIT_ROTATE_CW);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(kWidth, kHeight));
    EXPECT_TRUE(IsHalfTurned());
    Command(ID_EDIT_ROTATE_CW);
    Command(ID_EDIT_ROTATE_CW);
    EXPECT_TRUE(IsUnchanged());
}

TEST_F(RotateFlip, ACounterClockwiseTurnUndoesAClockwiseOne)
{
    ASSERT_TRUE(LoadPattern());
    Command(ID_EDIT_ROTATE_CW);
    Command(ID_EDIT_ROTATE_CCW);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(kWidth, kHeight));
    EXPECT_TRUE(IsUnchanged());
}

TEST_F(RotateFlip, BothFlipsAreAHalfTurn)
{
    ASSERT_TRUE(LoadPattern());
    Command(ID_EDIT_FLIP_HORIZONTAL);
    EXPECT_TRUE(PixelsAre(kWidth, kHeight, [](int x, int y) { return std::pair(kWidth - 1 - x, y); }));
    ASSERT_NE(m_frame->m_pTagWnd, nullptr);
    EXPECT_EQ(m_frame->m_pTagWnd->m_strText, L"pattern.png (100%) \u7FFB\u8F6C");  // 翻转
    Command(ID_EDIT_FLIP_VERTICAL);
    EXPECT_TRUE(IsHalfTurned());
    EXPECT_EQ(m_frame->m_sizeImage, CSize(kWidth, kHeight));
}

TEST_F(RotateFlip, AReloadShowsThePictureAsStored)
{
    ASSERT_TRUE(LoadPattern());
    Command(ID_EDIT_ROTATE_CW);
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"pattern.png", 0), 0);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(kWidth, kHeight));
    EXPECT_TRUE(IsUnchanged());
}

TEST_F(RotateFlip, AQuarterTurnResizesTheWindow)
{
    ASSERT_TRUE(WriteSolidPicture(m_folder + L"wide.png", 640, 480, Gdiplus::Color(0, 90, 180)));
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"wide.png", 0), 0);
    PumpMessages();
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    ASSERT_EQ(rc.right - rc.left, 640);
    ASSERT_EQ(rc.bottom - rc.top, 480);

    Command(ID_EDIT_ROTATE_CCW);
    PumpMessages();
    EXPECT_EQ(m_frame->m_sizeImage, CSize(480, 640));
    ::GetWindowRect(m_hWnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 480);
    EXPECT_EQ(rc.bottom - rc.top, 640);
}

TEST_F(RotateFlip, OnlyAStillPictureCanBeTurned)
{
    for (UINT id : {ID_EDIT_FLIP_HORIZONTAL, ID_EDIT_FLIP_VERTICAL, ID_EDIT_ROTATE_CW, ID_EDIT_ROTATE_CCW})
        EXPECT_FALSE(Enabled(id)) << id;
    ASSERT_TRUE(LoadPattern());
    for (UINT id : {ID_EDIT_FLIP_HORIZONTAL, ID_EDIT_FLIP_VERTICAL, ID_EDIT_ROTATE_CW, ID_EDIT_ROTATE_CCW})
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(RotateFlip, NothingToTurnWithoutAPicture)
{
    for (UINT id : {ID_EDIT_FLIP_HORIZONTAL, ID_EDIT_FLIP_VERTICAL, ID_EDIT_ROTATE_CW, ID_EDIT_ROTATE_CCW}) {
        EXPECT_FALSE(Enabled(id)) << id;
        Command(id);
    }
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);
    // Called directly, the handler still checks for a picture.
    m_frame->OnRotateFlip(ID_EDIT_ROTATE_CW);
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);
}

}  // namespace
