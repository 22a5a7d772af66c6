// Extreme but valid pictures on a real main window: one pixel wide and 100000 high, 100000
// wide and one high, and 16000 x 16000. Each is shown, zoomed in to the ceiling and out past
// 0.001, panned to its far corner, fitted, turned and flipped, and set as the wallpaper; after
// every step the sizes, the window, the scroll position and the crop must stay in range.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <limits>
#include <string>

#include "integration/background.h"
#include "integration/background_plan.h"
#include "res/resource.h"
#include "tests/reliability/win_reliability.h"

namespace {

using namespace reliability;

struct Extreme {
    const char* name;
    uint32_t cx, cy;
    uint8_t nDepth;
};

void PrintTo(const Extreme& e, std::ostream* os)
{
    *os << e.name;
}

const Extreme kExtremes[] = {
    {"tall", 1, 100000, 8},
    {"wide", 100000, 1, 8},
    // One bit a pixel keeps the decoded picture at 32 MB.
    {"huge", 16000, 16000, 1},
};

std::wstring g_appData;

HRESULT WINAPI ScratchAppData(HWND, int, HANDLE, DWORD, LPWSTR path)
{
    wcscpy_s(path, MAX_PATH, g_appData.c_str());
    return S_OK;
}

// The picture's colour, or that colour faded toward black: scaled up, a picture one pixel
// across is blended with the nothing beyond its edge.
bool PictureColour(COLORREF c)
{
    const int r = GetRValue(c);
    if (r < 80 || r > 208)
        return false;
    auto within = [](int a, int e) { return a >= e - 10 && a <= e + 10; };
    return within(GetGValue(c), r * 30 / 200) && within(GetBValue(c), r * 40 / 200);
}

class ReliabilityExtremes : public MainFrameTest, public ::testing::WithParamInterface<Extreme> {
protected:
    void TearDown() override
    {
        g_pfnGetFolderPath = &::SHGetFolderPathW;
        MainFrameTest::TearDown();
    }

    // The middle of the client area, where the picture always is, painted and read back.
    void ExpectPainted(const std::string& where)
    {
        SCOPED_TRACE(where);
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const CSize c = m_frame->m_sizeClient;
        if (c.cx <= 0 || c.cy <= 0 || m_frame->m_sizeView.cx < c.cx || m_frame->m_sizeView.cy < c.cy)
            return;
        const COLORREF colour = ReadWindowPixel(m_hWnd, c.cx / 2, c.cy / 2);
        EXPECT_TRUE(PictureColour(colour))
            << std::hex << "colour 0x" << colour << " in a window of " << std::dec << c.cx << "x" << c.cy;
    }

