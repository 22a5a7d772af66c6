// Command routing of the framework layer: update rules gate commands from
// accelerators and menus, handlers are found in the frame and then in the
// application, popups are updated item by item, frames delete themselves.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "feedback/command_ui.h"
#include "framework/frame_wnd.h"
#include "framework/win_app.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr UINT kGated = 40001;     // handler and a rule
constexpr UINT kFree = 40002;      // handler, no rule
constexpr UINT kOrphan = 40003;    // neither
constexpr UINT kThrows = 40004;    // a handler that throws
constexpr UINT kRangeFirst = 40010;
constexpr UINT kRangeLast = 40012;

bool g_destroyed = false;

class CTestFrame : public CFrameWnd {
public:
    ~CTestFrame() override { g_destroyed = true; }
    void OnGated() { ++gatedRuns; }
    void OnFree() { ++freeRuns; }
    void OnThrows() { throw std::runtime_error("handler failure"); }
    void OnRange(UINT nID) { lastRangeId = nID; }
    // An outer handler whose inner message fails, then passes its own message on.
    LRESULT OnSetTextAfterFailure(WPARAM, LPARAM)
    {
        ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kThrows, 0), 0);
        return Default();
    }
    void OnUpdateGated(CCmdUI* pCmdUI)
    {
        pCmdUI->Enable(enableGated);
        pCmdUI->SetCheck(enableGated ? 1 : 0);
    }
    void OnUpdateRange(CCmdUI* pCmdUI) { pCmdUI->SetRadio(pCmdUI->m_nID == kRangeFirst + 1); }

    int gatedRuns = 0;
    int freeRuns = 0;
    UINT lastRangeId = 0;
    BOOL enableGated = TRUE;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_COMMAND(kGated, CTestFrame::OnGated)
    ON_UPDATE_COMMAND_UI(kGated, CTestFrame::OnUpdateGated)
    ON_COMMAND(kFree, CTestFrame::OnFree)
    ON_COMMAND(kThrows, CTestFrame::OnThrows)
    ON_COMMAND_RANGE(kRangeFirst, kRangeLast, CTestFrame::OnRange)
    ON_UPDATE_COMMAND_UI_RANGE(kRangeFirst, kRangeLast, CTestFrame::OnUpdateRange)
    ON_MESSAGE(WM_SETTEXT, CTestFrame::OnSetTextAfterFailure)
END_MESSAGE_MAP()

int g_failingFramesDeleted = 0;

// A frame that refuses to be created, at WM_CREATE or before its window exists.
class CFailingFrame : public CFrameWnd {
public:
    explicit CFailingFrame(bool bFailBeforeWindow) : m_bFailBeforeWindow(bFailBeforeWindow) {}
    ~CFailingFrame() override { ++g_failingFramesDeleted; }
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override
    {
        return m_bFailBeforeWindow ? FALSE : CFrameWnd::PreCreateWindow(cs);
    }
    int OnCreate(LPCREATESTRUCTW) { return -1; }

    DECLARE_MESSAGE_MAP()

private:
    bool m_bFailBeforeWindow;
};

BEGIN_MESSAGE_MAP(CFailingFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

class Routing : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_destroyed = false;
        m_frame = new CTestFrame;
        ASSERT_TRUE(m_frame->CreateEx(0, AfxRegisterWndClass(0), L"routing", WS_POPUP, 0, 0, 50, 50, nullptr,
                                      nullptr));
        m_hWnd = m_frame->m_hWnd;
        m_savedMain = AfxGetApp()->m_pMainWnd;
        AfxGetApp()->m_pMainWnd = m_frame;
    }
    void TearDown() override
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        AfxGetApp()->m_pMainWnd = m_savedMain;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // Feeds a key press through the frame's accelerator translation, as the loop does.
    bool PressAccelerator(WORD vk)
    {
        ACCEL accel[] = {{FVIRTKEY, 'A', static_cast<WORD>(kGated)}, {FVIRTKEY, 'B', static_cast<WORD>(kFree)}};
        HACCEL table = ::CreateAcceleratorTableW(accel, 2);
        m_frame->m_hAccelTable = table;
        MSG msg{m_hWnd, WM_KEYDOWN, vk, 1, 0, {0, 0}};
        const bool translated = m_frame->PreTranslateMessage(&msg) != FALSE;
        m_frame->m_hAccelTable = nullptr;
        ::DestroyAcceleratorTable(table);
        return translated;
    }
    UINT MenuState(HMENU menu, UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND); }

    CTestFrame* m_frame = nullptr;
    HWND m_hWnd = nullptr;
    CWnd* m_savedMain = nullptr;
};

