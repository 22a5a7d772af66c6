// The program's two languages: the built program's resources enumerated (every Chinese string,
// menu and dialog has an English one of the same id, shape and size, whose texts fit), the
// loader taking the chosen language whatever the thread's, and a real
// main window whose menu, label, hint words and options sheet speak English when told to.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "feedback/tag_wnd.h"
#include "framework/gdi.h"
#include "framework/ui_language.h"
#include "framework/ui_language_rules.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

std::wstring ProgramPath()
{
    const char* path = VISTREL_EXE_PATH;
    const int n = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path, -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n) - 1);
    return wide;
}

bool HasCjk(const std::wstring& text)
{
    for (const wchar_t c : text)
        if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFFEF))
            return true;
    return false;
}

// Resource names (integer ids) of a type, each with the languages it exists in.
std::map<UINT, std::set<LANGID>> ResourceLanguages(HMODULE hModule, LPCWSTR pszType)
{
    struct Collect {
        HMODULE hModule;
        std::map<UINT, std::set<LANGID>> found;
    } collect{hModule, {}};
    ::EnumResourceNamesW(
        hModule, pszType,
        [](HMODULE h, LPCWSTR type, LPWSTR name, LONG_PTR l) -> BOOL {
            auto* c = reinterpret_cast<Collect*>(l);
            if (!IS_INTRESOURCE(name))
                return TRUE;
            const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
            c->found[id];
            ::EnumResourceLanguagesW(
                h, type, name,
                [](HMODULE, LPCWSTR, LPCWSTR n, WORD lang, LONG_PTR p) -> BOOL {
                    auto* m = reinterpret_cast<std::map<UINT, std::set<LANGID>>*>(p);
                    (*m)[static_cast<UINT>(reinterpret_cast<ULONG_PTR>(n))].insert(lang);
                    return TRUE;
                },
                reinterpret_cast<LONG_PTR>(&c->found));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&collect));
    return collect.found;
}

const void* ResourceIn(HMODULE hModule, LPCWSTR pszType, UINT nID, LANGID lang, DWORD* pnBytes = nullptr)
{
    HRSRC hRes = ::FindResourceExW(hModule, pszType, MAKEINTRESOURCEW(nID), lang);
    if (!hRes)
        return nullptr;
    if (pnBytes)
        *pnBytes = ::SizeofResource(hModule, hRes);
    return ::LockResource(::LoadResource(hModule, hRes));
}

// One entry of a block in exactly that language: no fallback to the other.
std::wstring StrictString(HMODULE hModule, UINT nBlock, unsigned nIndex, LANGID lang)
{
    DWORD bytes = 0;
    const auto* units = static_cast<const uint16_t*>(ResourceIn(hModule, RT_STRING, nBlock, lang, &bytes));
    if (!units)
        return L"";
    const BlockString entry = FindBlockString(units, bytes / 2, nIndex);
    return entry.bFound ? std::wstring(reinterpret_cast<const wchar_t*>(units + entry.nOffset), entry.nLength) : L"";
}

struct MenuItem {
    UINT id;  // a command's; a submenu's item carries its handle instead
    bool bSubmenu;
    UINT type;
    std::wstring text;
    std::vector<MenuItem> items;
};

std::vector<MenuItem> MenuItems(HMENU hMenu)
{
    std::vector<MenuItem> items;
    const int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 256;
        ::GetMenuItemInfoW(hMenu, static_cast<UINT>(i), TRUE, &info);
        items.push_back({info.wID, info.hSubMenu != nullptr, info.fType, text, info.hSubMenu ? MenuItems(info.hSubMenu) : std::vector<MenuItem>{}});
    }
    return items;
}

// The accelerator text after the tab, which is the same in every language.
std::wstring KeyPart(const std::wstring& text)
{
    const size_t tab = text.find(L'\t');
    return tab == std::wstring::npos ? L"" : text.substr(tab);
}

