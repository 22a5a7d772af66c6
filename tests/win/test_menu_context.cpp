// The context menu: its header item (inserted, measured, drawn) and the state
// every item takes from its update rule when its popup opens.
#include <windows.h>

#include "framework/gdiplus_sdk.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

struct ItemState {
    bool bGrey = false;
    bool bChecked = false;
    bool bRadio = false;
};

// A menu as the context menu loads it, every popup initialised by the main window.
class LoadedMenu {
public:
    explicit LoadedMenu(HWND hOwner)
    {
        m_hMenu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_CONTEXT_MENU));
        m_hMain = ::GetSubMenu(m_hMenu, 0);
        ::SendMessageW(hOwner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m_hMain), MAKELPARAM(0, FALSE));
        for (int i = 0; i < 4; ++i)
            ::SendMessageW(hOwner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(m_hMain, i)),
                           MAKELPARAM(i, FALSE));
    }
    ~LoadedMenu() { ::DestroyMenu(m_hMenu); }
    LoadedMenu(const LoadedMenu&) = delete;
    LoadedMenu& operator=(const LoadedMenu&) = delete;

    // The state of the item with this command, wherever it sits in the menu.
    ItemState State(UINT nID) const
    {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_STATE;
        EXPECT_TRUE(::GetMenuItemInfoW(m_hMain, nID, FALSE, &mii)) << "no item " << nID;
        ItemState s;
        s.bGrey = (mii.fState & MFS_GRAYED) != 0;
        s.bChecked = (mii.fState & MFS_CHECKED) != 0;
        s.bRadio = s.bChecked && (mii.fType & MFT_RADIOCHECK) != 0;
        return s;
    }

private:
    HMENU m_hMenu = nullptr;
    HMENU m_hMain = nullptr;
};

const std::vector<UINT> kNeedPicture = {
    ID_FILE_NEXT,         ID_FILE_PREV,          ID_FILE_FIRST,        ID_FILE_LAST,
    ID_FILE_PROPERTIES,   ID_EDIT_FLIP_HORIZONTAL, ID_EDIT_FLIP_VERTICAL, ID_EDIT_ROTATE_CW,
    ID_EDIT_ROTATE_CCW,   ID_VIEW_ACTUAL_SIZE,   ID_VIEW_SCREEN_SIZE,  ID_VIEW_ZOOM_IN,
    ID_VIEW_ZOOM_OUT,     ID_VIEW_BEST_FIT,      ID_VIEW_FIT_WINDOW,   ID_TOOLS_SET_WALLPAPER,
    ID_TOOLS_SET_CALENDAR_BKG,
};
const std::vector<UINT> kAlwaysEnabled = {ID_FILE_OPEN, ID_TOOLS_OPTIONS, ID_HELP_ABOUT_PAGE, ID_APP_EXIT};
const std::vector<UINT> kFlips = {ID_EDIT_FLIP_HORIZONTAL, ID_EDIT_FLIP_VERTICAL, ID_EDIT_ROTATE_CW,
                                  ID_EDIT_ROTATE_CCW};
const std::vector<UINT> kNavigation = {ID_FILE_NEXT, ID_FILE_PREV, ID_FILE_FIRST, ID_FILE_LAST};

class ContextMenu : public MainFrameTest {
protected:
    void GivePicture(uint32_t nFrames = 1)
    {
        m_frame->m_pImage = new Gdiplus::Bitmap(40, 30, PixelFormat24bppRGB);
        m_frame->m_sizeImage = CSize(40, 30);
        m_frame->m_nFrameCount = nFrames;
        m_frame->m_strFolder = L"C:\\pictures\\";
        m_frame->m_strFileName = L"a.png";
        m_frame->m_listFiles.push_back(L"a.png");
        m_frame->m_itCurrent = m_frame->m_listFiles.begin();
    }

    void ExpectInterpolationRadio(const LoadedMenu& menu, int nChosen)
    {
        for (int i = 0; i < 6; ++i) {
            const ItemState s = menu.State(ID_INTERP_DEFAULT + i);
            EXPECT_FALSE(s.bGrey) << i;
            EXPECT_EQ(s.bRadio, i == nChosen) << i;
        }
    }
};

