#include "framework/wnd.h"

#include <string>

#include "framework/handler_calls.h"
#include "framework/win_app.h"
#include "framework/win_geometry.h"

const MsgMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

const MsgMap* CWnd::GetThisMessageMap()
{
    static const MsgMap map = {&CCmdTarget::GetThisMessageMap, nullptr, 0};
    return &map;
}

CWnd::~CWnd()
{
    // A window outliving its object would call into freed memory; cut it loose.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    WNDPROC proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (proc != &CWnd::WndProc)
        return nullptr;
    return reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK CWnd::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = nullptr;
    if (message == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        pWnd = static_cast<CWnd*>(cs->lpCreateParams);
        if (pWnd)
            pWnd->Attach(hWnd);
    } else {
        pWnd = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    }
    if (!pWnd)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);

    LRESULT result = 0;
    // No C++ exception may unwind through user32: a handler that throws falls back to the
    // default. A hardware fault is no C++ exception; it ends the program, whoever takes it.
    HandlerCall call;
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        result = ::DefWindowProcW(hWnd, message, wParam, lParam);
    }

    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        pWnd->m_hWnd = nullptr;
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == pWnd) {
            app->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        pWnd->PostNcDestroy();
    }
    call.Leave();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The outer message comes back however the handler ends, a throw included, so that an
    // outer handler's Default() still passes on its own message.
    struct RestoreCurrent {
        CurrentMsg& slot;
        const CurrentMsg saved;
        ~RestoreCurrent() { slot = saved; }
    } restore{m_msgCur, m_msgCur};
    m_msgCur = {message, wParam, lParam};
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            result = DefWindowProc(message, wParam, lParam);
    } else if (!OnWndMsg(message, wParam, lParam, result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const MsgMapEntry* e = FindEntry(GetMessageMap(), MsgKind::Message, message, 0, 0);
    if (!e)
        return false;
    result = e->pfn(this, message, wParam, lParam);
    return true;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_msgCur.message, m_msgCur.wParam, m_msgCur.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    if (lParam == 0) {
        // Menus, accelerators and the program itself: the update rule decides first.
        CCmdUI state;
        state.m_nID = nID;
        if (OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state) && !state.m_bEnabled)
            return TRUE;
        nCode = CN_COMMAND;
    }
    return OnCmdMsg(nID, nCode, nullptr) ? TRUE : FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW&)
{
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    CREATESTRUCTW cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = ::GetModuleHandleW(nullptr);
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
        return FALSE;
    // The creation parameter carries this object to the trampoline; the caller's
    // own lpParam is not used by any window of the program.
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                  cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, this);
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::OnEndSession(BOOL bEnding)
{
    // The session ends without the normal teardown: the application cleans up now.
    CWinApp* app = AfxGetApp();
    if (bEnding && app && app->m_pMainWnd == this)
        app->ExitInstance();
}

CStringW CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

CRect CWnd::GetClientRect() const
{
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    return FromRECT(rc);
}

CRect CWnd::GetWindowRect() const
{
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    return FromRECT(rc);
}

LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // One class per combination, named after it, as the framework names its classes.
    static thread_local std::wstring name;
    wchar_t buffer[96];
    swprintf(buffer, sizeof(buffer) / sizeof(buffer[0]), L"Afx:%p:%x:%p:%p:%p",
             static_cast<void*>(::GetModuleHandleW(nullptr)), nClassStyle, static_cast<void*>(hCursor),
             static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    name = buffer;
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(::GetModuleHandleW(nullptr), name.c_str(), &existing))
        return name.c_str();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = nClassStyle;
    wc.lpfnWndProc = &CWnd::WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = name.c_str();
    if (!::RegisterClassExW(&wc))
        return nullptr;
    return name.c_str();
}
