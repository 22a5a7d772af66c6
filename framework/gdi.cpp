#include "framework/gdi.h"

#include "framework/ui_language.h"
#include "framework/win_geometry.h"
#include "framework/wnd.h"

BOOL CFont::CreateFontIndirect(const LOGFONTW* lf)
{
    DeleteObject();
    m_hFont = ::CreateFontIndirectW(lf);
    return m_hFont != nullptr;
}

void CFont::DeleteObject()
{
    if (m_hFont) {
        ::DeleteObject(m_hFont);
        m_hFont = nullptr;
    }
}

HFONT CDC::SelectFont(const CFont& font)
{
    if (!font.GetSafeHandle())
        return nullptr;
    return static_cast<HFONT>(::SelectObject(m_hDC, font.GetSafeHandle()));
}

CRect CDC::GetClipBox() const
{
    RECT rc{};
    ::GetClipBox(m_hDC, &rc);
    return FromRECT(rc);
}

void CDC::FillSolidRect(const CRect& rc, COLORREF color)
{
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    const RECT r = ToRECT(rc);
    const COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

int CDC::DrawText(const wchar_t* text, int length, CRect& rc, UINT format)
{
    RECT r = ToRECT(rc);
    const int height = ::DrawTextW(m_hDC, text, length, &r, format);
    rc = FromRECT(r);
    return height;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(HWND hWnd) : m_hWnd(hWnd)
{
    m_hDC = ::GetDC(hWnd);
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, m_hDC);
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    DestroyMenu();
    m_hMenu = AfxLoadMenu(nIDResource);
    return m_hMenu != nullptr;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    const BOOL ok = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    return ok;
}
