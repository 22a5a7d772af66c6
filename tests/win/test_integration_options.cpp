// The options sheet driven as a user would: the test's steps run from a timer
// inside the sheet's modal loop, one step per tick, each on the live sheet.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "integration/options_sheet.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kApplyButton = 0x3021;
const std::wstring kFileExts = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

using Step = std::function<void(HWND hSheet)>;

struct Script {
    std::vector<Step> steps;
    size_t next = 0;
    bool bBusy = false;
    int nTicks = 0;
    int nIdleTicks = 0;
    int nBoxes = 0;
    std::wstring boxText;
};
Script* g_script = nullptr;

struct FindWindowArgs {
    const wchar_t* title;
    HWND found;
};

// A visible dialog of this thread with the title: the sheet, or a message box.
HWND FindDialog(const wchar_t* title)
{
    FindWindowArgs args{title, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* a = reinterpret_cast<FindWindowArgs*>(lParam);
            wchar_t cls[16] = {};
            wchar_t text[64] = {};
            ::GetClassNameW(hWnd, cls, 16);
            ::GetWindowTextW(hWnd, text, 64);
            if (::IsWindowVisible(hWnd) && std::wstring(cls) == L"#32770" && a->title == std::wstring(text)) {
                a->found = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
    return args.found;
}

HWND FindSheet()
{
    return FindDialog(L"\u5C5E\u6027");  // 属性
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Script& s = *g_script;
    // The framework's refusal comes as a message box; note its text and dismiss it.
    if (HWND hBox = FindDialog(L"KovViewer")) {
        wchar_t text[256] = {};
        ::GetDlgItemTextW(hBox, 0xFFFF, text, 256);
        s.boxText = text;
        ++s.nBoxes;
        ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
        return;
    }
    if (s.bBusy)
        return;
    HWND hSheet = FindSheet();
    if (!hSheet)
        return;
    // A closing sheet may still be found for a tick or two after the last step.
    if (s.next >= s.steps.size() && ++s.nIdleTicks > 50) {
        ADD_FAILURE() << "the script ran out with the sheet still open";
        ::PostMessageW(hSheet, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (s.next >= s.steps.size())
        return;
    if (++s.nTicks > 300) {
        ADD_FAILURE() << "the script took too many ticks";
        ::PostMessageW(hSheet, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    s.bBusy = true;
    s.steps[s.next++](hSheet);
    s.bBusy = false;
}

HWND CurrentPage(HWND hSheet)
{
    return PropSheet_GetCurrentPageHwnd(hSheet);
}

std::wstring BoxText(HWND hSheet)
{
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(CurrentPage(hSheet), IDC_EXTENSIONS, text, 1024);
    return text;
}

// Replaces the box's text as typing does: held to the box's limit, with a change notice.
void Type(HWND hSheet, const std::wstring& text)
{
    HWND hEdit = ::GetDlgItem(CurrentPage(hSheet), IDC_EXTENSIONS);
    ::SendMessageW(hEdit, EM_SETSEL, 0, -1);
    ::SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// WM_SETTEXT passes the box's limit (and a multi-line box sends no change notice for it).
void SetBoxText(HWND hSheet, const std::wstring& text)
{
    ::SetDlgItemTextW(CurrentPage(hSheet), IDC_EXTENSIONS, text.c_str());
}

Step Press(int button)
{
    return [button](HWND hSheet) { PropSheet_PressButton(hSheet, button); };
}

std::optional<std::wstring> StoredList(DWORD* pType = nullptr, DWORD* pBytes = nullptr)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Vistrel", 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t buffer[2048] = {};
    DWORD type = 0, bytes = sizeof(buffer) - sizeof(wchar_t);
    const LONG status =
        ::RegQueryValueExW(hKey, L"Extensions", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    ::RegCloseKey(hKey);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    if (pType)
        *pType = type;
    if (pBytes)
        *pBytes = bytes;
    return std::wstring(buffer);
}

void StoreList(const std::wstring& list)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Vistrel", 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(hKey, L"Extensions", 0, REG_SZ, reinterpret_cast<const BYTE*>(list.c_str()),
                     static_cast<DWORD>((list.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(hKey);
}

void ForgetList()
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Vistrel", 0, KEY_WRITE, &hKey) == ERROR_SUCCESS) {
        ::RegDeleteValueW(hKey, L"Extensions");
        ::RegCloseKey(hKey);
    }
}

bool Associated(const std::wstring& ext)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, (kFileExts + ext).c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

void Unassociate(const std::wstring& ext)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (kFileExts + ext).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, (kFileExts + ext).c_str());
}

struct ShellCall {
    int nCalls = 0;
    HWND hWnd = reinterpret_cast<HWND>(1);
    std::optional<std::wstring> verb, file, parameters, directory;
    INT nShow = -1;
};
ShellCall g_shell;

std::optional<std::wstring> Text(LPCWSTR s)
{
    return s ? std::optional<std::wstring>(s) : std::nullopt;
}

HINSTANCE WINAPI RecordShellExecute(HWND hWnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                    INT nShow)
{
    ++g_shell.nCalls;
    g_shell.hWnd = hWnd;
    g_shell.verb = Text(verb);
    g_shell.file = Text(file);
    g_shell.parameters = Text(parameters);
    g_shell.directory = Text(directory);
    g_shell.nShow = nShow;
    return reinterpret_cast<HINSTANCE>(33);
}

class OptionsSheet : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        for (const wchar_t* ext : {L".vtone", L".vttwo", L".vtabout", L".vtlong", L".vtcancel", L".vtapply"})
            Unassociate(ext);
        g_shell = ShellCall{};
        g_pfnShellExecute = &RecordShellExecute;
    }
    void TearDown() override
    {
        g_pfnShellExecute = &::ShellExecuteW;
        MainFrameTest::TearDown();
    }

    // Opens the sheet with the command and plays the steps; returns when the sheet has closed.
    void Run(UINT nCommand, std::vector<Step> steps)
    {
        m_script = Script{};
        m_script.steps = std::move(steps);
        g_script = &m_script;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &Tick);
        ClassesRootRedirect classes;  // the sheet registers the list it stores
        Command(nCommand);
        ::KillTimer(nullptr, timer);
        g_script = nullptr;
        EXPECT_EQ(m_script.next, m_script.steps.size()) << "the sheet closed before the script ended";
        EXPECT_EQ(FindSheet(), nullptr);
    }

    Script m_script;
};

TEST_F(OptionsSheet, OkAtOnceCleansStoresAndRegistersTheListAsRead)
{
    StoreList(L"vtone, .vttwo|");
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) {
                                  EXPECT_EQ(BoxText(hSheet), L"vtone, .vttwo|");
                                  // Nothing typed yet: Apply stays off.
                                  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hSheet, kApplyButton)));
                                  PropSheet_PressButton(hSheet, PSBTN_OK);
                              },
                          });
    DWORD type = 0, bytes = 0;
    EXPECT_EQ(StoredList(&type, &bytes), L"vtone,vttwo");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, 2u * 11u + 2u);
    EXPECT_TRUE(Associated(L".vtone"));
    EXPECT_TRUE(Associated(L".vttwo"));
}

