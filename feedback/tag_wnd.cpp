#include "feedback/tag_wnd.h"

#include "feedback/tag_rules.h"
#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "view/placement.h"
#include "view/win_monitors.h"

namespace {

constexpr UINT kMeasureFlags = DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE;           // 0xC20
constexpr UINT kDrawFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;   // 0x825
constexpr UINT kShowFlags = SWP_NOCOPYBITS | SWP_SHOWWINDOW | SWP_NOACTIVATE;      // 0x150
constexpr BYTE kAlpha = 220;

}  // namespace

BEGIN_MESSAGE_MAP(CTagWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CTagWnd::CTagWnd(uint32_t nDpi) : m_nDpi(nDpi)
{
    CMainFrame::CreateMenuFont(m_font, nDpi);
}

CTagWnd::~CTagWnd() = default;

void CTagWnd::ShowText(const CStringW& text)
{
    m_strText = text;
    if (!m_hWnd)
        return;

    CRect rcText;
    {
        CClientDC dc(m_hWnd);
        const HFONT hOld = dc.SelectFont(m_font);
        dc.DrawText(m_strText.c_str(), static_cast<int>(m_strText.size()), rcText, kMeasureFlags);
        dc.SelectFont(hOld);
    }
    RECT rcOwner{};
    ::GetWindowRect(m_hWndOwner, &rcOwner);
    const CRect owner = FromRECT(rcOwner);
    // Never above the top of the owner's monitor (0 on the primary display).
    const CRect rc = PlaceTag(owner, rcText, DpiScale(1, m_nDpi), MonitorNear(RectCenter(owner)).rcMonitor.top);
    SetWindowPos(HWND_TOP, rc.left, rc.top, rc.Width(), rc.Height(), kShowFlags);
    Invalidate(FALSE);
    // Setting the running timer again restarts it: 3 s from the latest text.
    SetTimer(kTagTimer, kTagLifetimeMs);
}

void CTagWnd::PostNcDestroy()
{
    // Normally the end notice has already cleared the owner's pointer; a window that
    // died while being created never sent it.
    if (g_pMainFrame && g_pMainFrame->m_pTagWnd == this)
        g_pMainFrame->m_pTagWnd = nullptr;
    delete this;
}

void CTagWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rc = GetClientRect();
    const COLORREF crBack = ::GetSysColor(COLOR_ACTIVECAPTION);
    dc.FillSolidRect(rc, crBack);
    dc.SetBkColor(crBack);
    dc.SetTextColor(::GetSysColor(COLOR_CAPTIONTEXT));
    const HFONT hOld = dc.SelectFont(m_font);
    dc.DrawText(m_strText.c_str(), static_cast<int>(m_strText.size()), rc, kDrawFlags);
    dc.SelectFont(hOld);
}

void CTagWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kTagTimer)
        DestroyWindow();
    else
        CWnd::OnTimer(nIDEvent);
}

void CTagWnd::OnDestroy()
{
    KillTimer(kTagTimer);
    ::SendMessageW(m_hWndOwner, WM_TAGWND_CLOSED, 1, 0);
    CWnd::OnDestroy();
}

void CMainFrame::ShowTag(const wchar_t* extra)
{
    m_strInfo = FormatInfo(m_strFileName, m_fZoom);
    const CStringW strText = TagText(m_strInfo, extra);
    if (CreateTagWnd(*this))
        m_pTagWnd->ShowText(strText);
}

bool CreateTagWnd(CMainFrame& frame)
{
    if (frame.m_pTagWnd)
        return true;
    frame.m_pTagWnd = new CTagWnd(frame.m_nDpi);
    frame.m_pTagWnd->m_hWndOwner = frame.m_hWnd;
    // Owned by the main window, never activated, no taskbar button.
    if (!frame.m_pTagWnd->CreateEx(WS_EX_LAYERED | WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), L"KovV_TagWnd",
                                   WS_POPUP, 0, 0, 10, 10, frame.m_hWnd, nullptr)) {
        // Refused before it ever became a window: nothing will delete the object for us.
        if (frame.m_pTagWnd && !frame.m_pTagWnd->m_hWnd)
            delete frame.m_pTagWnd;
        frame.m_pTagWnd = nullptr;
        return false;
    }
    ::SetLayeredWindowAttributes(frame.m_pTagWnd->m_hWnd, 0, kAlpha, LWA_ALPHA);
    return true;
}
