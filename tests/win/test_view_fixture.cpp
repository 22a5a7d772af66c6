#include "tests/win/test_view_fixture.h"

#include "feedback/tag_wnd.h"
#include "framework/win_geometry.h"
#include "res/resource.h"

namespace {

Gdiplus::Bitmap* FillBitmap(int width, int height, COLORREF (*colour)(int x, int y, const void* ctx), const void* ctx)
{
    auto* bitmap = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
    Gdiplus::Rect rc(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&rc, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
            for (int x = 0; x < width; ++x) {
                const COLORREF c = colour(x, y, ctx);
                row[x] = 0xFF000000u | (UINT32{GetRValue(c)} << 16) | (UINT32{GetGValue(c)} << 8) | GetBValue(c);
            }
        }
        bitmap->UnlockBits(&data);
    }
    return bitmap;
}

std::vector<COLORREF> ReadClientRect(HWND hWnd, int x0, int y0, int cx, int cy)
{
    std::vector<COLORREF> out;
    if (cx <= 0 || cy <= 0)
        return out;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = ::GetDC(hWnd);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, dib);
    ::BitBlt(mem, 0, 0, cx, cy, screen, x0, y0, SRCCOPY);
    ::GdiFlush();
    const auto* px = static_cast<const UINT32*>(bits);
    for (int i = 0; i < cx * cy; ++i)
        out.push_back(RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF));
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
    ::DeleteDC(mem);
    ::ReleaseDC(hWnd, screen);
    return out;
}

}  // namespace

COLORREF PatternColor(int x, int y)
{
    return RGB(x & 0xFF, y & 0xFF, ((x >> 8) & 0xF) << 4 | ((y >> 8) & 0xF));
}

Gdiplus::Bitmap* MakePatternBitmap(int width, int height)
{
    return FillBitmap(width, height, [](int x, int y, const void*) { return PatternColor(x, y); }, nullptr);
}

Gdiplus::Bitmap* MakeTwoColourBitmap(int width, int height, COLORREF left, COLORREF right)
{
    struct Ctx {
        int half;
        COLORREF left, right;
    } ctx{width / 2, left, right};
    return FillBitmap(
        width, height,
        [](int x, int, const void* p) {
            const auto* c = static_cast<const Ctx*>(p);
            return x < c->half ? c->left : c->right;
        },
        &ctx);
}

std::vector<COLORREF> ReadClientRow(HWND hWnd, int y, int x0, int x1)
{
    return ReadClientRect(hWnd, x0, y, x1 - x0, 1);
}

std::vector<COLORREF> ReadClientColumn(HWND hWnd, int x, int y0, int y1)
{
    return ReadClientRect(hWnd, x, y0, 1, y1 - y0);
}

void ViewTest::SetUp()
{
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &m_rcWorkSaved, 0);
    SetShift(false);
    MainFrameTest::SetUp();
}

void ViewTest::TearDown()
{
    MainFrameTest::TearDown();
    SetShift(false);
    ::SystemParametersInfoW(SPI_SETWORKAREA, 0, &m_rcWorkSaved, 0);
}

void ViewTest::ShowPicture(Gdiplus::Bitmap* bitmap)
{
    ASSERT_NE(bitmap, nullptr);
    delete m_frame->m_pImage;
    m_frame->m_pImage = bitmap;
    m_frame->m_sizeImage = CSize(static_cast<int32_t>(bitmap->GetWidth()), static_cast<int32_t>(bitmap->GetHeight()));
    m_frame->LayoutView(true);
    Settle();
}

void ViewTest::SetWorkArea(const CRect& rc)
{
    RECT r = ToRECT(rc);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_SETWORKAREA, 0, &r, 0));
}

void ViewTest::SetShift(bool bDown)
{
    BYTE keys[256]{};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = bDown ? 0x80 : 0;
    keys[VK_LSHIFT] = keys[VK_SHIFT];
    ::SetKeyboardState(keys);
}

void ViewTest::Settle()
{
    PumpMessages();
    ::UpdateWindow(m_hWnd);
    PumpMessages();
}

CRect ViewTest::WindowRect() const
{
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    return FromRECT(rc);
}

void ViewTest::ExpectRowShowsPattern(int y)
{
    const int width = m_frame->m_sizeClient.cx;
    const std::vector<COLORREF> row = ReadClientRow(m_hWnd, y, 0, width);
    ASSERT_EQ(row.size(), static_cast<size_t>(width));
    int wrong = 0;
    for (int x = 0; x < width; ++x) {
        const COLORREF want = PatternColor(x + m_frame->m_ptScroll.x, y + m_frame->m_ptScroll.y);
        if (row[x] != want && wrong++ < 3)
            ADD_FAILURE() << "client (" << x << ", " << y << ") shows " << std::hex << row[x] << ", picture has "
                          << want;
    }
    EXPECT_EQ(wrong, 0) << "of " << width << " pixels in row " << y;
}

void ViewTest::ExpectColumnShowsPattern(int x)
{
    const int height = m_frame->m_sizeClient.cy;
    const std::vector<COLORREF> col = ReadClientColumn(m_hWnd, x, 0, height);
    ASSERT_EQ(col.size(), static_cast<size_t>(height));
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        const COLORREF want = PatternColor(x + m_frame->m_ptScroll.x, y + m_frame->m_ptScroll.y);
        if (col[y] != want && wrong++ < 3)
            ADD_FAILURE() << "client (" << x << ", " << y << ") shows " << std::hex << col[y] << ", picture has "
                          << want;
    }
    EXPECT_EQ(wrong, 0) << "of " << height << " pixels in column " << x;
}

MenuMarks ViewMenuMarks(HWND hWnd, UINT nID)
{
    constexpr int kViewSubmenu = 2;
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_CONTEXT_MENU));
    HMENU view = ::GetSubMenu(::GetSubMenu(menu, 0), kViewSubmenu);
    ::SendMessageW(hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), MAKELPARAM(kViewSubmenu, FALSE));
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE;
    MenuMarks marks{false, false, false};
    if (::GetMenuItemInfoW(view, nID, FALSE, &mii)) {
        marks.bEnabled = (mii.fState & MFS_GRAYED) == 0;
        marks.bChecked = (mii.fState & MFS_CHECKED) != 0;
        marks.bRadio = marks.bChecked && (mii.fType & MFT_RADIOCHECK) != 0;
    } else {
        ADD_FAILURE() << "no item " << nID << " in the view menu";
    }
    ::DestroyMenu(menu);
    return marks;
}

CStringW TagText(const CMainFrame* frame)
{
    return frame->m_pTagWnd ? frame->m_pTagWnd->m_strText : CStringW();
}