TEST_F(OptionsSheet, WithoutStoredListTheDefaultIsShown)
{
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) {
                                  EXPECT_EQ(BoxText(hSheet), L"bmp,gif,jpg,png,tif,jpeg");
                                  EXPECT_EQ(::SendMessageW(::GetDlgItem(CurrentPage(hSheet), IDC_EXTENSIONS),
                                                           EM_GETLIMITTEXT, 0, 0),
                                            259);
                              },
                              Press(PSBTN_CANCEL),
                          });
    EXPECT_FALSE(StoredList().has_value());
}

TEST_F(OptionsSheet, AboutPageThenOkStoresNothing)
{
    StoreList(L"vtabout");
    Run(ID_HELP_ABOUT_PAGE, {
                                [](HWND hSheet) {
                                    EXPECT_NE(::GetDlgItem(CurrentPage(hSheet), IDC_UPGRADE), nullptr);
                                    EXPECT_EQ(::GetDlgItem(CurrentPage(hSheet), IDC_EXTENSIONS), nullptr);
                                    PropSheet_PressButton(hSheet, PSBTN_OK);
                                },
                            });
    EXPECT_EQ(StoredList(), L"vtabout");
    EXPECT_FALSE(Associated(L".vtabout"));
}

TEST_F(OptionsSheet, AboutPageThenAVisitToFileTypesStoresTheList)
{
    StoreList(L"vtabout");
    Run(ID_HELP_ABOUT_PAGE, {
                                [](HWND hSheet) { PropSheet_SetCurSel(hSheet, nullptr, 0); },
                                [](HWND hSheet) {
                                    EXPECT_EQ(BoxText(hSheet), L"vtabout");
                                    PropSheet_SetCurSel(hSheet, nullptr, 1);
                                },
                                Press(PSBTN_OK),
                            });
    EXPECT_EQ(StoredList(), L"vtabout");
    EXPECT_TRUE(Associated(L".vtabout"));
}

TEST_F(OptionsSheet, TypedSeparatorsAreRemovedNotTurnedIntoCommas)
{
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) {
                                  Type(hSheet, L"vtone; vttwo, .png|jpg");
                                  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hSheet, kApplyButton)));
                              },
                              [](HWND hSheet) {
                                  PropSheet_PressButton(hSheet, PSBTN_OK);
                              },
                          });
    EXPECT_EQ(StoredList(), L"vtonevttwo,pngjpg");
}