TEST_F(ContextMenu, WithoutPictureOnlyTheCommandsThatNeedNoneAreEnabled)
{
    m_frame->m_nInterpolation = 4;
    LoadedMenu menu(m_hWnd);
    for (UINT id : kNeedPicture)
        EXPECT_TRUE(menu.State(id).bGrey) << id;
    for (UINT id : kAlwaysEnabled)
        EXPECT_FALSE(menu.State(id).bGrey) << id;
    ExpectInterpolationRadio(menu, 4);
    // The marks follow the view even on grey items: actual size at zoom 1, best fit.
    EXPECT_TRUE(menu.State(ID_VIEW_ACTUAL_SIZE).bChecked);
    EXPECT_TRUE(menu.State(ID_VIEW_BEST_FIT).bRadio);
    EXPECT_FALSE(menu.State(ID_VIEW_SCREEN_SIZE).bChecked);
}

TEST_F(ContextMenu, WithStillPictureEverythingIsEnabledAndTheViewMarked)
{
    GivePicture();
    m_frame->m_nViewMode = 1;
    m_frame->m_fZoom = 1.0f;
    m_frame->m_nInterpolation = 0;
    LoadedMenu menu(m_hWnd);
    for (UINT id : kNeedPicture)
        EXPECT_FALSE(menu.State(id).bGrey) << id;
    for (UINT id : kAlwaysEnabled)
        EXPECT_FALSE(menu.State(id).bGrey) << id;
    EXPECT_TRUE(menu.State(ID_VIEW_ACTUAL_SIZE).bChecked);
    EXPECT_FALSE(menu.State(ID_VIEW_ACTUAL_SIZE).bRadio);
    EXPECT_FALSE(menu.State(ID_VIEW_SCREEN_SIZE).bChecked);
    EXPECT_TRUE(menu.State(ID_VIEW_BEST_FIT).bRadio);
    EXPECT_FALSE(menu.State(ID_VIEW_FIT_WINDOW).bChecked);
    ExpectInterpolationRadio(menu, 0);
}

TEST_F(ContextMenu, ScreenModeMarksScreenSizeAndFitWindow)
{
    GivePicture();
    m_frame->m_nViewMode = 2;
    m_frame->m_nMaxArea = 0xFFFFFFFFu;
    m_frame->m_fZoom = 0.5f;
    m_frame->m_nInterpolation = 7;  // out of range: no item marked
    LoadedMenu menu(m_hWnd);
    EXPECT_FALSE(menu.State(ID_VIEW_ACTUAL_SIZE).bChecked);
    EXPECT_TRUE(menu.State(ID_VIEW_SCREEN_SIZE).bChecked);
    EXPECT_FALSE(menu.State(ID_VIEW_BEST_FIT).bChecked);
    EXPECT_TRUE(menu.State(ID_VIEW_FIT_WINDOW).bRadio);
    ExpectInterpolationRadio(menu, -1);
}

TEST_F(ContextMenu, AnimatedPictureGreysTheTurnsAndAnEmptyListTheSteps)
{
    GivePicture(3);
    m_frame->m_listFiles.clear();
    m_frame->m_itCurrent = m_frame->m_listFiles.end();
    LoadedMenu menu(m_hWnd);
    for (UINT id : kFlips)
        EXPECT_TRUE(menu.State(id).bGrey) << id;
    for (UINT id : kNavigation)
        EXPECT_TRUE(menu.State(id).bGrey) << id;
    EXPECT_FALSE(menu.State(ID_FILE_PROPERTIES).bGrey);
    EXPECT_FALSE(menu.State(ID_TOOLS_SET_WALLPAPER).bGrey);
    EXPECT_FALSE(menu.State(ID_VIEW_ZOOM_IN).bGrey);
}

// --- the header while the menu is open ------------------------------------------------------------

struct TrackedMenu {
    bool bSeen = false;
    int nCount = 0;
    UINT nHeaderType = 0;
    UINT nHeaderId = 0xFFFFFFFF;
    UINT nIdAtSix = 0;
    RECT rcWindow{};
    RECT rcHeader{};
    int nTicks = 0;
};
TrackedMenu* g_tracked = nullptr;
HWND g_owner = nullptr;