struct RecordingCmdUI : CCmdUI {
    void Enable(BOOL) override { calls += L'E'; }
    void SetCheck(int) override { calls += L'C'; }
    void SetRadio(BOOL) override { calls += L'R'; }
    void SetText(LPCWSTR) override { calls += L'T'; }
    std::wstring calls;
};

}  // namespace

TEST_F(Routing, AcceleratorRunsACommandOnlyWhileItsRuleEnablesIt)
{
    EXPECT_TRUE(PressAccelerator('A'));
    EXPECT_EQ(m_frame->gatedRuns, 1);
    m_frame->enableGated = FALSE;
    EXPECT_TRUE(PressAccelerator('A'));  // translated, then dropped by the rule
    EXPECT_EQ(m_frame->gatedRuns, 1);
}

TEST_F(Routing, CommandWithoutRuleCountsAsEnabled)
{
    EXPECT_TRUE(PressAccelerator('B'));
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kFree, 0), 0);
    EXPECT_EQ(m_frame->freeRuns, 2);
}

TEST_F(Routing, ProgramSentCommandsPassTheSameGate)
{
    m_frame->enableGated = FALSE;
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kGated, 1), 0);
    EXPECT_EQ(m_frame->gatedRuns, 0);
}

TEST_F(Routing, RangeHandlerReceivesTheCommandId)
{
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kRangeFirst + 2, 0), 0);
    EXPECT_EQ(m_frame->lastRangeId, kRangeFirst + 2);
}

TEST_F(Routing, PopupItemsFollowTheirRulesAndOrphansAreDisabled)
{
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, kGated, L"gated");
    ::AppendMenuW(menu, MF_STRING, kFree, L"free");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kOrphan, L"orphan");
    ::AppendMenuW(menu, MF_STRING, ID_APP_EXIT, L"exit");
    for (UINT id = kRangeFirst; id <= kRangeLast; ++id)
        ::AppendMenuW(menu, MF_STRING, id, L"choice");
    m_frame->enableGated = FALSE;
    ::SendMessageW(m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);

    EXPECT_TRUE(MenuState(menu, kGated) & MF_GRAYED);
    EXPECT_FALSE(MenuState(menu, kGated) & MF_CHECKED);
    EXPECT_FALSE(MenuState(menu, kFree) & MF_GRAYED);
    EXPECT_TRUE(MenuState(menu, kOrphan) & MF_GRAYED);
    EXPECT_FALSE(MenuState(menu, ID_APP_EXIT) & MF_GRAYED);  // handled by the application
    EXPECT_FALSE(MenuState(menu, kRangeFirst) & MF_CHECKED);
    EXPECT_TRUE(MenuState(menu, kRangeFirst + 1) & MF_CHECKED);
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(menu, kRangeFirst + 1, FALSE, &mii));
    EXPECT_TRUE(mii.fType & MFT_RADIOCHECK);

    m_frame->enableGated = TRUE;
    ::SendMessageW(m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_FALSE(MenuState(menu, kGated) & MF_GRAYED);
    EXPECT_TRUE(MenuState(menu, kGated) & MF_CHECKED);
    ::DestroyMenu(menu);
}

TEST_F(Routing, AppExitClosesTheMainWindowWhichDeletesItsFrame)
{
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 1), 0);
    EXPECT_FALSE(::IsWindow(m_hWnd));
    EXPECT_TRUE(g_destroyed);
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Routing, AHandlerThatThrowsNeverUnwindsThroughTheSystem)
{
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kThrows, 0), 0);
    EXPECT_TRUE(::IsWindow(m_hWnd));
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kFree, 0), 0);
    EXPECT_EQ(m_frame->freeRuns, 1);
}

TEST_F(Routing, DefaultPassesTheOuterMessageOnAfterAnInnerHandlerThrew)
{
    ASSERT_NE(::SendMessageW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"outer")), 0);
    wchar_t text[16] = {};
    ::GetWindowTextW(m_hWnd, text, 16);
    EXPECT_STREQ(text, L"outer");
}

