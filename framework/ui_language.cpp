#include "framework/ui_language.h"

#include <atomic>

#include "framework/ui_language_rules.h"

namespace {

// 0 until chosen; only the user-interface thread sets it, workers may read it.
std::atomic<LANGID> g_nUiLanguage{0};

HMODULE ProgramModule()
{
    return ::GetModuleHandleW(nullptr);
}

// The resource's bytes in the language, or in the other one; null when neither has it.
const void* FindResourceBytes(HMODULE hModule, LPCWSTR pszType, LPCWSTR pszName, LANGID nLanguage)
{
    for (const LANGID lang : {nLanguage, static_cast<LANGID>(OtherUiLanguage(nLanguage))}) {
        HRSRC hRes = ::FindResourceExW(hModule, pszType, pszName, lang);
        if (!hRes)
            continue;
        HGLOBAL hData = ::LoadResource(hModule, hRes);
        const void* pData = hData ? ::LockResource(hData) : nullptr;
        if (pData)
            return pData;
    }
    return nullptr;
}

// One entry of the language's block, empty when that block lacks it.
CStringW StringOfBlock(HMODULE hModule, UINT nID, LANGID nLanguage)
{
    HRSRC hRes = ::FindResourceExW(hModule, RT_STRING, MAKEINTRESOURCEW(StringBlockName(nID)), nLanguage);
    HGLOBAL hData = hRes ? ::LoadResource(hModule, hRes) : nullptr;
    const auto* pUnits = static_cast<const uint16_t*>(hData ? ::LockResource(hData) : nullptr);
    if (!pUnits)
        return CStringW();
    const BlockString entry = FindBlockString(pUnits, ::SizeofResource(hModule, hRes) / sizeof(uint16_t),
                                              StringBlockIndex(nID));
    if (!entry.bFound)
        return CStringW();
    return CStringW(reinterpret_cast<const wchar_t*>(pUnits + entry.nOffset), entry.nLength);
}

}  // namespace

void AfxSetUiLanguage(LANGID nLanguage)
{
    g_nUiLanguage = nLanguage;
}

LANGID AfxGetUiLanguage()
{
    LANGID lang = g_nUiLanguage;
    if (lang == 0) {
        lang = ChooseUiLanguage(0, ::GetUserDefaultUILanguage());
        g_nUiLanguage = lang;
    }
    return lang;
}

CStringW AfxLoadStringIn(HMODULE hModule, UINT nID, LANGID nLanguage)
{
    const CStringW text = StringOfBlock(hModule, nID, nLanguage);
    if (!text.empty())
        return text;
    return StringOfBlock(hModule, nID, OtherUiLanguage(nLanguage));
}

HMENU AfxLoadMenuIn(HMODULE hModule, UINT nID, LANGID nLanguage)
{
    const void* pTemplate = FindResourceBytes(hModule, RT_MENU, MAKEINTRESOURCEW(nID), nLanguage);
    return pTemplate ? ::LoadMenuIndirectW(pTemplate) : nullptr;
}

const DLGTEMPLATE* AfxFindDialogIn(HMODULE hModule, UINT nID, LANGID nLanguage)
{
    return static_cast<const DLGTEMPLATE*>(
        FindResourceBytes(hModule, RT_DIALOG, MAKEINTRESOURCEW(nID), nLanguage));
}

HMENU AfxLoadMenu(UINT nID)
{
    return AfxLoadMenuIn(ProgramModule(), nID, AfxGetUiLanguage());
}

const DLGTEMPLATE* AfxFindDialog(UINT nID)
{
    return AfxFindDialogIn(ProgramModule(), nID, AfxGetUiLanguage());
}
