// Hostile settings in the registry: "Interpolation" and "Extensions" of the wrong type, the
// wrong size, without a terminator, or far too long. Each start, each open dialog and each
// options sheet must take them as the registry rules say (a value that can't be read is the
// default, a short one is used as it stands), never read past a buffer, and write back only
// what the program writes: the interpolation at exit, the list only when the sheet applies.
#include <windows.h>
#include <prsht.h>

#include <string>
#include <thread>
#include <vector>

#include "app/vistrel_app.h"
#include "framework/cmd_target.h"
#include "mainframe/settings.h"
#include "res/resource.h"
#include "tests/reliability/win_reliability.h"
#include "view/paint_rules.h"
#include "view/paint_seam.h"

namespace {

using namespace reliability;

constexpr const wchar_t* kKey = L"SOFTWARE\\Vistrel";
const std::wstring kDefaultList = L"bmp,gif,jpg,png,tif,jpeg";

struct RawValue {
    bool bPresent = false;
    DWORD type = 0;
    std::vector<BYTE> data;
    friend bool operator==(const RawValue&, const RawValue&) = default;
};

void PutRaw(const wchar_t* name, DWORD type, const std::vector<BYTE>& data)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExW(hKey, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
    ::RegCloseKey(hKey);
}

RawValue GetRaw(const wchar_t* name)
{
    RawValue v;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return v;
    DWORD bytes = 0;
    if (::RegQueryValueExW(hKey, name, nullptr, &v.type, nullptr, &bytes) == ERROR_SUCCESS) {
        v.data.resize(bytes);
        v.bPresent = ::RegQueryValueExW(hKey, name, nullptr, &v.type, v.data.data(), &bytes) == ERROR_SUCCESS;
        v.data.resize(bytes);
    }
    ::RegCloseKey(hKey);
    return v;
}

std::vector<BYTE> Utf16(const std::wstring& text, bool bTerminator)
{
    std::vector<BYTE> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>((c >> 8) & 0xFF));
    }
    if (bTerminator)
        bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

std::vector<BYTE> Dword(DWORD v)
{
    return {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 24)};
}

// Records what an update rule says, as a menu item would show it.
class RecordingCmdUI : public CCmdUI {
public:
    void SetRadio(BOOL bOn) override { m_nRadio = bOn ? 1 : 0; }
    void SetCheck(int nCheck) override { m_nCheck = nCheck; }
    int m_nRadio = -1;
    int m_nCheck = -1;
};