// Runs inside the menu's own loop: looks at the open menu, then closes it.
void CALLBACK InspectOpenMenu(HWND, UINT, UINT_PTR, DWORD)
{
    TrackedMenu& t = *g_tracked;
    if (++t.nTicks > 100) {
        ::EndMenu();
        return;
    }
    HWND hMenuWnd = ::FindWindowW(L"#32768", nullptr);
    if (!hMenuWnd || !::IsWindowVisible(hMenuWnd) || t.bSeen)
        return;
    auto hMenu = reinterpret_cast<HMENU>(::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0));
    if (!hMenu)
        return;
    t.bSeen = true;
    t.nCount = ::GetMenuItemCount(hMenu);
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_ID;
    if (::GetMenuItemInfoW(hMenu, 0, TRUE, &mii)) {
        t.nHeaderType = mii.fType;
        t.nHeaderId = mii.wID;
    }
    t.nIdAtSix = ::GetMenuItemID(hMenu, 6);
    ::GetWindowRect(hMenuWnd, &t.rcWindow);
    ::GetMenuItemRect(g_owner, hMenu, 0, &t.rcHeader);
    ::EndMenu();
}

TrackedMenu OpenAt(HWND hWnd, int x, int y)
{
    TrackedMenu tracked;
    g_tracked = &tracked;
    g_owner = hWnd;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &InspectOpenMenu);
    ::SendMessageW(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(x, y));
    ::KillTimer(nullptr, timer);
    g_tracked = nullptr;
    return tracked;
}

int MenuTextHeight(const std::wstring& text)
{
    CFont font;
    CMainFrame::CreateMenuFont(font);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font.GetSafeHandle());
    RECT rc{};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return rc.bottom - rc.top;
}

TEST_F(ContextMenu, OpensAtThePointWithTheHeaderFirst)
{
    const TrackedMenu t = OpenAt(m_hWnd, 100, 200);
    ASSERT_TRUE(t.bSeen) << "the menu never opened";
    EXPECT_EQ(t.nCount, 10);  // nine items of the resource and the header
    EXPECT_EQ(t.nHeaderType & (MFT_OWNERDRAW | MFT_SEPARATOR), static_cast<UINT>(MFT_OWNERDRAW | MFT_SEPARATOR));
    EXPECT_EQ(t.nHeaderId, 0u);
    EXPECT_EQ(t.nIdAtSix, static_cast<UINT>(ID_TOOLS_OPTIONS));
    EXPECT_EQ(t.rcWindow.left, 100);
    EXPECT_EQ(t.rcWindow.top, 200);
    EXPECT_EQ(t.rcHeader.bottom - t.rcHeader.top, MenuTextHeight(m_frame->m_strInfo) + 4);
}

TEST_F(ContextMenu, OpensFromTheKeyboardPointAndAfreshEachTime)
{
    const TrackedMenu first = OpenAt(m_hWnd, -1, -1);
    ASSERT_TRUE(first.bSeen);
    EXPECT_EQ(first.nCount, 10);
    // The menu is loaded anew: one header, never two.
    const TrackedMenu second = OpenAt(m_hWnd, 10, 10);
    ASSERT_TRUE(second.bSeen);
    EXPECT_EQ(second.nCount, 10);
}

// --- measuring and drawing the header ------------------------------------------------------------

TEST_F(ContextMenu, HeaderIsMeasuredFromTheInfoTextInTheMenuFont)
{
    m_frame->m_strInfo = L"picture.png (100%)";
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    ::SendMessageW(m_hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(static_cast<int>(mis.itemHeight), MenuTextHeight(m_frame->m_strInfo) + 4);
    const UINT shortWidth = mis.itemWidth;
    EXPECT_GT(shortWidth, 40u);

    m_frame->m_strInfo = L"a much longer picture name.png (100%)";
    MEASUREITEMSTRUCT longer{};
    longer.CtlType = ODT_MENU;
    ::SendMessageW(m_hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&longer));
    EXPECT_GT(longer.itemWidth, shortWidth);

    // Other owner-drawn controls are left to the default handling.
    MEASUREITEMSTRUCT button{};
    button.CtlType = ODT_BUTTON;
    button.itemWidth = 7;
    button.itemHeight = 9;
    ::SendMessageW(m_hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.itemWidth, 7u);
    EXPECT_EQ(button.itemHeight, 9u);
}

