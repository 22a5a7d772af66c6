#include "mainframe/main_frame.h"

#include "feedback/menu_header_rules.h"
#include "framework/win_geometry.h"
#include "res/resource.h"

void CMainFrame::OnContextMenu(CWnd*, CPoint point)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENU))
        return;
    HMENU hPopup = menu.GetSubMenu(0);
    if (!hPopup)
        return;

    // The header: an owner-drawn separator, so it can be neither highlighted nor chosen.
    // The full structure of this build; the system refuses sizes it does not know.
    MENUITEMINFOW header{};
    header.cbSize = sizeof(header);
    header.fMask = MIIM_FTYPE;
    header.fType = MFT_OWNERDRAW | MFT_SEPARATOR;
    ::InsertMenuItemW(hPopup, 0, TRUE, &header);

    // The point goes on as given, (-1, -1) from the keyboard included.
    ::TrackPopupMenu(hPopup, 0, point.x, point.y, 0, m_hWnd, nullptr);
    menu.DestroyMenu();
}

void CMainFrame::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType != ODT_MENU) {
        CFrameWnd::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
        return;
    }
    CRect rcText;
    {
        CClientDC dc(m_hWnd);
        const HFONT hOld = dc.SelectFont(m_fontMenu);
        dc.DrawText(m_strInfo.c_str(), static_cast<int>(m_strInfo.size()), rcText,
                    DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        dc.SelectFont(hOld);
    }
    const CSize size = HeaderItemSize(rcText, DpiScale(2, m_nDpi));
    lpMeasureItemStruct->itemWidth = static_cast<UINT>(size.cx);
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(size.cy);
}

void CMainFrame::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType != ODT_MENU) {
        CFrameWnd::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    // Selection and focus changes leave the header as it is.
    if (lpDrawItemStruct->itemAction != ODA_DRAWENTIRE)
        return;

    const COLORREF caption = ::GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF gradient = ::GetSysColor(COLOR_GRADIENTACTIVECAPTION);
    const COLORREF text = ::GetSysColor(COLOR_CAPTIONTEXT);
    CDC dc;
    dc.Attach(lpDrawItemStruct->hDC);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(text);

    CRect rcItem = FromRECT(lpDrawItemStruct->rcItem);
    const HeaderGradient plan = PlanHeaderGradient(caption, gradient, rcItem);
    TRIVERTEX vertices[2] = {
        {plan.from.x, plan.from.y, plan.from.red, plan.from.green, plan.from.blue, plan.from.alpha},
        {plan.to.x, plan.to.y, plan.to.red, plan.to.green, plan.to.blue, plan.to.alpha},
    };
    GRADIENT_RECT band = {0, 1};
    ::GradientFill(dc.GetSafeHdc(), vertices, 2, &band, 1, GRADIENT_FILL_RECT_H);

    const HFONT hOld = dc.SelectFont(m_fontMenu);
    dc.DrawText(m_strInfo.c_str(), static_cast<int>(m_strInfo.size()), rcItem,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectFont(hOld);
    dc.Detach();
}
