#pragma once
// Device contexts, fonts and menus: owners of one GDI or USER handle each.
#include <windows.h>

#include "framework/geometry.h"

class CWnd;

class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    BOOL CreateFontIndirect(const LOGFONTW* lf);
    void DeleteObject();
    HFONT GetSafeHandle() const { return m_hFont; }

private:
    HFONT m_hFont = nullptr;
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    void Attach(HDC hDC) { m_hDC = hDC; }
    HDC Detach()
    {
        HDC h = m_hDC;
        m_hDC = nullptr;
        return h;
    }
    HDC GetSafeHdc() const { return m_hDC; }

    // Selecting a font without a handle leaves the current font in place.
    HFONT SelectFont(const CFont& font);
    void SelectFont(HFONT hFont) { if (hFont) ::SelectObject(m_hDC, hFont); }
    CRect GetClipBox() const;
    void FillSolidRect(const CRect& rc, COLORREF color);
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int DrawText(const wchar_t* text, int length, CRect& rc, UINT format);

    HDC m_hDC = nullptr;
};

// BeginPaint/EndPaint for the lifetime of the object.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// GetDC/ReleaseDC for the lifetime of the object.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

class CMenu {
public:
    CMenu() = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu();
    HMENU GetSubMenu(int nPos) const { return ::GetSubMenu(m_hMenu, nPos); }
    HMENU GetSafeHmenu() const { return m_hMenu; }

    HMENU m_hMenu = nullptr;
};
