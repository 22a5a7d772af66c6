#pragma once
// The window wrapper: one window-procedure trampoline for every window of the
// program, the dispatch through message maps, and command routing.
#include <windows.h>

#include "framework/afx_string.h"
#include "framework/cmd_target.h"
#include "framework/gdi.h"
#include "framework/geometry.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // The object behind a window of this program, or null for a foreign window.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Calls the default window procedure with the message being handled.
    LRESULT Default();

    // Routes a WM_COMMAND: a command not from a control first asks its update
    // rule and is dropped silently when the rule disables it.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Last call for a window object; a self-deleting window deletes itself here.
    virtual void PostNcDestroy() {}

    // Base handlers: the default processing of the message.
    int OnCreate(LPCREATESTRUCTW) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnPaint() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnMove(int, int) { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    void OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
    void OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
    void OnEndSession(BOOL bEnding);

    // Thin wrappers over the Win32 calls the program makes.
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
    CStringW GetWindowText() const;
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    int MessageBox(LPCWSTR text, LPCWSTR caption, UINT type) { return ::MessageBoxW(m_hWnd, text, caption, type); }

    DECLARE_MESSAGE_MAP()

public:
    HWND m_hWnd = nullptr;

    // The one window procedure of every framework window: finds the object
    // from GWLP_USERDATA (set at WM_NCCREATE) and dispatches to it.
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Dispatches through the message map; false when no entry handles the message.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Attach(HWND hWnd);

    struct CurrentMsg {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMsg m_msgCur{};
};

// Registers (once) a window class routed to the framework's trampoline and
// returns its name, as the framework's class registration does.
LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);

// The thunks of the standard window messages.
namespace afx {

template <class T, auto Pmf>
struct WndThunk {
    static T* Self(CCmdTarget* p) { return static_cast<T*>(p); }
    static CPoint PointFrom(LPARAM l)
    {
        return CPoint(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
    }
    static LRESULT Void(CCmdTarget* p, UINT, WPARAM, LPARAM) { (Self(p)->*Pmf)(); return 0; }
    static LRESULT Create(CCmdTarget* p, UINT, WPARAM, LPARAM l)
    {
        return (Self(p)->*Pmf)(reinterpret_cast<LPCREATESTRUCTW>(l));
    }
    static LRESULT Size(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        // Client sides are unsigned 16-bit words; only positions carry a sign.
        (Self(p)->*Pmf)(static_cast<UINT>(w), LOWORD(l), HIWORD(l));
        return 0;
    }
    static LRESULT Move(CCmdTarget* p, UINT, WPARAM, LPARAM l)
    {
        (Self(p)->*Pmf)(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
        return 0;
    }
    static LRESULT Moving(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        (Self(p)->*Pmf)(static_cast<UINT>(w), reinterpret_cast<LPRECT>(l));
        return TRUE;
    }
    static LRESULT MinMax(CCmdTarget* p, UINT, WPARAM, LPARAM l)
    {
        (Self(p)->*Pmf)(reinterpret_cast<MINMAXINFO*>(l));
        return 0;
    }
    static LRESULT Timer(CCmdTarget* p, UINT, WPARAM w, LPARAM) { (Self(p)->*Pmf)(static_cast<UINT_PTR>(w)); return 0; }
    static LRESULT EndSession(CCmdTarget* p, UINT, WPARAM w, LPARAM)
    {
        (Self(p)->*Pmf)(static_cast<BOOL>(w));
        return 0;
    }
    static LRESULT EraseBkgnd(CCmdTarget* p, UINT, WPARAM w, LPARAM)
    {
        CDC dc;
        dc.Attach(reinterpret_cast<HDC>(w));
        const BOOL result = (Self(p)->*Pmf)(&dc);
        dc.Detach();
        return result;
    }
    static LRESULT ContextMenu(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        (Self(p)->*Pmf)(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(w)), PointFrom(l));
        return 0;
    }
    static LRESULT Mouse(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        (Self(p)->*Pmf)(static_cast<UINT>(w), PointFrom(l));
        return 0;
    }
    static LRESULT CaptureChanged(CCmdTarget* p, UINT, WPARAM, LPARAM l)
    {
        (Self(p)->*Pmf)(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(l)));
        return 0;
    }
    static LRESULT SetCursor(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        return (Self(p)->*Pmf)(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(w)), LOWORD(l), HIWORD(l));
    }
    static LRESULT MouseWheel(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        return (Self(p)->*Pmf)(LOWORD(w), static_cast<short>(HIWORD(w)), PointFrom(l));
    }
    static LRESULT Key(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        (Self(p)->*Pmf)(static_cast<UINT>(w), LOWORD(l), HIWORD(l));
        return 0;
    }
    static LRESULT MeasureItem(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        (Self(p)->*Pmf)(static_cast<int>(w), reinterpret_cast<LPMEASUREITEMSTRUCT>(l));
        return TRUE;
    }
    static LRESULT DrawItem(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        (Self(p)->*Pmf)(static_cast<int>(w), reinterpret_cast<LPDRAWITEMSTRUCT>(l));
        return TRUE;
    }
    static LRESULT DropFiles(CCmdTarget* p, UINT, WPARAM w, LPARAM)
    {
        (Self(p)->*Pmf)(reinterpret_cast<HDROP>(w));
        return 0;
    }
    static LRESULT InitMenuPopup(CCmdTarget* p, UINT, WPARAM w, LPARAM l)
    {
        (Self(p)->*Pmf)(reinterpret_cast<HMENU>(w), LOWORD(l), static_cast<BOOL>(HIWORD(l)));
        return 0;
    }
};

}  // namespace afx