TEST_F(OptionsSheet, ApplyStoresOnceAndOkWithoutFurtherEditStoresNothingMore)
{
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) { Type(hSheet, L"vtapply"); },
                              Press(PSBTN_APPLYNOW),
                              [](HWND hSheet) {
                                  EXPECT_EQ(StoredList(), L"vtapply");
                                  EXPECT_TRUE(Associated(L".vtapply"));
                                  // Forget what Apply wrote: OK must not write it again.
                                  ForgetList();
                                  Unassociate(L".vtapply");
                                  PropSheet_PressButton(hSheet, PSBTN_OK);
                              },
                          });
    EXPECT_FALSE(StoredList().has_value());
    EXPECT_FALSE(Associated(L".vtapply"));
}

TEST_F(OptionsSheet, EditAfterApplyIsStoredAgainAtOk)
{
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) { Type(hSheet, L"vtone"); },
                              Press(PSBTN_APPLYNOW),
                              [](HWND hSheet) { Type(hSheet, L"vttwo"); },
                              Press(PSBTN_OK),
                          });
    EXPECT_EQ(StoredList(), L"vttwo");
    EXPECT_TRUE(Associated(L".vttwo"));
}

TEST_F(OptionsSheet, CancelAfterEditsStoresNothing)
{
    StoreList(L"bmp");
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) { Type(hSheet, L"vtcancel"); },
                              Press(PSBTN_CANCEL),
                          });
    EXPECT_EQ(StoredList(), L"bmp");
    EXPECT_FALSE(Associated(L".vtcancel"));
    // The next opening starts again from the stored list.
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) {
                                  EXPECT_EQ(BoxText(hSheet), L"bmp");
                                  PropSheet_PressButton(hSheet, PSBTN_CANCEL);
                              },
                          });
}

TEST_F(OptionsSheet, EmptiedBoxIsStoredEmptyAndShownEmptyNextTime)
{
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) { Type(hSheet, L""); },
                              Press(PSBTN_OK),
                          });
    DWORD bytes = 0;
    EXPECT_EQ(StoredList(nullptr, &bytes), L"");
    EXPECT_EQ(bytes, 2u);
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) {
                                  EXPECT_EQ(BoxText(hSheet), L"");
                                  PropSheet_PressButton(hSheet, PSBTN_CANCEL);
                              },
                          });
}

TEST_F(OptionsSheet, TypingStopsAt259Characters)
{
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) {
                                  Type(hSheet, std::wstring(300, L'a'));
                                  EXPECT_EQ(BoxText(hSheet).size(), 259u);
                              },
                              Press(PSBTN_OK),
                          });
    EXPECT_EQ(StoredList(), std::wstring(259, L'a'));
}

TEST_F(OptionsSheet, LongerTextIsRefusedAndThePageStaysOpen)
{
    StoreList(L"bmp");
    Run(ID_TOOLS_OPTIONS, {
                              [](HWND hSheet) { SetBoxText(hSheet, std::wstring(260, L'b')); },
                              Press(PSBTN_OK),
                              [this](HWND hSheet) {
                                  // Still open on the same page, after the refusal was shown.
                                  EXPECT_EQ(m_script.nBoxes, 1);
                                  EXPECT_EQ(m_script.boxText, L"\u8F93\u5165\u5927\u4E8E 259 \u7684\u5B57\u7B26");
                                  HWND hEdit = ::GetDlgItem(CurrentPage(hSheet), IDC_EXTENSIONS);
                                  ASSERT_NE(hEdit, nullptr);
                                  // Back in the box with all of its text selected.
                                  DWORD selStart = 1, selEnd = 0;
                                  ::SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                                                 reinterpret_cast<LPARAM>(&selEnd));
                                  EXPECT_EQ(selStart, 0u);
                                  EXPECT_EQ(selEnd, 260u);
                                  PropSheet_PressButton(hSheet, PSBTN_CANCEL);
                              },
                          });
    EXPECT_EQ(StoredList(), L"bmp");
}

TEST_F(OptionsSheet, UpgradeButtonOpensTheMakersPage)
{
    Run(ID_HELP_ABOUT_PAGE, {
                                [](HWND hSheet) {
                                    HWND hPage = CurrentPage(hSheet);
                                    HWND hButton = ::GetDlgItem(hPage, IDC_UPGRADE);
                                    ::SendMessageW(hPage, WM_COMMAND, MAKEWPARAM(IDC_UPGRADE, BN_CLICKED),
                                                   reinterpret_cast<LPARAM>(hButton));
                                },
                                Press(PSBTN_CANCEL),
                            });
    EXPECT_EQ(g_shell.nCalls, 1);
    EXPECT_EQ(g_shell.hWnd, nullptr);
    EXPECT_EQ(g_shell.verb, std::nullopt);
    EXPECT_EQ(g_shell.file, std::wstring(kUpgradeAddress));
    EXPECT_EQ(g_shell.parameters, std::nullopt);
    EXPECT_EQ(g_shell.directory, std::nullopt);
    EXPECT_EQ(g_shell.nShow, SW_SHOWNORMAL);
    EXPECT_EQ(std::wstring(kUpgradeAddress).rfind(L"https://", 0), 0u);
}

}  // namespace
