#pragma once
// The frame window: created from one resource id (title, accelerators, icon),
// translates its accelerators, updates its popup menus through the command
// rules, routes commands on to the application, and deletes itself.
#include "framework/wnd.h"

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd = nullptr,
                           void* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The frame first, then the application.
    bool OnCmdMsg(UINT nID, int nCode, void* pExtra, bool bQueryOnly = false) override;
    void PostNcDestroy() override;

    void OnInitMenuPopup(HMENU hPopup, UINT nIndex, BOOL bSysMenu);

    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDResource = 0;

    DECLARE_MESSAGE_MAP()
};