// The first visible dialog-class window of the thread whose title is, or is not, `title`.
HWND FindDialog(DWORD threadId, const std::wstring& title, bool bMatch)
{
    struct Search {
        const std::wstring* title;
        bool bMatch;
        HWND found;
    } search{&title, bMatch, nullptr};
    ::EnumThreadWindows(
        threadId,
        [](HWND hWnd, LPARAM l) -> BOOL {
            auto* s = reinterpret_cast<Search*>(l);
            wchar_t cls[32] = {};
            wchar_t text[128] = {};
            ::GetClassNameW(hWnd, cls, 32);
            ::GetWindowTextW(hWnd, text, 128);
            if (::IsWindowVisible(hWnd) && std::wstring(cls) == L"#32770" && ((*s->title == text) == s->bMatch)) {
                s->found = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

const std::wstring kSheetTitle = L"\u5C5E\u6027";  // 属性

// What a run of the options sheet saw: the box text, and the refusals it dismissed.
struct SheetRun {
    std::wstring boxText;
    int nRefusals = 0;
    bool bPressOk = false;
    int nTicks = 0;
    int nStep = 0;
    bool bBusy = false;  // a step is running (a refusal's own loop ticks inside it)
};
SheetRun* g_sheet = nullptr;

// One step per tick on the live sheet: read the box (then OK when asked), dismiss a refusal,
// cancel.
void CALLBACK SheetTick(HWND, UINT, UINT_PTR, DWORD)
{
    SheetRun& run = *g_sheet;
    const DWORD thread = ::GetCurrentThreadId();
    if (HWND hBox = FindDialog(thread, kSheetTitle, false)) {
        ++run.nRefusals;
        ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
        return;
    }
    HWND hSheet = FindDialog(thread, kSheetTitle, true);
    if (!hSheet || run.bBusy)
        return;
    if (++run.nTicks > 200) {
        PropSheet_PressButton(hSheet, PSBTN_CANCEL);
        return;
    }
    if (run.nStep == 0) {
        wchar_t text[12000] = {};
        ::GetDlgItemTextW(PropSheet_GetCurrentPageHwnd(hSheet), IDC_EXTENSIONS, text, 12000);
        run.boxText = text;
        run.nStep = run.bPressOk ? 1 : 2;
        if (run.bPressOk) {
            run.bBusy = true;
            PropSheet_PressButton(hSheet, PSBTN_OK);
            run.bBusy = false;
        }
    } else if (run.nStep == 1) {
        run.nStep = 2;
    } else {
        PropSheet_PressButton(hSheet, PSBTN_CANCEL);
    }
}

class ReliabilitySettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSettings();
        theApp.m_strFile.clear();
    }
    void TearDown() override
    {
        SetPaintObserver({});
        CloseFrame();
        ResetSettings();
    }

    // The main window as the program makes it, reading whatever the registry holds now.
    void StartFrame()
    {
        m_frame = new CMainFrame;
        theApp.m_pMainWnd = m_frame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_POPUP, nullptr, nullptr));
        m_hWnd = m_frame->m_hWnd;
        PumpMessages();
    }

    void CloseFrame()
    {
        if (m_hWnd && ::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        m_frame = nullptr;
        m_hWnd = nullptr;
        theApp.m_pMainWnd = nullptr;
        PumpMessages();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    void Command(UINT nID) { ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(nID, 0), 0); }

    // The open dialog, cancelled from a second thread; false when it never showed.
    bool OpenAndCancel(int* pFilters)
    {
        const DWORD uiThread = ::GetCurrentThreadId();
        bool bShown = false;
        std::thread driver([&bShown, pFilters, uiThread] {
            const DWORD start = ::GetTickCount();
            HWND dlg = nullptr;
            while (!dlg && ::GetTickCount() - start < 20000) {
                dlg = FindDialog(uiThread, L"", false);
                if (!dlg)
                    ::Sleep(20);
            }
            if (!dlg)
                return;
            bShown = true;
            ::Sleep(200);
            if (HWND combo = ::GetDlgItem(dlg, 0x470))  // cmb1, the filter list
                *pFilters = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
            ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        });
        Command(ID_FILE_OPEN);
        driver.join();
        PumpMessages();
        return bShown;
    }

    SheetRun RunSheet(bool bPressOk)
    {
        SheetRun run;
        run.bPressOk = bPressOk;
        g_sheet = &run;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &SheetTick);
        ClassesRootRedirect classes;  // the sheet registers the list it stores
        Command(ID_TOOLS_OPTIONS);
        ::KillTimer(nullptr, timer);
        g_sheet = nullptr;
        return run;
    }

    GdiplusSession m_gdiplus;
    CMainFrame* m_frame = nullptr;
    HWND m_hWnd = nullptr;
};

struct InterpolationCase {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    int32_t expected;
};

void PrintTo(const InterpolationCase& c, std::ostream* os)
{
    *os << c.name;
}

const InterpolationCase kInterpolations[] = {
    {"DigitAsText", REG_SZ, Utf16(L"3", true), 0x33},
    {"WordAsText", REG_SZ, Utf16(L"bicubic", true), 0},
    {"OneByte", REG_BINARY, {4}, 4},
    {"HundredBytes", REG_BINARY, std::vector<BYTE>(100, 2), 0},
    {"NoBytes", REG_BINARY, {}, 0},
    {"AllOnes", REG_DWORD, Dword(0xFFFFFFFFu), -1},
    {"Qword", REG_QWORD, {5, 0, 0, 0, 0, 0, 0, 0}, 0},
};

class ReliabilityInterpolation : public ReliabilitySettings, public ::testing::WithParamInterface<InterpolationCase> {
};

TEST_P(ReliabilityInterpolation, IsReadAsTheRulesSayUsedForPaintingAndOnlyItIsWrittenBack)
{
    const InterpolationCase& c = GetParam();
    PutRaw(L"Interpolation", c.type, c.data);
    PutRaw(L"Extensions", REG_SZ, Utf16(L"vtkeep", true));
    const RawValue extensions = GetRaw(L"Extensions");

    StartFrame();
    EXPECT_EQ(m_frame->m_nInterpolation, c.expected);
    for (UINT id = ID_INTERP_DEFAULT; id <= ID_INTERP_HQ_BICUBIC; ++id) {
        RecordingCmdUI ui;
        ui.m_nID = id;
        m_frame->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui);
        EXPECT_EQ(ui.m_nRadio, static_cast<int32_t>(id - ID_INTERP_DEFAULT) == c.expected ? 1 : 0) << id;
    }

    const std::wstring folder = MakeScratchFolder(L"rel-interp");
    ASSERT_TRUE(WriteSolidPicture(folder + L"p.png", 300, 200, Gdiplus::Color(10, 200, 10)));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"p.png"));
    int nPaints = 0;
    int32_t nMode = -1;
    SetPaintObserver([&](const PaintCall& call) {
        ++nPaints;
        nMode = call.nInterpolationMode;
    });
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    SetPaintObserver({});
    EXPECT_GT(nPaints, 0);
    // Out of range draws with the system's default mode.
    EXPECT_EQ(nMode, c.expected >= 0 && c.expected <= 5 ? GdiplusInterpolationMode(c.expected) : 0);
    EXPECT_EQ(GetRaw(L"Extensions"), extensions);

    CloseFrame();
    // Written back as read, as the only value the program writes at exit.
    EXPECT_EQ(GetRaw(L"Interpolation"), (RawValue{true, REG_DWORD, Dword(static_cast<DWORD>(c.expected))}));
    EXPECT_EQ(GetRaw(L"Extensions"), extensions);
}

