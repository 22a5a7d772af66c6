#include <windows.h>

#include "framework/gdiplus_sdk.h"

#include "feedback/command_states.h"
#include "feedback/command_ui.h"
#include "mainframe/main_frame.h"
#include "res/resource.h"
#include "view/paint_rules.h"
#include "view/paint_seam.h"

void CMainFrame::OnPaint()
{
    CPaintDC dc(this);
    if (m_pImage) {
        // Only the box around the invalid region is drawn, straight from the decoded picture.
        const CRect clip = dc.GetClipBox();
        const PaintRectF dest = PaintDestRect(clip);
        const PaintRectF src = PaintSourceRect(clip, m_ptScroll, m_fZoom);
        const auto mode = static_cast<Gdiplus::InterpolationMode>(GdiplusInterpolationMode(m_nInterpolation));
        Gdiplus::Graphics graphics(dc.GetSafeHdc());
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.SetInterpolationMode(mode);
        if (PaintObserved())
            ReportPaint({static_cast<int32_t>(graphics.GetCompositingMode()), static_cast<int32_t>(mode),
                         static_cast<int32_t>(graphics.GetInterpolationMode()), dest, src});
        graphics.DrawImage(m_pImage, Gdiplus::RectF(dest.X, dest.Y, dest.Width, dest.Height), src.X, src.Y,
                           src.Width, src.Height, Gdiplus::UnitPixel);
        return;
    }
    const COLORREF color = ::GetSysColor(COLOR_WINDOWTEXT);
    const CStringW hint = AfxLoadString(IDS_HINT);
    CRect rc = GetClientRect();
    dc.FillSolidRect(rc, color);
    dc.SetBkColor(color);
    dc.SetTextColor(::GetSysColor(COLOR_WINDOW));
    const HFONT oldFont = dc.SelectFont(m_fontMenu);
    dc.DrawText(hint.c_str(), static_cast<int>(hint.size()), rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectFont(oldFont);
}

// The class has no brush and OnPaint covers every pixel, so there is nothing to erase.
BOOL CMainFrame::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CMainFrame::OnInterpolation(UINT nID)
{
    m_nInterpolation = static_cast<int32_t>(nID) - ID_INTERP_DEFAULT;
    if (m_pImage)
        Invalidate(FALSE);
}

void CMainFrame::OnUpdateInterpolation(CCmdUI* pCmdUI)
{
    ApplyCommandState(pCmdUI, UpdateInterpolationRule(pCmdUI->m_nID, Snapshot()));
}