// What the application's start-up relies on to release a frame exactly once: a window that
// failed after WM_NCCREATE has deleted its frame and cleared m_pMainWnd on the way out, while a
// frame whose window never came to be is still the caller's.
TEST(FrameCreation, AFailedFrameIsReleasedExactlyOnceWhicheverWayItFailed)
{
    CWinApp* app = AfxGetApp();
    CWnd* const saved = app->m_pMainWnd;
    for (const bool bFailBeforeWindow : {false, true}) {
        SCOPED_TRACE(bFailBeforeWindow ? "before the window" : "at WM_CREATE");
        g_failingFramesDeleted = 0;
        auto* pFrame = new CFailingFrame(bFailBeforeWindow);
        app->m_pMainWnd = pFrame;
        EXPECT_FALSE(pFrame->LoadFrame(IDR_MAINFRAME, WS_POPUP, nullptr, nullptr));
        if (bFailBeforeWindow) {
            EXPECT_EQ(app->m_pMainWnd, pFrame);
            EXPECT_EQ(g_failingFramesDeleted, 0);
            delete pFrame;
        } else {
            EXPECT_EQ(app->m_pMainWnd, nullptr);
        }
        EXPECT_EQ(g_failingFramesDeleted, 1);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    app->m_pMainWnd = saved;
}

TEST(CommandUi, RuleOutcomeReachesTheFrameworkInItsOrder)
{
    RecordingCmdUI ui;
    CommandState all{};
    all.enable = true;
    all.check = 1;
    all.radio = false;
    ApplyCommandState(&ui, all);
    EXPECT_EQ(ui.calls, L"ECR");

    RecordingCmdUI radioOnly;
    CommandState radio{};
    radio.radio = true;
    ApplyCommandState(&radioOnly, radio);
    EXPECT_EQ(radioOnly.calls, L"R");
}

TEST(FrameworkStrings, LoadsTheExactTextsAndFillsTheLengthPrompt)
{
    EXPECT_EQ(AfxLoadString(IDS_APP_TITLE), L"Vistrel");
    EXPECT_EQ(AfxLoadString(IDS_DEFAULT_EXTENSIONS), L"bmp,gif,jpg,png,tif,jpeg");
    EXPECT_EQ(AfxLoadString(AFX_IDS_APP_TITLE), L"KovViewer");
    EXPECT_EQ(AfxFormatString1(AfxLoadString(AFX_IDP_PARSE_STRING_SIZE), L"259"),
              L"\u8F93\u5165\u5927\u4E8E 259 \u7684\u5B57\u7B26");  // 输入大于 259 的字符
    EXPECT_EQ(AfxLoadString(9999), L"");
}

TEST(Resources, AcceleratorTableHoldsNineteenEntries)
{
    HACCEL table = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    ACCEL entries[32];
    const int count = ::CopyAcceleratorTableW(table, entries, 32);
    EXPECT_EQ(count, 19);
    auto has = [&](BYTE virt, WORD key, WORD cmd) {
        for (int i = 0; i < count; ++i)
            if ((entries[i].fVirt & ~FNOINVERT) == virt && entries[i].key == key && entries[i].cmd == cmd)
                return true;
        return false;
    };
    EXPECT_TRUE(has(FVIRTKEY, VK_ESCAPE, ID_APP_EXIT));
    EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'O', ID_FILE_OPEN));
    EXPECT_TRUE(has(FVIRTKEY, VK_SPACE, ID_FILE_NEXT));
    EXPECT_TRUE(has(FVIRTKEY, VK_BACK, ID_FILE_PREV));
    EXPECT_TRUE(has(FVIRTKEY, VK_RETURN, ID_VIEW_ACTUAL_SIZE));
    EXPECT_TRUE(has(FVIRTKEY, VK_ADD, ID_VIEW_ZOOM_IN));
    EXPECT_TRUE(has(FVIRTKEY, VK_SUBTRACT, ID_VIEW_ZOOM_OUT));
    EXPECT_TRUE(has(FVIRTKEY, VK_DELETE, ID_FILE_DELETE_KEY));
    EXPECT_TRUE(has(FVIRTKEY | FALT, VK_BACK, ID_EDIT_UNDO));
    EXPECT_TRUE(has(FVIRTKEY | FSHIFT, VK_F6, ID_PREV_PANE));
    ::DestroyAcceleratorTable(table);
}

TEST(Resources, ContextMenuHasItsFourSubmenusAndExitLast)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT_MENU));
    HMENU main = menu.GetSubMenu(0);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(::GetMenuItemCount(main), 9);
    wchar_t text[64];
    ::GetMenuStringW(main, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"\u6587\u4EF6(&F)");  // 文件(&F)
    EXPECT_EQ(::GetMenuItemID(main, 8), static_cast<UINT>(ID_APP_EXIT));
    ::GetMenuStringW(main, 8, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"\u9000\u51FA(&X)\tEsc");  // 退出(&X)
    HMENU view = ::GetSubMenu(main, 2);
    EXPECT_EQ(::GetMenuItemCount(view), 14);
    EXPECT_EQ(::GetMenuItemID(view, 8), static_cast<UINT>(ID_INTERP_DEFAULT));
}