// A 32-bit top-down bitmap selected into a memory DC, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : m_width(width)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
        for (int i = 0; i < width * height; ++i)
            m_bits[i] = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
    }
    ~Canvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        const uint32_t p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int m_width;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};

// Gives the caption colours distinct values for the test and puts them back after.
class CaptionColours {
public:
    CaptionColours(COLORREF caption, COLORREF gradient, COLORREF text)
    {
        for (int i = 0; i < 3; ++i)
            m_saved[i] = ::GetSysColor(kIndex[i]);
        const COLORREF wanted[3] = {caption, gradient, text};
        ::SetSysColors(3, kIndex, wanted);
    }
    ~CaptionColours() { ::SetSysColors(3, kIndex, m_saved); }
    CaptionColours(const CaptionColours&) = delete;
    CaptionColours& operator=(const CaptionColours&) = delete;

private:
    static constexpr INT kIndex[3] = {COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION, COLOR_CAPTIONTEXT};
    COLORREF m_saved[3] = {};
};

LRESULT DrawHeader(HWND hWnd, HDC dc, UINT ctlType, UINT action, const RECT& rc)
{
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ctlType;
    dis.itemAction = action;
    dis.hDC = dc;
    dis.rcItem = rc;
    return ::SendMessageW(hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
}

int CountColour(const Canvas& canvas, int x0, int x1, int y0, int y1, COLORREF colour, int tolerance)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const COLORREF c = canvas.At(x, y);
            if (std::abs(GetRValue(c) - GetRValue(colour)) <= tolerance &&
                std::abs(GetGValue(c) - GetGValue(colour)) <= tolerance &&
                std::abs(GetBValue(c) - GetBValue(colour)) <= tolerance)
                ++n;
        }
    return n;
}

TEST_F(ContextMenu, HeaderIsACaptionGradientWithTheInfoInCaptionText)
{
    const CaptionColours colours(RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0));
    m_frame->m_strInfo = L"HWMH (100%)";
    const COLORREF background = RGB(10, 20, 30);
    Canvas canvas(200, 20, background);
    DrawHeader(m_hWnd, canvas.Dc(), ODT_MENU, ODA_DRAWENTIRE, RECT{0, 0, 200, 20});

    // Red at the left end fading to blue at the right, along the whole height.
    for (int y : {0, 19}) {
        const COLORREF left = canvas.At(0, y);
        const COLORREF right = canvas.At(199, y);
        EXPECT_GE(GetRValue(left), 250) << y;
        EXPECT_LE(GetBValue(left), 5) << y;
        EXPECT_LE(GetRValue(right), 8) << y;
        EXPECT_GE(GetBValue(right), 245) << y;
        const COLORREF middle = canvas.At(100, y);
        EXPECT_NEAR(GetRValue(middle), 128, 8) << y;
        EXPECT_NEAR(GetBValue(middle), 128, 8) << y;
    }
    // The text in caption-text green, centred, over the band (the background stays transparent).
    EXPECT_GT(CountColour(canvas, 50, 150, 2, 18, RGB(0, 255, 0), 60), 10);
    EXPECT_EQ(CountColour(canvas, 0, 40, 0, 20, RGB(0, 255, 0), 60), 0);
    EXPECT_EQ(CountColour(canvas, 0, 200, 0, 20, background, 3), 0);
}

TEST_F(ContextMenu, HeaderIsOnlyDrawnWhenTheWholeItemIs)
{
    const COLORREF background = RGB(10, 20, 30);
    for (UINT action : {static_cast<UINT>(ODA_SELECT), static_cast<UINT>(ODA_FOCUS)}) {
        Canvas canvas(120, 16, background);
        DrawHeader(m_hWnd, canvas.Dc(), ODT_MENU, action, RECT{0, 0, 120, 16});
        EXPECT_EQ(CountColour(canvas, 0, 120, 0, 16, background, 0), 120 * 16) << action;
    }
    Canvas button(120, 16, background);
    DrawHeader(m_hWnd, button.Dc(), ODT_BUTTON, ODA_DRAWENTIRE, RECT{0, 0, 120, 16});
    EXPECT_EQ(CountColour(button, 0, 120, 0, 16, background, 0), 120 * 16);
}

}  // namespace