void ExpectSameMenu(const std::vector<MenuItem>& zh, const std::vector<MenuItem>& en, const std::wstring& where)
{
    ASSERT_EQ(zh.size(), en.size()) << "items of " << testing::PrintToString(where);
    for (size_t i = 0; i < zh.size(); ++i) {
        const std::wstring at = where + L"/" + zh[i].text;
        EXPECT_EQ(zh[i].bSubmenu, en[i].bSubmenu) << testing::PrintToString(at);
        if (!zh[i].bSubmenu) {
            EXPECT_EQ(zh[i].id, en[i].id) << testing::PrintToString(at);
        }
        EXPECT_EQ(zh[i].type, en[i].type) << testing::PrintToString(at);
        EXPECT_EQ(KeyPart(zh[i].text), KeyPart(en[i].text)) << testing::PrintToString(at);
        EXPECT_EQ(zh[i].text.empty(), en[i].text.empty()) << testing::PrintToString(at);
        EXPECT_FALSE(HasCjk(en[i].text)) << testing::PrintToString(en[i].text);
        ExpectSameMenu(zh[i].items, en[i].items, at);
    }
}

struct Control {
    int id;
    std::wstring cls;
    std::wstring text;
    RECT rc;
    LONG style;
    HWND hWnd;
};

std::vector<Control> Controls(HWND hDlg)
{
    std::vector<Control> controls;
    for (HWND h = ::GetWindow(hDlg, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        wchar_t cls[64] = {}, text[512] = {};
        ::GetClassNameW(h, cls, 64);
        ::GetWindowTextW(h, text, 512);
        RECT rc{};
        ::GetWindowRect(h, &rc);
        ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
        controls.push_back({::GetDlgCtrlID(h), cls, text, rc, ::GetWindowLongW(h, GWL_STYLE), h});
    }
    return controls;
}

// Whether a control's text, drawn in its own font as the control draws it, fits inside it.
bool TextFits(const Control& c, bool bWrap)
{
    HDC dc = ::GetDC(c.hWnd);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(c.hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    const int width = c.rc.right - c.rc.left, height = c.rc.bottom - c.rc.top;
    RECT rc{0, 0, bWrap ? width : 0, 0};
    ::DrawTextW(dc, c.text.c_str(), -1, &rc, DT_CALCRECT | (bWrap ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, old);
    ::ReleaseDC(c.hWnd, dc);
    return rc.right <= width && rc.bottom <= height;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class BuiltProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hExe = ::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_hExe, nullptr) << "error " << ::GetLastError();
    }
    void TearDown() override
    {
        if (m_hExe)
            ::FreeLibrary(m_hExe);
    }
    HMODULE m_hExe = nullptr;
};

}  // namespace

TEST_F(BuiltProgram, EveryChineseStringHasAnEnglishOneOfTheSameId)
{
    const auto blocks = ResourceLanguages(m_hExe, RT_STRING);
    int chinese = 0;
    for (const auto& [block, langs] : blocks) {
        EXPECT_TRUE(langs.count(kUiLanguageChinese) && langs.count(kUiLanguageEnglish)) << "block " << block;
        for (unsigned i = 0; i < 16; ++i) {
            const UINT id = (block - 1) * 16 + i;
            const std::wstring zh = StrictString(m_hExe, block, i, kUiLanguageChinese);
            const std::wstring en = StrictString(m_hExe, block, i, kUiLanguageEnglish);
            EXPECT_EQ(zh.empty(), en.empty()) << "string " << id;
            if (zh.empty())
                continue;
            ++chinese;
            EXPECT_FALSE(HasCjk(en)) << "string " << id;
            const bool kept = id == IDS_DEFAULT_EXTENSIONS || id == IDS_APP_TITLE || id == AFX_IDS_APP_TITLE;
            EXPECT_EQ(kept, zh == en) << "string " << id;
            EXPECT_EQ(zh.find(L"%1") != std::wstring::npos, en.find(L"%1") != std::wstring::npos) << id;
        }
    }
    EXPECT_EQ(chinese, 19);
    EXPECT_EQ(AfxLoadStringIn(m_hExe, IDS_OPEN_FAILED, kUiLanguageEnglish), L"The file cannot be opened.");
    EXPECT_EQ(AfxLoadStringIn(m_hExe, IDS_ERROR_CAPTION, kUiLanguageEnglish), L"Error");
    EXPECT_EQ(AfxLoadStringIn(m_hExe, IDS_ERROR_CAPTION, kUiLanguageChinese), L"\u9519\u8BEF");
}

