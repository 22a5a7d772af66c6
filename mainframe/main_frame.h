#pragma once
// The one top-level window and the owner of all viewer state: folder list,
// current picture, view, animation and the tag window. Its handlers live in
// one source file per subsystem; each gathers members, asks the platform-free
// rules and then makes the Win32 calls.
#include <windows.h>

#include <cstdint>
#include <list>
#include <memory>

#include "framework/afx_string.h"
#include "framework/dpi_scale.h"
#include "framework/frame_wnd.h"
#include "framework/gdi.h"
#include "framework/geometry.h"

namespace Gdiplus {
class Bitmap;
class PropertyItem;
}  // namespace Gdiplus

class CTagWnd;
class FirstPicture;
class ReadAhead;
struct CommandSnapshot;

// Posted to itself: SCAN_STARTUP shows the window for the first time,
// SCAN_RESCAN rebuilds the folder list after an open.
constexpr UINT WM_SCAN_FOLDER = WM_USER + 0x37;
// Sent by the tag window while it is destroyed (wParam 1).
constexpr UINT WM_TAGWND_CLOSED = WM_USER + 0x38;
constexpr WPARAM SCAN_STARTUP = 3236;
constexpr WPARAM SCAN_RESCAN = 62137;

constexpr UINT_PTR kAnimationTimer = 9;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

    // Settings
    bool ReadInterpolation();
    void WriteInterpolation();
    void ReadViewerOptions();

    // Pictures
    int LoadPicture(const CStringW& strFolder, const CStringW& strName, int nMarker);
    bool OpenFile(const CStringW& strPath);
    // A file the user chose (open dialog, drop): opened, or the error box and nothing changes.
    void OpenChosenFile(const CStringW& strPath);
    void RebuildFileList();
    // Read-ahead: a new plan after every step and rescan; stopped before GDI+ ends.
    void PlanReadAheadNow();
    void StopReadAhead();
    void DropReadAhead();
    // A step in this direction is under way: the next plan follows it.
    void NoteStep(bool bBackward);
    bool AcquirePicture(const CStringW& strFolder, const CStringW& strName, Gdiplus::Bitmap*& pImage);

    // View
    void LayoutView(bool bRecentre);
    void UpdateScrollPosition(bool bRecentre);
    void UpdateViewCenter();
    void ScrollTo(CPoint pt);
    void RememberWindowArea();

    // Feedback
    void ShowTag(const wchar_t* extra);
    void CloseTagWnd();
    void StartFrameTimer(bool bForce);
    // nDpi 0 takes the font as the system gives it; another DPI scales it from the system's.
    static void CreateMenuFont(CFont& font, uint32_t nDpi = 0);
    // The plain state the command rules read.
    CommandSnapshot Snapshot() const;

    // Integration
    void ShowOptionsSheet(UINT nPage);

    // Messages
    int OnCreate(LPCREATESTRUCTW lpCreateStruct);
    LRESULT OnScanFolder(WPARAM wParam, LPARAM lParam);
    LRESULT OnTagWndClosed(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDpiScaledSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitSizeMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnDisplayChange(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void OnEndSession(BOOL bEnding);
    void ReleasePicturesForEnd();
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnMove(int x, int y);
    void OnMoving(UINT fwSide, LPRECT pRect);
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnCaptureChanged(CWnd* pWnd);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnDropFiles(HDROP hDropInfo);

    // Commands and their update rules
    void OnFileOpen();
    void OnFileNext();
    void OnFilePrev();
    void OnFileFirst();
    void OnFileLast();
    void OnUpdateFileNav(CCmdUI* pCmdUI);
    void OnFileProperties();
    void OnUpdateFileProperties(CCmdUI* pCmdUI);
    void OnRotateFlip(UINT nID);
    void OnUpdateRotateFlip(CCmdUI* pCmdUI);
    void OnViewZoomIn();
    void OnViewZoomOut();
    void OnViewActualSize();
    void OnViewScreenSize();
    void OnViewFitMode(UINT nID);
    void OnUpdateViewZoom(CCmdUI* pCmdUI);
    void OnUpdateViewActualSize(CCmdUI* pCmdUI);
    void OnUpdateViewScreenSize(CCmdUI* pCmdUI);
    void OnUpdateViewFitMode(CCmdUI* pCmdUI);
    void OnInterpolation(UINT nID);
    void OnUpdateInterpolation(CCmdUI* pCmdUI);
    void OnSetBackground(UINT nID);
    void OnUpdateSetBackground(CCmdUI* pCmdUI);
    void OnToolsOptions();
    void OnHelpAboutPage();

    // State, in the order every subsystem knows it by.
    CFont m_fontMenu;
    CTagWnd* m_pTagWnd = nullptr;
    CPoint m_ptScroll;
    CSize m_sizeClient;
    CPoint m_ptDragStart;
    CPoint m_ptDragScroll;
    bool m_bDragging = false;
    CSize m_sizeScrollMax;
    bool m_bCanPan = false;
    int16_t m_nWheelDelta = 0;
    float m_fCenterX = 0.0f;
    float m_fCenterY = 0.0f;
    int32_t m_nSizingEdge = 0;
    int32_t m_nInterpolation = 0;
    CStringW m_strFolder;
    std::list<CStringW> m_listFiles;
    std::list<CStringW>::iterator m_itCurrent;
    CStringW m_strFileName;
    Gdiplus::Bitmap* m_pImage = nullptr;
    CSize m_sizeImage;
    uint32_t m_nFrameCount = 0;
    Gdiplus::PropertyItem* m_pFrameDelays = nullptr;
    uint32_t m_nCurrentFrame = 0;
    CStringW m_strInfo;
    float m_fZoom = 1.0f;
    uint32_t m_nMaxArea = 0xFFFFFFFFu;
    int32_t m_nViewMode = 1;
    CSize m_sizeView{320, 240};
    CPoint m_ptCenter;
    // The DPI of the window's monitor: every interface measure but the picture's pixels
    // is scaled by it from its size at 96.
    uint32_t m_nDpi = kBaseDpi;
    // Where the window and the pointer were when the user's move began: each step's monitor is
    // chosen from them, so a window held at one monitor's edge can still cross to the next.
    CRect m_rcMoveStart;
    CPoint m_ptMoveStart;
    bool m_bMoveTracked = false;
    // Where the program last left the window (a layout, the end of the user's move or resize, a
    // change of DPI): anywhere else, Windows moved it.
    CRect m_rcPlaced;
    // The DPI the system last asked the window's size for, and the size answered (0: none yet).
    uint32_t m_nDpiAnswered = 0;
    CSize m_sizeDpiAnswered;
    // "ReadAhead" and "AutoRotate" under the settings key, both on unless stored as 0.
    bool m_bReadAhead = true;
    bool m_bAutoRotate = true;
    // The pool of workers (null with read-ahead off) and which way the latest step went.
    std::unique_ptr<ReadAhead> m_pReadAhead;
    bool m_bStepBackward = false;
    // The command-line picture decoded since the program's start, for the first open only.
    std::unique_ptr<FirstPicture> m_pFirstPicture;

    DECLARE_MESSAGE_MAP()
};

extern CMainFrame* g_pMainFrame;
