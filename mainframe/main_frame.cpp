#include "mainframe/main_frame.h"

#include <cstdlib>

#include "framework/gdiplus_sdk.h"
#include "framework/win_dpi.h"
#include "framework/win_geometry.h"

#include "app/vistrel_app.h"
#include "feedback/command_states.h"
#include "feedback/tag_wnd.h"
#include "images/ahead/first_picture.h"
#include "images/ahead/read_ahead.h"
#include "images/folder/picture_path.h"
#include "res/resource.h"
#include "view/layout.h"
#include "view/monitor_rules.h"
#include "view/placement.h"

CMainFrame* g_pMainFrame = nullptr;

namespace {

// Named here: the headers of a Windows 7 target leave them out.
constexpr UINT kWmDpiChanged = 0x02E0;
constexpr UINT kWmGetDpiScaledSize = 0x02E4;

}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_SCAN_FOLDER, CMainFrame::OnScanFolder)
    ON_MESSAGE(WM_TAGWND_CLOSED, CMainFrame::OnTagWndClosed)
    ON_MESSAGE(kWmDpiChanged, CMainFrame::OnDpiChanged)
    ON_MESSAGE(kWmGetDpiScaledSize, CMainFrame::OnGetDpiScaledSize)
    ON_MESSAGE(WM_EXITSIZEMOVE, CMainFrame::OnExitSizeMove)
    ON_MESSAGE(WM_DISPLAYCHANGE, CMainFrame::OnDisplayChange)
    ON_WM_GETMINMAXINFO()
    ON_WM_MEASUREITEM()
    ON_WM_DRAWITEM()
    ON_WM_DESTROY()
    ON_WM_MOVE()
    ON_WM_MOVING()
    ON_WM_TIMER()
    ON_WM_ENDSESSION()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_CONTEXTMENU()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEWHEEL()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_DROPFILES()
    ON_COMMAND(ID_FILE_OPEN, CMainFrame::OnFileOpen)
    ON_COMMAND(ID_FILE_NEXT, CMainFrame::OnFileNext)
    ON_COMMAND(ID_FILE_PREV, CMainFrame::OnFilePrev)
    ON_COMMAND(ID_FILE_FIRST, CMainFrame::OnFileFirst)
    ON_COMMAND(ID_FILE_LAST, CMainFrame::OnFileLast)
    ON_UPDATE_COMMAND_UI_RANGE(ID_FILE_NEXT, ID_FILE_LAST, CMainFrame::OnUpdateFileNav)
    ON_COMMAND(ID_FILE_PROPERTIES, CMainFrame::OnFileProperties)
    ON_UPDATE_COMMAND_UI_RANGE(ID_FILE_DELETE_KEY, ID_FILE_PROPERTIES, CMainFrame::OnUpdateFileProperties)
    ON_COMMAND_RANGE(ID_EDIT_FLIP_HORIZONTAL, ID_EDIT_ROTATE_CCW, CMainFrame::OnRotateFlip)
    ON_UPDATE_COMMAND_UI_RANGE(ID_EDIT_FLIP_HORIZONTAL, ID_EDIT_ROTATE_CCW, CMainFrame::OnUpdateRotateFlip)
    ON_COMMAND(ID_VIEW_ZOOM_IN, CMainFrame::OnViewZoomIn)
    ON_COMMAND(ID_VIEW_ZOOM_OUT, CMainFrame::OnViewZoomOut)
    ON_COMMAND(ID_VIEW_ACTUAL_SIZE, CMainFrame::OnViewActualSize)
    ON_COMMAND(ID_VIEW_SCREEN_SIZE, CMainFrame::OnViewScreenSize)
    ON_COMMAND_RANGE(ID_VIEW_BEST_FIT, ID_VIEW_FIT_WINDOW, CMainFrame::OnViewFitMode)
    ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, CMainFrame::OnUpdateViewZoom)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ACTUAL_SIZE, CMainFrame::OnUpdateViewActualSize)
    ON_UPDATE_COMMAND_UI(ID_VIEW_SCREEN_SIZE, CMainFrame::OnUpdateViewScreenSize)
    ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_BEST_FIT, ID_VIEW_FIT_WINDOW, CMainFrame::OnUpdateViewFitMode)
    ON_COMMAND_RANGE(ID_INTERP_DEFAULT, ID_INTERP_HQ_BICUBIC, CMainFrame::OnInterpolation)
    ON_UPDATE_COMMAND_UI_RANGE(ID_INTERP_DEFAULT, ID_INTERP_HQ_BICUBIC, CMainFrame::OnUpdateInterpolation)
    ON_COMMAND_RANGE(ID_TOOLS_SET_WALLPAPER, ID_TOOLS_SET_CALENDAR_BKG, CMainFrame::OnSetBackground)
    ON_UPDATE_COMMAND_UI_RANGE(ID_TOOLS_SET_WALLPAPER, ID_TOOLS_SET_CALENDAR_BKG, CMainFrame::OnUpdateSetBackground)
    ON_COMMAND(ID_TOOLS_OPTIONS, CMainFrame::OnToolsOptions)
    ON_COMMAND(ID_HELP_ABOUT_PAGE, CMainFrame::OnHelpAboutPage)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_itCurrent(m_listFiles.end()), m_strInfo(AfxLoadString(IDS_NO_PICTURE))
{
    ReadInterpolation();
    ReadViewerOptions();
}

