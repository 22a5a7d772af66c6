#include "framework/frame_wnd.h"

#include "framework/ui_language.h"
#include "framework/win_app.h"

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTW& cs)
{
    if (!cs.lpszClass) {
        const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDResource));
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
    }
    // The framework adds a client edge to frames; a derived class may drop it.
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return cs.lpszClass != nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, void*)
{
    m_nIDResource = nIDResource;
    const HINSTANCE inst = ::GetModuleHandleW(nullptr);
    const CStringW title = AfxLoadString(nIDResource);
    m_hAccelTable = ::LoadAcceleratorsW(inst, MAKEINTRESOURCEW(nIDResource));
    // A menu of the same id, if the program has one, is the default menu bar.
    HMENU menu = AfxLoadMenu(nIDResource);
    if (!menu)
        ::SetLastError(0);

    CREATESTRUCTW cs{};
    cs.style = static_cast<LONG>(dwDefaultStyle);
    cs.lpszName = title.c_str();
    cs.x = CW_USEDEFAULT;
    cs.y = CW_USEDEFAULT;
    cs.cx = CW_USEDEFAULT;
    cs.cy = CW_USEDEFAULT;
    cs.hwndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    cs.hMenu = menu;
    cs.hInstance = inst;
    if (!PreCreateWindow(cs)) {
        if (menu)
            ::DestroyMenu(menu);
        return FALSE;
    }
    if (menu && cs.hMenu != menu)
        ::DestroyMenu(menu);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                  cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, this);
    return hWnd != nullptr;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccelTable && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, pMsg) ? TRUE : FALSE;
    return FALSE;
}

bool CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, bool bQueryOnly)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, bQueryOnly))
        return true;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, bQueryOnly);
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

void CFrameWnd::OnInitMenuPopup(HMENU hPopup, UINT, BOOL bSysMenu)
{
    if (bSysMenu)
        return;
    const int count = ::GetMenuItemCount(hPopup);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(hPopup, i);
        // Separators, owner-drawn headers (id 0) and submenus (-1) have no command.
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;
        CCmdUI state;
        state.m_nID = id;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_hMenu = hPopup;
        state.DoUpdate(this, true);
    }
}
