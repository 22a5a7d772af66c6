// The built program's resources, enumerated and read strictly by language: every Chinese string,
// menu item and dialog has an English one of the same id, shape and size, in English words that
// fit. What the running program shows in each language, e2e.language measures.
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "framework/ui_language.h"
#include "framework/ui_language_rules.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

const HMODULE g_hExe = ::LoadLibraryExA(VISTREL_EXE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);

bool HasCjk(const std::wstring& text)
{
    return std::any_of(text.begin(), text.end(), [](wchar_t c) {
        return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFFEF);
    });
}

// The integer ids of the program's resources of a type, each with the languages it exists in.
using Languages = std::map<UINT, std::set<LANGID>>;
const std::set<LANGID> kBoth{kUiLanguageChinese, kUiLanguageEnglish};
Languages ResourceLanguages(LPCWSTR pszType)
{
    Languages found;
    ::EnumResourceNamesW(g_hExe, pszType, [](HMODULE h, LPCWSTR type, LPWSTR name, LONG_PTR p) -> BOOL {
        if (IS_INTRESOURCE(name))
            ::EnumResourceLanguagesW(h, type, name, [](HMODULE, LPCWSTR, LPCWSTR n, WORD lang, LONG_PTR l) -> BOOL {
                (*reinterpret_cast<Languages*>(l))[static_cast<UINT>(reinterpret_cast<ULONG_PTR>(n))].insert(lang);
                return TRUE;
            }, p);
        return TRUE;
    }, reinterpret_cast<LONG_PTR>(&found));
    return found;
}

// One entry of a block in exactly that language: no fallback to the other.
std::wstring StrictString(UINT nBlock, unsigned nIndex, LANGID lang)
{
    HRSRC hRes = ::FindResourceExW(g_hExe, RT_STRING, MAKEINTRESOURCEW(nBlock), lang);
    const auto* units = hRes ? static_cast<const uint16_t*>(::LockResource(::LoadResource(g_hExe, hRes))) : nullptr;
    const BlockString entry = FindBlockString(units, hRes ? ::SizeofResource(g_hExe, hRes) / 2 : 0, nIndex);
    return entry.bFound ? std::wstring(reinterpret_cast<const wchar_t*>(units + entry.nOffset), entry.nLength) : L"";
}

// A menu's items, submenus within: each one's id, state, keys after the tab and whether it has
// words, the same in both languages. The words go to *pWords.
std::wstring MenuShape(HMENU hMenu, std::wstring* pWords)
{
    std::wostringstream shape;
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        wchar_t text[256] = {};
        ::GetMenuStringW(hMenu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        const std::wstring words = text;
        *pWords += L"|" + words;
        HMENU hSub = ::GetSubMenu(hMenu, i);
        shape << ::GetMenuItemID(hMenu, i) << L' ' << ::GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION)
              << (words.empty() ? L" -" : L" +") << words.substr(std::min(words.find(L'\t'), words.size()))
              << L" [" << (hSub ? MenuShape(hSub, pWords) : L"") << L"];";
    }
    return shape.str();
}