#define AFX_WND_ENTRY(msg, kind, fn) {(msg), 0, 0, 0, MsgKind::Message, &afx::WndThunk<ThisClass, &ThisClass::fn>::kind},
#define ON_WM_CREATE() AFX_WND_ENTRY(WM_CREATE, Create, OnCreate)
#define ON_WM_DESTROY() AFX_WND_ENTRY(WM_DESTROY, Void, OnDestroy)
#define ON_WM_PAINT() AFX_WND_ENTRY(WM_PAINT, Void, OnPaint)
#define ON_WM_ERASEBKGND() AFX_WND_ENTRY(WM_ERASEBKGND, EraseBkgnd, OnEraseBkgnd)
#define ON_WM_SIZE() AFX_WND_ENTRY(WM_SIZE, Size, OnSize)
#define ON_WM_MOVE() AFX_WND_ENTRY(WM_MOVE, Move, OnMove)
#define ON_WM_MOVING() AFX_WND_ENTRY(WM_MOVING, Moving, OnMoving)
#define ON_WM_GETMINMAXINFO() AFX_WND_ENTRY(WM_GETMINMAXINFO, MinMax, OnGetMinMaxInfo)
#define ON_WM_TIMER() AFX_WND_ENTRY(WM_TIMER, Timer, OnTimer)
#define ON_WM_ENDSESSION() AFX_WND_ENTRY(WM_ENDSESSION, EndSession, OnEndSession)
#define ON_WM_CONTEXTMENU() AFX_WND_ENTRY(WM_CONTEXTMENU, ContextMenu, OnContextMenu)
#define ON_WM_LBUTTONDOWN() AFX_WND_ENTRY(WM_LBUTTONDOWN, Mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_WND_ENTRY(WM_LBUTTONUP, Mouse, OnLButtonUp)
#define ON_WM_MOUSEMOVE() AFX_WND_ENTRY(WM_MOUSEMOVE, Mouse, OnMouseMove)
#define ON_WM_CAPTURECHANGED() AFX_WND_ENTRY(WM_CAPTURECHANGED, CaptureChanged, OnCaptureChanged)
#define ON_WM_SETCURSOR() AFX_WND_ENTRY(WM_SETCURSOR, SetCursor, OnSetCursor)
#define ON_WM_MOUSEWHEEL() AFX_WND_ENTRY(WM_MOUSEWHEEL, MouseWheel, OnMouseWheel)
#define ON_WM_KEYDOWN() AFX_WND_ENTRY(WM_KEYDOWN, Key, OnKeyDown)
#define ON_WM_KEYUP() AFX_WND_ENTRY(WM_KEYUP, Key, OnKeyUp)
#define ON_WM_MEASUREITEM() AFX_WND_ENTRY(WM_MEASUREITEM, MeasureItem, OnMeasureItem)
#define ON_WM_DRAWITEM() AFX_WND_ENTRY(WM_DRAWITEM, DrawItem, OnDrawItem)
#define ON_WM_DROPFILES() AFX_WND_ENTRY(WM_DROPFILES, DropFiles, OnDropFiles)
#define ON_WM_INITMENUPOPUP() AFX_WND_ENTRY(WM_INITMENUPOPUP, InitMenuPopup, OnInitMenuPopup)