CMainFrame::~CMainFrame()
{
    delete m_pImage;
    std::free(m_pFrameDelays);
    if (g_pMainFrame == this)
        g_pMainFrame = nullptr;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    // A bare popup: no caption, border, client edge or menu bar.
    cs.dwExStyle = 0;
    cs.style = WS_POPUP;
    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    cs.lpszClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW), nullptr, icon);
    cs.hMenu = nullptr;
    return cs.lpszClass != nullptr;
}

int CMainFrame::OnCreate(LPCREATESTRUCTW lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    g_pMainFrame = this;
    m_nDpi = WindowDpi(m_hWnd);
    CreateMenuFont(m_fontMenu, m_nDpi);
    ::DragAcceptFiles(m_hWnd, TRUE);
    // The first showing waits until creation has returned and the loop runs.
    PostMessage(WM_SCAN_FOLDER, SCAN_STARTUP, 0);
    return 0;
}

LRESULT CMainFrame::OnScanFolder(WPARAM wParam, LPARAM)
{
    if (wParam == SCAN_RESCAN) {
        RebuildFileList();
    } else if (wParam == SCAN_STARTUP) {
        // The shell passes full paths; a hand-typed relative or forward-slash path is
        // made full first, so that folder and name split as they do for the shell.
        if (!theApp.m_strFile.empty()) {
            // The label's window is made while the start-up decode still runs.
            if (m_pFirstPicture)
                CreateTagWnd(*this);
            OpenFile(FullPicturePath(theApp.m_strFile));
        }
        if (!m_pImage) {
            CloseTagWnd();
            LayoutView(true);
        }
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        // The start-up decode serves the first open only; its thread ends off the first paint's path.
        m_pFirstPicture.reset();
        // The picture's label was shown before the window itself; bring it back on top.
        if (m_pTagWnd)
            ::SetWindowPos(m_pTagWnd->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    return 0;
}

LRESULT CMainFrame::OnTagWndClosed(WPARAM wParam, LPARAM)
{
    if (wParam == 1)
        m_pTagWnd = nullptr;
    return 0;
}

void CMainFrame::OnDestroy()
{
    StopReadAhead();
    KillTimer(kAnimationTimer);
    CloseTagWnd();
    WriteInterpolation();
    CFrameWnd::OnDestroy();
}

void CMainFrame::OnEndSession(BOOL bEnding)
{
    // Logoff does not destroy the window, so the setting is saved here; everything that
    // holds or calls GDI+ goes first, as GDI+ is shut down under it.
    if (bEnding)
        ReleasePicturesForEnd();
    CFrameWnd::OnEndSession(bEnding);
    if (bEnding)
        WriteInterpolation();
}

// The window may still paint and get timer messages after GDI+ is gone: with no picture and
// no worker, nothing of it reaches GDI+ again.
void CMainFrame::ReleasePicturesForEnd()
{
    KillTimer(kAnimationTimer);
    StopReadAhead();  // drops every prepared picture too
    m_pReadAhead.reset();
    m_bReadAhead = false;
    delete m_pImage;
    m_pImage = nullptr;
    std::free(m_pFrameDelays);
    m_pFrameDelays = nullptr;
    m_nFrameCount = 0;
}

void CMainFrame::CreateMenuFont(CFont& font, uint32_t nDpi)
{
    // 500 bytes: the structure without its newest field, accepted by every system.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = 500;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, &metrics, 0))
        return;
    // The metrics come at the system's DPI; a window on a monitor of another DPI scales them.
    const uint32_t nSystemDpi = SystemDpi();
    if (nDpi != 0 && nDpi != nSystemDpi)
        metrics.lfMenuFont.lfHeight = ::MulDiv(metrics.lfMenuFont.lfHeight, static_cast<int>(nDpi),
                                               static_cast<int>(nSystemDpi));
    font.CreateFontIndirect(&metrics.lfMenuFont);
}

// The system asks for the size to take on a monitor of another DPI: a picture keeps its
// screen pixels, the empty window scales.
LRESULT CMainFrame::OnGetDpiScaledSize(WPARAM wParam, LPARAM lParam)
{
    auto* pSize = reinterpret_cast<SIZE*>(lParam);
    if (!pSize || !IsPerMonitorAware(theApp.m_nDpiAwareness))
        return FALSE;
    const CSize size = DpiChangedWindowSize(m_pImage != nullptr, {pSize->cx, pSize->cy},
                                            {kEmptyWindowWidth, kEmptyWindowHeight}, LOWORD(wParam));
    pSize->cx = size.cx;
    pSize->cy = size.cy;
    m_nDpiAnswered = LOWORD(wParam);
    m_sizeDpiAnswered = size;
    return TRUE;
}

LRESULT CMainFrame::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    // Without per-monitor awareness the system stretches the window itself.
    if (!IsPerMonitorAware(theApp.m_nDpiAwareness))
        return 0;
    m_nDpi = LOWORD(wParam);
    m_fontMenu.DeleteObject();
    CreateMenuFont(m_fontMenu, m_nDpi);
    // The label was made at the old DPI; the next one is made anew.
    CloseTagWnd();
    const auto* pSuggested = reinterpret_cast<const RECT*>(lParam);
    const CRect rcSuggested = pSuggested ? FromRECT(*pSuggested) : GetWindowRect();
    if (m_pImage) {
        const CRect rcWindow = GetWindowRect();
        const CRect rc = DpiChangedPictureRect(rcWindow, rcSuggested, m_nDpi, m_nDpiAnswered, m_sizeDpiAnswered);
        m_nDpiAnswered = 0;
        SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        m_ptCenter = CentreAfterSystemMove(m_ptCenter, rcWindow, rc);
        m_rcPlaced = GetWindowRect();
    } else {
        // The empty window is laid out anew at its new size about the place the system chose.
        m_ptCenter = RectCenter(rcSuggested);
        LayoutView(true);
    }
    Invalidate(FALSE);
    return 0;
}

void CMainFrame::CloseTagWnd()
{
    if (m_pTagWnd) {
        CTagWnd* tag = m_pTagWnd;
        m_pTagWnd = nullptr;
        tag->DestroyWindow();
    }
}

CommandSnapshot CMainFrame::Snapshot() const
{
    CommandSnapshot s{};
    s.bHasImage = m_pImage != nullptr;
    s.bListEmpty = m_listFiles.empty();
    s.nFrameCount = m_nFrameCount;
    s.nViewMode = m_nViewMode;
    s.fZoom = m_fZoom;
    s.nMaxArea = m_nMaxArea;
    s.nInterpolation = m_nInterpolation;
    return s;
}
