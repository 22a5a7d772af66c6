#include <windows.h>

#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "res/resource.h"
#include "view/interaction.h"
#include "view/placement.h"

namespace {

bool ShiftDown()
{
    return (::GetKeyState(VK_SHIFT) & 0x80) != 0;
}

LPCWSTR CursorResource(CursorShape shape)
{
    switch (shape) {
    case CursorShape::SizeNWSE:
        return IDC_SIZENWSE;
    case CursorShape::SizeNESW:
        return IDC_SIZENESW;
    case CursorShape::SizeWE:
        return IDC_SIZEWE;
    case CursorShape::SizeNS:
        return IDC_SIZENS;
    case CursorShape::SizeAll:
        return IDC_SIZEALL;
    case CursorShape::Arrow:
        break;
    }
    return IDC_ARROW;
}

}  // namespace

void CMainFrame::ScrollTo(CPoint pt)
{
    if (pt == m_ptScroll)
        return;
    const CSize d = m_ptScroll - pt;
    m_ptScroll = pt;
    // The system moves the pixels that stay visible; OnPaint draws the uncovered strip.
    ::ScrollWindow(m_hWnd, d.cx, d.cy, nullptr, nullptr);
}

void CMainFrame::RememberWindowArea()
{
    const CRect rc = GetWindowRect();
    m_nMaxArea = RectArea(rc);
    m_ptCenter = RectCenter(rc);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    Default();
    const CSize size(cx, cy);
    if (nType == SIZE_MINIMIZED || size == m_sizeClient)
        return;
    m_sizeClient = size;
    if (!m_pImage)
        return;
    m_sizeScrollMax = {m_sizeView.cx - m_sizeClient.cx, m_sizeView.cy - m_sizeClient.cy};
    ScrollTo(ClampScrollToMax(m_ptScroll, m_sizeScrollMax));
}

void CMainFrame::OnLButtonDown(UINT, CPoint point)
{
    if (m_nSizingEdge > 0) {
        // Returns when the user lets go; the window keeps the size given, without a new layout.
        SendMessage(WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(m_nSizingEdge), 0);
        RememberWindowArea();
    } else if (m_bCanPan) {
        m_ptDragStart = point;
        m_ptDragScroll = m_ptScroll;
        m_bDragging = true;
        ::SetCapture(m_hWnd);
    } else {
        // SC_MOVE with HTCAPTION: the system's move loop, as a caption drag would start.
        POINT pt{};
        ::GetCursorPos(&pt);
        m_rcMoveStart = GetWindowRect();
        m_ptMoveStart = FromPOINT(pt);
        m_bMoveTracked = true;
        PostMessage(WM_SYSCOMMAND, 0xF012, 0);
    }
}

void CMainFrame::OnLButtonUp(UINT, CPoint)
{
    if (m_bDragging) {
        m_bDragging = false;
        ::ReleaseCapture();
    }
}

// Another window took the mouse (a context menu, a dialog): the pan ends as if let go,
// or plain hovering would go on panning until the next click.
void CMainFrame::OnCaptureChanged(CWnd* pWnd)
{
    if (pWnd != this)
        m_bDragging = false;
}

void CMainFrame::OnMouseMove(UINT, CPoint point)
{
    if (!m_bDragging)
        return;
    ScrollTo(DragScrollTarget(point, m_ptDragStart, m_ptDragScroll, m_sizeScrollMax));
    UpdateViewCenter();
}

BOOL CMainFrame::OnSetCursor(CWnd*, UINT, UINT)
{
    // Also posted with no arguments after a layout or a key, so the pointer is read here.
    POINT pt{};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    m_nSizingEdge = ClassifySizingEdge(FromPOINT(pt), m_sizeClient, DpiScale(kSizingBand, m_nDpi));
    m_bCanPan = ComputeCanPan(m_pImage != nullptr, m_sizeScrollMax, ShiftDown());
    if (m_bCanPan && m_nSizingEdge == 0) {
        if (const HCURSOR hCursor = ::LoadCursorW(nullptr, IDC_SIZEALL)) {
            ::SetCursor(hCursor);
            return TRUE;
        }
    }
    if (m_nSizingEdge > 0) {
        ::SetCursor(::LoadCursorW(nullptr, CursorResource(CursorForEdge(m_nSizingEdge))));
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}

BOOL CMainFrame::OnMouseWheel(UINT, short zDelta, CPoint)
{
    const WheelOutcome outcome =
        AccumulateWheel(m_nWheelDelta, zDelta, ShiftDown(), m_bCanPan, m_bDragging, m_sizeScrollMax);
    switch (outcome.action) {
    case WheelAction::ZoomIn:
    case WheelAction::ZoomOut: {
        // Routed as from an accelerator, so the update rule drops it without a picture.
        const UINT nID = outcome.action == WheelAction::ZoomIn ? ID_VIEW_ZOOM_IN : ID_VIEW_ZOOM_OUT;
        SendMessage(WM_COMMAND, MAKEWPARAM(nID, 1), 0);
        break;
    }
    case WheelAction::Pan:
        OnKeyDown(outcome.vkPan, 1, 0);
        break;
    case WheelAction::None:
        break;
    }
    m_nWheelDelta = outcome.nWheelDelta;
    return TRUE;
}

void CMainFrame::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (!m_bCanPan)
        return;
    const KeyScroll k = ComputeKeyScroll(nChar, m_sizeView, m_ptScroll, m_sizeClient, DpiScale(kScrollStep, m_nDpi));
    if (k.bMoved) {
        m_ptScroll = k.ptScroll;
        ::ScrollWindow(m_hWnd, k.scrollBy.cx, k.scrollBy.cy, nullptr, nullptr);
    }
    UpdateViewCenter();
    // Shift may have gone down: the pan state and the cursor are decided again.
    PostMessage(WM_SETCURSOR, 0, 0);
}

void CMainFrame::OnKeyUp(UINT, UINT, UINT)
{
    PostMessage(WM_SETCURSOR, 0, 0);
}