TEST_F(BuiltProgram, EveryChineseMenuHasAnEnglishOneOfTheSameShape)
{
    const auto menus = ResourceLanguages(m_hExe, RT_MENU);
    ASSERT_EQ(menus.count(IDR_CONTEXT_MENU), 1u);
    for (const auto& [id, langs] : menus) {
        ASSERT_TRUE(langs.count(kUiLanguageChinese) && langs.count(kUiLanguageEnglish)) << "menu " << id;
        HMENU zh = ::LoadMenuIndirectW(ResourceIn(m_hExe, RT_MENU, id, kUiLanguageChinese));
        HMENU en = ::LoadMenuIndirectW(ResourceIn(m_hExe, RT_MENU, id, kUiLanguageEnglish));
        ASSERT_TRUE(zh && en);
        const std::vector<MenuItem> zhItems = MenuItems(zh), enItems = MenuItems(en);
        ExpectSameMenu(zhItems, enItems, std::to_wstring(id));
        ASSERT_EQ(enItems.size(), 1u);
        ASSERT_GE(enItems[0].items.size(), 9u);
        EXPECT_EQ(enItems[0].items[0].text, L"&File");
        EXPECT_EQ(enItems[0].items[0].items[0].text, L"Open...\tCtrl+O");
        EXPECT_EQ(enItems[0].items[2].items[9].text, L"Nearest neighbour");
        EXPECT_EQ(enItems[0].items[3].items[0].text, L"Set as desktop wallpaper");
        ::DestroyMenu(zh);
        ::DestroyMenu(en);
    }
}

TEST_F(BuiltProgram, EveryChineseDialogHasAnEnglishOneOfTheSameControlsAndSizesWhoseTextsFit)
{
    const auto dialogs = ResourceLanguages(m_hExe, RT_DIALOG);
    ASSERT_EQ(dialogs.size(), 2u);
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    for (const auto& [id, langs] : dialogs) {
        ASSERT_TRUE(langs.count(kUiLanguageChinese) && langs.count(kUiLanguageEnglish)) << "dialog " << id;
        // The program's own module makes the pages (its icon included), from the built program's templates.
        const auto make = [&](LANGID lang) {
            return ::CreateDialogIndirectParamW(
                ::GetModuleHandleW(nullptr),
                static_cast<const DLGTEMPLATE*>(ResourceIn(m_hExe, RT_DIALOG, id, lang)), parent, &PlainDialog, 0);
        };
        HWND zh = make(kUiLanguageChinese), en = make(kUiLanguageEnglish);
        ASSERT_TRUE(zh && en) << "dialog " << id;
        wchar_t zhCaption[128] = {}, enCaption[128] = {};
        ::GetWindowTextW(zh, zhCaption, 128);
        ::GetWindowTextW(en, enCaption, 128);
        EXPECT_NE(std::wstring(enCaption), L"");
        EXPECT_FALSE(HasCjk(enCaption));
        RECT zhRect{}, enRect{};
        ::GetWindowRect(zh, &zhRect);
        ::GetWindowRect(en, &enRect);
        EXPECT_EQ(zhRect.right - zhRect.left, enRect.right - enRect.left);
        EXPECT_EQ(zhRect.bottom - zhRect.top, enRect.bottom - enRect.top);

        const std::vector<Control> zc = Controls(zh), ec = Controls(en);
        ASSERT_EQ(zc.size(), ec.size()) << "dialog " << id;
        for (size_t i = 0; i < zc.size(); ++i) {
            EXPECT_EQ(zc[i].id, ec[i].id);
            EXPECT_EQ(zc[i].cls, ec[i].cls);
            EXPECT_EQ(zc[i].style, ec[i].style) << testing::PrintToString(ec[i].text);
            EXPECT_TRUE(EqualRect(&zc[i].rc, &ec[i].rc)) << testing::PrintToString(ec[i].text);
            EXPECT_FALSE(HasCjk(ec[i].text)) << testing::PrintToString(ec[i].text);
            EXPECT_EQ(zc[i].text.empty(), ec[i].text.empty());
            // An icon's text is the ordinal of its resource; an edit box's is filled in later.
            if (ec[i].text.empty() || ec[i].text[0] == 0xFFFF || _wcsicmp(ec[i].cls.c_str(), L"Edit") == 0)
                continue;
            const bool bButton = _wcsicmp(ec[i].cls.c_str(), L"Button") == 0;
            EXPECT_TRUE(TextFits(ec[i], !bButton)) << "does not fit: " << testing::PrintToString(ec[i].text);
        }
        ::DestroyWindow(zh);
        ::DestroyWindow(en);
    }
    ::DestroyWindow(parent);
}