// A dialog's and its controls' ids, classes, styles, places and whether they have words, the
// same in both languages when made at the same place. The words go to *pWords, and those that
// don't fit their control, drawn in its font as it draws them, to *pCut (an icon's text is the
// ordinal of its resource, an edit box's is filled in later).
std::wstring DialogShape(HWND hWnd, std::wstring* pWords, std::wstring* pCut)
{
    wchar_t cls[64] = {}, text[512] = {};
    ::GetClassNameW(hWnd, cls, 64);
    ::GetWindowTextW(hWnd, text, 512);
    *pWords += L"|" + std::wstring(text);
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    const LONG width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (text[0] && text[0] != 0xFFFF && _wcsicmp(cls, L"Edit") != 0 && _wcsicmp(cls, L"#32770") != 0) {
        const bool bWrap = _wcsicmp(cls, L"Button") != 0;
        RECT need{0, 0, bWrap ? width : 0, 0};
        HDC dc = ::GetDC(hWnd);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(hWnd, WM_GETFONT, 0, 0));
        HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        ::DrawTextW(dc, text, -1, &need, DT_CALCRECT | (bWrap ? DT_WORDBREAK : DT_SINGLELINE));
        ::SelectObject(dc, old);
        ::ReleaseDC(hWnd, dc);
        if (need.right > width || need.bottom > height)
            *pCut += L"|" + std::wstring(text);
    }
    std::wostringstream shape;
    shape << ::GetDlgCtrlID(hWnd) << L' ' << cls << L' ' << ::GetWindowLongW(hWnd, GWL_STYLE) << L' ' << rc.left
          << L',' << rc.top << L' ' << width << L'x' << height << (text[0] ? L" +;" : L" -;");
    for (HWND h = ::GetWindow(hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        shape << DialogShape(h, pWords, pCut);
    return shape.str();
}

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

TEST(BuiltProgram, EveryChineseStringHasAnEnglishOneOfTheSameId)
{
    int strings = 0;
    for (const auto& [block, langs] : ResourceLanguages(RT_STRING)) {
        ASSERT_EQ(langs, kBoth) << "block " << block;
        for (unsigned i = 0; i < 16; ++i) {
            const UINT id = (block - 1) * 16 + i;
            const std::wstring zh = StrictString(block, i, kUiLanguageChinese);
            const std::wstring en = StrictString(block, i, kUiLanguageEnglish);
            EXPECT_EQ(zh.empty(), en.empty()) << "string " << id;
            strings += zh.empty() ? 0 : 1;
            EXPECT_FALSE(HasCjk(en)) << "string " << id;
            const bool kept =
                zh.empty() || id == IDS_DEFAULT_EXTENSIONS || id == IDS_APP_TITLE || id == AFX_IDS_APP_TITLE;
            EXPECT_EQ(kept, zh == en) << "string " << id;
            EXPECT_EQ(zh.find(L"%1") != std::wstring::npos, en.find(L"%1") != std::wstring::npos) << id;
        }
    }
    EXPECT_EQ(strings, 19);
    EXPECT_EQ(AfxLoadStringIn(g_hExe, IDS_OPEN_FAILED, kUiLanguageEnglish), L"The file cannot be opened.");
    EXPECT_EQ(AfxLoadStringIn(g_hExe, IDS_ERROR_CAPTION, kUiLanguageEnglish), L"Error");
    EXPECT_EQ(AfxLoadStringIn(g_hExe, 9999, kUiLanguageEnglish), L"");
}

TEST(BuiltProgram, EveryChineseMenuItemHasAnEnglishOneOfTheSameId)
{
    const Languages menus = ResourceLanguages(RT_MENU);
    ASSERT_EQ(menus.count(IDR_CONTEXT_MENU), 1u);
    for (const auto& [id, langs] : menus) {
        ASSERT_EQ(langs, kBoth) << "menu " << id;
        HMENU zh = AfxLoadMenuIn(g_hExe, id, kUiLanguageChinese);
        HMENU en = AfxLoadMenuIn(g_hExe, id, kUiLanguageEnglish);
        ASSERT_TRUE(zh && en) << "menu " << id;
        std::wstring zhWords, enWords;
        EXPECT_EQ(MenuShape(zh, &zhWords), MenuShape(en, &enWords)) << "menu " << id;
        EXPECT_TRUE(HasCjk(zhWords));
        EXPECT_FALSE(HasCjk(enWords)) << testing::PrintToString(enWords);
        for (const wchar_t* words : {L"|Open...\tCtrl+O|", L"|Nearest neighbour|", L"|Set as desktop wallpaper|"})
            EXPECT_TRUE(id != IDR_CONTEXT_MENU || enWords.find(words) != std::wstring::npos)
                << testing::PrintToString(words);
        ::DestroyMenu(zh);
        ::DestroyMenu(en);
    }
}

TEST(BuiltProgram, EveryChineseDialogHasAnEnglishOneOfTheSameControlsAndSizesWhoseTextsFit)
{
    const Languages dialogs = ResourceLanguages(RT_DIALOG);
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(AfxFindDialogIn(g_hExe, 999, kUiLanguageEnglish), nullptr);
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    for (const auto& [id, langs] : dialogs) {
        EXPECT_EQ(langs, kBoth) << "dialog " << id;
        // The program's own module makes the pages (its icon included), from the built program's templates.
        std::wstring shape[2], words[2], cut[2];
        for (const int k : {0, 1}) {
            const LANGID lang = k ? kUiLanguageEnglish : kUiLanguageChinese;
            HWND hDlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), AfxFindDialogIn(g_hExe, id, lang),
                                                     parent, &PlainDialog, 0);
            shape[k] = hDlg ? DialogShape(hDlg, &words[k], &cut[k]) : L"none";
            ::DestroyWindow(hDlg);
        }
        EXPECT_EQ(shape[0], shape[1]) << "dialog " << id;
        EXPECT_TRUE(HasCjk(words[0]));
        EXPECT_FALSE(HasCjk(words[1]) || words[1].starts_with(L"||")) << testing::PrintToString(words[1]);
        EXPECT_EQ(cut[1], L"") << "texts that don't fit, dialog " << id;
    }
    ::DestroyWindow(parent);
}