INSTANTIATE_TEST_SUITE_P(Values, ReliabilityInterpolation, ::testing::ValuesIn(kInterpolations),
                         [](const ::testing::TestParamInfo<InterpolationCase>& p) { return std::string(p.param.name); });

struct ExtensionsCase {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    std::wstring expected;
};

void PrintTo(const ExtensionsCase& c, std::ostream* os)
{
    *os << c.name;
}

const ExtensionsCase kExtensions[] = {
    {"Empty", REG_SZ, Utf16(L"", true), L""},
    {"Chars259", REG_SZ, Utf16(std::wstring(259, L'e'), true), std::wstring(259, L'e')},
    {"Chars260", REG_SZ, Utf16(std::wstring(260, L'e'), true), kDefaultList},
    {"Chars260Unterminated", REG_SZ, Utf16(std::wstring(260, L'u'), false), std::wstring(260, L'u')},
    {"Chars10000", REG_SZ, Utf16(std::wstring(10000, L'x'), true), kDefaultList},
    {"ShortUnterminated", REG_SZ, Utf16(L"png", false), L"png"},
    {"Dword", REG_DWORD, Dword(0x00670070u), L"pg"},
    {"OddByteCount", REG_BINARY, {'a', 0, 'b'}, L"ab"},
};

class ReliabilityExtensions : public ReliabilitySettings, public ::testing::WithParamInterface<ExtensionsCase> {
};

TEST_P(ReliabilityExtensions, AreReadAsTheRulesSayByDialogAndSheetAndNeverOverwritten)
{
    const ExtensionsCase& c = GetParam();
    PutRaw(L"Extensions", c.type, c.data);
    const RawValue stored = GetRaw(L"Extensions");
    ASSERT_TRUE(stored.bPresent);

    StartFrame();
    EXPECT_EQ(GetRaw(L"Extensions"), stored);
    EXPECT_EQ(ReadExtensionList(), c.expected);

    int nFilters = -1;
    EXPECT_TRUE(OpenAndCancel(&nFilters));
    if (nFilters >= 0) {
        EXPECT_EQ(nFilters, 2);
    }
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_EQ(GetRaw(L"Extensions"), stored);

    const SheetRun run = RunSheet(false);
    EXPECT_EQ(run.boxText, c.expected);
    EXPECT_EQ(run.nRefusals, 0);
    EXPECT_EQ(GetRaw(L"Extensions"), stored);

    CloseFrame();
    EXPECT_EQ(GetRaw(L"Extensions"), stored);
    EXPECT_TRUE(Responds(::GetDesktopWindow()));
}

INSTANTIATE_TEST_SUITE_P(Values, ReliabilityExtensions, ::testing::ValuesIn(kExtensions),
                         [](const ::testing::TestParamInfo<ExtensionsCase>& p) { return std::string(p.param.name); });

TEST_F(ReliabilitySettings, AnUnterminatedListTooLongForTheBoxIsRefusedAtOkAndLeftAlone)
{
    // Read in full (260 units, no terminator), the list is one character more than the page
    // accepts: OK shows the refusal, the sheet stays, and the stored value is not touched.
    PutRaw(L"Extensions", REG_SZ, Utf16(std::wstring(260, L'u'), false));
    const RawValue stored = GetRaw(L"Extensions");
    StartFrame();
    const SheetRun run = RunSheet(true);
    EXPECT_EQ(run.boxText, std::wstring(260, L'u'));
    EXPECT_EQ(run.nRefusals, 1);
    EXPECT_EQ(GetRaw(L"Extensions"), stored);
}

TEST_F(ReliabilitySettings, AListAppliedFromAHostileValueIsStoredAsAPlainString)
{
    // The sheet's first OK stores the list as read; from a DWORD that is the two characters it
    // held, now as the string the registry rules ask for.
    PutRaw(L"Extensions", REG_DWORD, Dword(0x00670070u));
    StartFrame();
    const SheetRun run = RunSheet(true);
    EXPECT_EQ(run.nRefusals, 0);
    EXPECT_EQ(GetRaw(L"Extensions"), (RawValue{true, REG_SZ, Utf16(L"pg", true)}));
}

}  // namespace