TEST(UiLanguage, TheChosenLanguageRulesEveryLoadWhateverTheThreadsLanguage)
{
    const LANGID saved = AfxGetUiLanguage();
    const LANGID thread = ::GetThreadUILanguage();
    const HMODULE self = ::GetModuleHandleW(nullptr);
    for (const LANGID lang : {kUiLanguageEnglish, kUiLanguageChinese}) {
        // The thread asks for the other language (Wine ignores the call; Windows would follow it).
        ::SetThreadUILanguage(OtherUiLanguage(lang));
        AfxSetUiLanguage(lang);
        const bool english = lang == kUiLanguageEnglish;
        EXPECT_EQ(AfxLoadString(IDS_HINT), english ? L"Right-click for the menu" : L"\u53F3\u952E\u5355\u51FB\u5F39\u51FA\u83DC\u5355");
        EXPECT_EQ(AfxLoadString(IDS_NO_PICTURE), english ? L"No picture" : L"\u65E0\u56FE\u7247");
        EXPECT_EQ(AfxLoadString(IDS_DEFAULT_EXTENSIONS), L"bmp,gif,jpg,png,tif,jpeg");
        EXPECT_EQ(AfxLoadString(9999), L"");
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT_MENU));
        wchar_t text[64] = {};
        ::GetMenuStringW(::GetSubMenu(menu.m_hMenu, 0), 0, text, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), english ? L"&File" : L"\u6587\u4EF6(&F)");
        for (const UINT page : {IDD_PAGE_FILE_TYPES, IDD_PAGE_ABOUT}) {
            EXPECT_EQ(AfxFindDialog(page), AfxFindDialogIn(self, page, lang));
            EXPECT_NE(AfxFindDialog(page), AfxFindDialogIn(self, page, OtherUiLanguage(lang)));
        }
        EXPECT_EQ(AfxFindDialog(999), nullptr);
    }
    ::SetThreadUILanguage(thread);
    AfxSetUiLanguage(saved);
}

namespace {

// A main window made while the program's language is English.
class EnglishFrame : public MainFrameTest {
protected:
    void SetUp() override
    {
        m_saved = AfxGetUiLanguage();
        AfxSetUiLanguage(kUiLanguageEnglish);
        MainFrameTest::SetUp();
    }
    void TearDown() override
    {
        MainFrameTest::TearDown();
        AfxSetUiLanguage(m_saved);
    }
    LANGID m_saved = 0;
};

struct SheetSeen {
    std::wstring caption;
    std::vector<std::wstring> tabs;
};
SheetSeen* g_seen = nullptr;

void CALLBACK ReadSheet(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hSheet = ::FindWindowW(L"#32770", L"Options");
    if (!hSheet || !::IsWindowVisible(hSheet) || !g_seen->tabs.empty())
        return;
    g_seen->caption = L"Options";
    HWND hTab = PropSheet_GetTabControl(hSheet);
    const int count = static_cast<int>(::SendMessageW(hTab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(hTab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        g_seen->tabs.push_back(text);
    }
    ::PostMessageW(hSheet, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

TEST_F(EnglishFrame, MenuLabelWordsAndOptionsSheetSpeakEnglish)
{
    EXPECT_EQ(m_frame->m_strInfo, L"No picture");
    EXPECT_EQ(m_frame->GetWindowText(), L"Vistrel");

    const std::wstring folder = MakeScratchFolder(L"english-frame");
    ASSERT_TRUE(WriteSolidPicture(folder + L"pic.png", 200, 100, Gdiplus::Color(9, 8, 7)));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"pic.png"));
    PumpMessages();
    Command(ID_VIEW_ZOOM_IN);
    ASSERT_NE(m_frame->m_pTagWnd, nullptr);
    EXPECT_EQ(m_frame->m_pTagWnd->m_strText, m_frame->m_strInfo + L" Zoom in");
    Command(ID_EDIT_ROTATE_CW);
    EXPECT_EQ(m_frame->m_pTagWnd->m_strText.substr(m_frame->m_strInfo.size()), L" Rotate");

    SheetSeen seen;
    g_seen = &seen;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &ReadSheet);
    Command(ID_TOOLS_OPTIONS);
    ::KillTimer(nullptr, timer);
    g_seen = nullptr;
    EXPECT_EQ(seen.caption, L"Options");
    EXPECT_EQ(seen.tabs, (std::vector<std::wstring>{L"File types", L"About"}));
}