    void Step(UINT nID, const std::string& where)
    {
        Command(nID);
        ExpectSaneView(*m_frame, where);
    }
};

TEST_P(ReliabilityExtremes, ShownZoomedPannedFittedTurnedAndSetAsWallpaperWithinRange)
{
    const Extreme& e = GetParam();
    const std::wstring folder = MakeScratchFolder(L"rel-extreme-" + Widen(e.name));
    const std::wstring path = folder + Widen(e.name) + L".png";
    ASSERT_TRUE(WriteBytes(path, damaged::MakeFlatPng(e.cx, e.cy, 200, 30, 40, e.nDepth)));

    ASSERT_TRUE(m_frame->OpenFile(path));
    PumpMessages();
    ASSERT_EQ(m_frame->m_sizeImage, CSize(static_cast<int32_t>(e.cx), static_cast<int32_t>(e.cy)));
    ExpectSaneView(*m_frame, "loaded");
    ExpectPainted("loaded");

    // In to the ceiling.
    for (int i = 0; i < 200 && m_frame->m_fZoom < kMaxZoom; ++i)
        Step(ID_VIEW_ZOOM_IN, "zooming in");
    EXPECT_EQ(m_frame->m_fZoom, kMaxZoom);
    Step(ID_VIEW_ZOOM_IN, "past the ceiling");
    EXPECT_EQ(m_frame->m_fZoom, kMaxZoom);
    PumpMessages();
    ExpectPainted("at the ceiling");

    // Panned by the keys, then to the far corner, then zoomed about it.
    for (UINT vk : {VK_NEXT, VK_RIGHT, VK_DOWN, VK_RIGHT, VK_PRIOR, VK_LEFT}) {
        ::SendMessageW(m_hWnd, WM_KEYDOWN, vk, 0);
        PumpMessages();
        ExpectSaneView(*m_frame, "panning");
    }
    m_frame->ScrollTo(CPoint(std::max(0, m_frame->m_sizeScrollMax.cx), std::max(0, m_frame->m_sizeScrollMax.cy)));
    m_frame->UpdateViewCenter();
    ExpectSaneView(*m_frame, "at the far corner");
    ExpectPainted("at the far corner");
    Step(ID_VIEW_ZOOM_OUT, "out from the far corner");
    Step(ID_VIEW_ZOOM_IN, "in at the far corner");

    // Out to 0.001 and past it.
    for (int i = 0; i < 500 && m_frame->m_fZoom > 0.001f; ++i)
        Step(ID_VIEW_ZOOM_OUT, "zooming out");
    EXPECT_LE(m_frame->m_fZoom, 0.001f);
    EXPECT_GT(m_frame->m_fZoom, 0.0f);
    PumpMessages();
    ExpectPainted("at 0.001");
    Step(ID_VIEW_ZOOM_IN, "back in from 0.001");

    // Fitted every way.
    Step(ID_VIEW_ACTUAL_SIZE, "actual size");
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    Step(ID_VIEW_SCREEN_SIZE, "screen size");
    EXPECT_EQ(m_frame->m_nViewMode, 2);
    const RECT work = ToRECT(::WorkArea());
    EXPECT_LE(m_frame->m_sizeView.cx, work.right - work.left);
    EXPECT_LE(m_frame->m_sizeView.cy, work.bottom - work.top);
    PumpMessages();
    ExpectPainted("screen size");
    Step(ID_VIEW_FIT_WINDOW, "fit window");
    Step(ID_VIEW_BEST_FIT, "best fit");
    Step(ID_VIEW_ACTUAL_SIZE, "actual size again");

    // Turned and flipped: the sizes follow the picture, whether or not the system could turn it.
    const CSize original = m_frame->m_sizeImage;
    Step(ID_EDIT_ROTATE_CW, "turned clockwise");
    const bool bTurned = m_frame->m_sizeImage == CSize(original.cy, original.cx);
    EXPECT_TRUE(bTurned || m_frame->m_sizeImage == original);
    Step(ID_VIEW_ZOOM_IN, "zoomed while turned");
    Step(ID_EDIT_ROTATE_CCW, "turned back");
    EXPECT_EQ(m_frame->m_sizeImage, original);
    Step(ID_EDIT_FLIP_HORIZONTAL, "flipped");
    Step(ID_EDIT_FLIP_VERTICAL, "flipped again");
    EXPECT_EQ(m_frame->m_sizeImage, original);
    PumpMessages();

    // Set as the wallpaper: cut to the screen's shape, shrunk when larger, never out of range.
    g_appData = folder + L"appdata";
    ASSERT_TRUE(::CreateDirectoryW(g_appData.c_str(), nullptr));
    g_pfnGetFolderPath = &ScratchAppData;
    Gdiplus::Bitmap* const pImage = m_frame->m_pImage;
    Command(ID_TOOLS_SET_WALLPAPER);
    EXPECT_EQ(m_frame->m_pImage, pImage);
    EXPECT_EQ(m_frame->m_sizeImage, original);
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    const BackgroundCrop crop = PlanBackgroundCrop(original.cx, original.cy, cx, cy);
    const std::wstring saved = g_appData + L"\\Vistrel\\Vistrel Wallpaper.bmp";
    if (crop.source == BackgroundSource::None) {
        EXPECT_FALSE(FileExists(saved));
    } else if (FileExists(saved)) {
        Gdiplus::Bitmap bitmap(saved.c_str());
        ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
        const CSize expected = crop.source == BackgroundSource::Scale ? CSize(cx, cy)
                               : crop.source == BackgroundSource::Copy ? CSize(crop.w, crop.h)
                                                                       : original;
        EXPECT_EQ(CSize(static_cast<int32_t>(bitmap.GetWidth()), static_cast<int32_t>(bitmap.GetHeight())), expected);
    }
    ExpectSaneView(*m_frame, "after the wallpaper");
    EXPECT_TRUE(Responds(m_hWnd));
}

using ReliabilityZoom = MainFrameTest;

TEST_F(ReliabilityZoom, ZoomingOutForLongNeverStrandsTheFactor)
{
    // Some two thousand steps out: the factor must never sink to where a step in or out
    // rounds back to itself (below the smallest normal float), so zooming in always works.
    const std::wstring folder = MakeScratchFolder(L"rel-zoom-floor");
    ASSERT_TRUE(WriteSolidPicture(folder + L"z.png", 200, 100, Gdiplus::Color(200, 30, 40)));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"z.png"));
    float smallest = 1.0f;
    for (int i = 0; i < 2200; ++i) {
        Command(ID_VIEW_ZOOM_OUT);
        smallest = std::min(smallest, m_frame->m_fZoom);
    }
    EXPECT_GE(smallest, std::numeric_limits<float>::min());
    ExpectSaneView(*m_frame, "zoomed far out");
    const float before = m_frame->m_fZoom;
    Command(ID_VIEW_ZOOM_IN);
    EXPECT_GT(m_frame->m_fZoom, before);
    Command(ID_VIEW_ACTUAL_SIZE);
    EXPECT_EQ(m_frame->m_sizeView, CSize(200, 100));
}

INSTANTIATE_TEST_SUITE_P(Pictures, ReliabilityExtremes, ::testing::ValuesIn(kExtremes),
                         [](const ::testing::TestParamInfo<Extreme>& p) { return std::string(p.param.name); });

}  // namespace
