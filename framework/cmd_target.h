#pragma once
// Message maps as declared tables and the command-state object. A map entry
// names a message, a command or a command range together with a thunk that
// knows the handler's signature; maps chain to their base class's map.
#include <windows.h>

#include <cstddef>

class CCmdTarget;
class CCmdUI;

// Notification codes that route through OnCmdMsg besides control notifications.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;

enum class MsgKind : unsigned char {
    Message,        // a window message, handled by its typed handler
    Command,        // WM_COMMAND from a menu, an accelerator or the program
    UpdateCommand,  // the update rule of a command
    ControlNotify,  // WM_COMMAND notification from a child control (EN_CHANGE)
};

using MsgThunk = LRESULT (*)(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam);

struct MsgMapEntry {
    UINT nMessage;
    int nCode;
    UINT nIdFirst;
    UINT nIdLast;
    MsgKind kind;
    MsgThunk pfn;
};

struct MsgMap {
    const MsgMap* (*pfnGetBase)();
    const MsgMapEntry* pEntries;
    size_t nCount;
};

// The object through which an update rule enables, checks or marks a command.
// The base records the result for routing; the menu variant also edits the menu.
class CCmdUI {
public:
    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCWSTR lpszText);

    // Runs the rule of m_nID on target; without a rule and without any handler
    // the command is disabled when bDisableIfNoHandler is set.
    bool DoUpdate(CCmdTarget* target, bool bDisableIfNoHandler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    HMENU m_hMenu = nullptr;
    bool m_bEnabled = true;
    bool m_bEnableChanged = false;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Looks up nID in this object's map chain. For CN_COMMAND a match is called
    // unless bQueryOnly; for CN_UPDATE_COMMAND_UI pExtra is the CCmdUI*.
    virtual bool OnCmdMsg(UINT nID, int nCode, void* pExtra, bool bQueryOnly = false);

    virtual const MsgMap* GetMessageMap() const { return GetThisMessageMap(); }
    static const MsgMap* GetThisMessageMap();

protected:
    static const MsgMapEntry* FindEntry(const MsgMap* map, MsgKind kind, UINT nMessage, int nCode, UINT nID);
    friend class CWnd;
};

// The thunks: one per handler signature the framework knows.
namespace afx {

template <class T, auto Pmf>
struct Thunk {
    static T* Self(CCmdTarget* p) { return static_cast<T*>(p); }
    static LRESULT Void(CCmdTarget* p, UINT, WPARAM, LPARAM) { (Self(p)->*Pmf)(); return 0; }
    static LRESULT Message(CCmdTarget* p, UINT, WPARAM w, LPARAM l) { return (Self(p)->*Pmf)(w, l); }
    static LRESULT Command(CCmdTarget* p, UINT, WPARAM, LPARAM) { (Self(p)->*Pmf)(); return 0; }
    static LRESULT CommandRange(CCmdTarget* p, UINT, WPARAM w, LPARAM) { (Self(p)->*Pmf)(static_cast<UINT>(w)); return 0; }
    static LRESULT Update(CCmdTarget* p, UINT, WPARAM, LPARAM l) { (Self(p)->*Pmf)(reinterpret_cast<CCmdUI*>(l)); return 0; }
};

}  // namespace afx

#define DECLARE_MESSAGE_MAP()                                            \
public:                                                                  \
    const MsgMap* GetMessageMap() const override;                        \
    static const MsgMap* GetThisMessageMap();

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                           \
    const MsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MsgMap* theClass::GetThisMessageMap()                          \
    {                                                                    \
        using ThisClass [[maybe_unused]] = theClass;                                      \
        using TheBaseClass = baseClass;                                  \
        static const MsgMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                \
            {0, 0, 0, 0, MsgKind::Message, nullptr}                      \
        };                                                               \
        static const MsgMap map = {&TheBaseClass::GetThisMessageMap, entries, \
                                   sizeof(entries) / sizeof(entries[0]) - 1}; \
        return &map;                                                     \
    }

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (id), (id), MsgKind::Command, &afx::Thunk<ThisClass, &memberFxn>::Command},
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (idFirst), (idLast), MsgKind::Command, &afx::Thunk<ThisClass, &memberFxn>::CommandRange},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (id), (id), MsgKind::UpdateCommand, &afx::Thunk<ThisClass, &memberFxn>::Update},
#define ON_UPDATE_COMMAND_UI_RANGE(idFirst, idLast, memberFxn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (idFirst), (idLast), MsgKind::UpdateCommand, &afx::Thunk<ThisClass, &memberFxn>::Update},
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND, (code), (id), (id), MsgKind::ControlNotify, &afx::Thunk<ThisClass, &memberFxn>::Command},
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
// BN_CLICKED is 0, the code routing gives every command: a click is found as a command entry.
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
#define ON_MESSAGE(message, memberFxn) \
    {(message), 0, 0, 0, MsgKind::Message, &afx::Thunk<ThisClass, &memberFxn>::Message},
