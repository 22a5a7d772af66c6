#include "framework/cmd_target.h"

const MsgMap* CCmdTarget::GetThisMessageMap()
{
    static const MsgMap map = {nullptr, nullptr, 0};
    return &map;
}

const MsgMapEntry* CCmdTarget::FindEntry(const MsgMap* map, MsgKind kind, UINT nMessage, int nCode, UINT nID)
{
    for (; map; map = map->pfnGetBase ? map->pfnGetBase() : nullptr) {
        for (size_t i = 0; i < map->nCount; ++i) {
            const MsgMapEntry& e = map->pEntries[i];
            if (e.kind != kind || e.nMessage != nMessage)
                continue;
            if (kind == MsgKind::Message)
                return &e;
            if (e.nCode == nCode && nID >= e.nIdFirst && nID <= e.nIdLast)
                return &e;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, bool bQueryOnly)
{
    const MsgMap* map = GetMessageMap();
    if (nCode == CN_UPDATE_COMMAND_UI) {
        const MsgMapEntry* e = FindEntry(map, MsgKind::UpdateCommand, WM_COMMAND, nCode, nID);
        if (!e)
            return false;
        if (!bQueryOnly) {
            auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
            pCmdUI->m_nID = nID;
            e->pfn(this, WM_COMMAND, nID, reinterpret_cast<LPARAM>(pCmdUI));
        }
        return true;
    }
    const MsgKind kind = nCode == CN_COMMAND ? MsgKind::Command : MsgKind::ControlNotify;
    const MsgMapEntry* e = FindEntry(map, kind, WM_COMMAND, nCode, nID);
    if (!e)
        return false;
    if (!bQueryOnly)
        e->pfn(this, WM_COMMAND, nID, 0);
    return true;
}

void CCmdUI::Enable(BOOL bOn)
{
    m_bEnabled = bOn != FALSE;
    m_bEnableChanged = true;
    if (m_hMenu)
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_GRAYED));
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_hMenu)
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (!m_hMenu)
        return;
    // A radio item is a checked item drawn with a dot instead of the tick.
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE;
    if (!::GetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &mii))
        return;
    mii.fType |= MFT_RADIOCHECK;
    mii.fState = bOn ? (mii.fState | MFS_CHECKED) : (mii.fState & ~static_cast<UINT>(MFS_CHECKED));
    ::SetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &mii);
}

void CCmdUI::SetText(LPCWSTR lpszText)
{
    if (!m_hMenu || !lpszText)
        return;
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<LPWSTR>(lpszText);
    ::SetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &mii);
}

bool CCmdUI::DoUpdate(CCmdTarget* target, bool bDisableIfNoHandler)
{
    m_bEnableChanged = false;
    const bool handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this);
    if (!handled && bDisableIfNoHandler && !m_bEnableChanged) {
        if (!target->OnCmdMsg(m_nID, CN_COMMAND, nullptr, true))
            Enable(FALSE);
    }
    return handled;
}
