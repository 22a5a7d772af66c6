#include <windows.h>

#include "feedback/command_states.h"
#include "feedback/command_ui.h"
#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "res/resource.h"
#include "view/layout.h"
#include "view/placement.h"
#include "view/win_monitors.h"

void CMainFrame::LayoutView(bool bRecentre)
{
    // The monitor the window is on: the one nearest the remembered centre.
    const MonitorArea monitor = MonitorNear(m_ptCenter);
    const LayoutInput in{m_pImage != nullptr,
                         m_sizeImage,
                         m_fZoom,
                         m_nViewMode,
                         m_nMaxArea,
                         m_ptCenter,
                         monitor.rcWork,
                         {monitor.rcMonitor.left, monitor.rcMonitor.top},
                         DpiScale(CSize{kEmptyWindowWidth, kEmptyWindowHeight}, m_nDpi)};
    const LayoutResult out = ComputeLayout(in);
    m_fZoom = out.fZoom;
    m_nMaxArea = out.nMaxArea;
    m_sizeView = out.sizeView;
    // WM_SIZE and WM_MOVE arrive inside this call and see the new displayed size.
    SetWindowPos(nullptr, out.rcWindow.left, out.rcWindow.top, out.rcWindow.Width(), out.rcWindow.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    m_rcPlaced = GetWindowRect();
    UpdateScrollPosition(bRecentre);
    Invalidate(FALSE);
}

void CMainFrame::UpdateScrollPosition(bool bRecentre)
{
    if (m_pImage) {
        const ScrollResult r = ComputeScroll(bRecentre, m_sizeView, m_sizeClient, m_ptScroll, m_fCenterX, m_fCenterY);
        m_sizeScrollMax = r.sizeScrollMax;
        m_ptScroll = r.ptScroll;
    }
    if (bRecentre)
        UpdateViewCenter();
    // The pan state and the cursor depend on the new sizes.
    PostMessage(WM_SETCURSOR, 0, 0);
}

void CMainFrame::UpdateViewCenter()
{
    const ViewCenter c = ComputeViewCenter(m_pImage != nullptr, m_ptScroll, m_sizeClient, m_sizeView);
    m_fCenterX = c.fX;
    m_fCenterY = c.fY;
}

void CMainFrame::OnViewZoomIn()
{
    if (!m_pImage)
        return;
    m_fZoom = ZoomInStep(m_fZoom);
    m_nViewMode = 1;
    LayoutView(false);
    ShowTag(AfxLoadString(IDS_ZOOM_IN).c_str());
}

void CMainFrame::OnViewZoomOut()
{
    if (!m_pImage)
        return;
    m_fZoom = ZoomOutStep(m_fZoom);
    m_nViewMode = 1;
    LayoutView(false);
    ShowTag(AfxLoadString(IDS_ZOOM_OUT).c_str());
}

void CMainFrame::OnViewActualSize()
{
    if (!m_pImage)
        return;
    // Enter toggles between the picture's own size and the screen size.
    if (m_nViewMode == 1 && m_fZoom == 1.0f) {
        OnViewScreenSize();
        return;
    }
    m_fZoom = 1.0f;
    m_nViewMode = 1;
    LayoutView(true);
    ShowTag(AfxLoadString(IDS_ACTUAL_SIZE).c_str());
}

void CMainFrame::OnViewScreenSize()
{
    if (!m_pImage)
        return;
    // Asked again while already at screen size, it keeps the window as it is now.
    if (m_nMaxArea == kNoAreaLimit && m_nViewMode == 2) {
        OnViewFitMode(ID_VIEW_FIT_WINDOW);
        return;
    }
    m_nMaxArea = kNoAreaLimit;
    m_nViewMode = 2;
    LayoutView(true);
    ShowTag(AfxLoadString(IDS_SCREEN_SIZE).c_str());
}

void CMainFrame::OnViewFitMode(UINT nID)
{
    m_nViewMode = static_cast<int32_t>(nID) - ID_VIEW_ACTUAL_SIZE;
    if (m_nViewMode == 2) {
        m_nMaxArea = RectArea(GetClientRect());
        LayoutView(false);
    }
    ShowTag(AfxLoadString(m_nViewMode == 2 ? IDS_FIT_WINDOW : IDS_BEST_FIT).c_str());
}

void CMainFrame::OnUpdateViewZoom(CCmdUI* pCmdUI)
{
    ApplyCommandState(pCmdUI, UpdateViewZoomRule(Snapshot()));
}

void CMainFrame::OnUpdateViewActualSize(CCmdUI* pCmdUI)
{
    ApplyCommandState(pCmdUI, UpdateViewActualSizeRule(Snapshot()));
}

void CMainFrame::OnUpdateViewScreenSize(CCmdUI* pCmdUI)
{
    ApplyCommandState(pCmdUI, UpdateViewScreenSizeRule(Snapshot()));
}

void CMainFrame::OnUpdateViewFitMode(CCmdUI* pCmdUI)
{
    ApplyCommandState(pCmdUI, UpdateViewFitModeRule(pCmdUI->m_nID, Snapshot()));
}
