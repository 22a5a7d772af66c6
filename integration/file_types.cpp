#include "integration/file_types.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "integration/association_plan.h"
#include "integration/background.h"

GetModuleFileNameFn g_pfnGetModuleFileName = &::GetModuleFileNameW;

namespace {

// The longest path the system knows, so a deep install is never cut short.
constexpr DWORD kModulePathCapacity = 32768;

void SetString(HKEY hKey, const wchar_t* name, const std::wstring& value)
{
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    ::RegSetValueExW(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

HKEY CreateKey(HKEY hParent, const std::wstring& name)
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(hParent, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

// Empty when the path can't be had whole: a filled buffer means it was cut.
std::wstring ModulePath()
{
    std::vector<wchar_t> buffer(kModulePathCapacity);
    const DWORD length = g_pfnGetModuleFileName(nullptr, buffer.data(), kModulePathCapacity);
    if (length == 0 || length >= kModulePathCapacity)
        return {};
    return std::wstring(buffer.data(), length);
}

}  // namespace

void RegisterFileTypes(const CStringW& strExtensions)
{
    const AssociationPlan plan = PlanAssociations(ModulePath(), strExtensions);
    if (!plan.bOk)
        return;

    if (HKEY hApp = CreateKey(HKEY_CLASSES_ROOT, plan.strAppKey)) {
        SetString(hApp, nullptr, plan.strOpenCommand);
        ::RegCloseKey(hApp);
    }

    HKEY hFileExts = CreateKey(HKEY_CURRENT_USER, kFileExtsKey);
    if (!hFileExts)
        return;
    for (const std::wstring& name : plan.extensionKeys) {
        HKEY hExt = CreateKey(hFileExts, name);
        if (!hExt)
            continue;
        ::RegDeleteValueW(hExt, L"ProgID");
        SetString(hExt, L"Application", plan.strProgramName);
        if (HKEY hChoice = CreateKey(hExt, L"UserChoice")) {
            SetString(hChoice, L"Progid", plan.strAppReference);
            ::RegCloseKey(hChoice);
        }
        ::RegCloseKey(hExt);
    }
    ::RegCloseKey(hFileExts);
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
