#include "mainframe/settings.h"

#include <windows.h>

#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "mainframe/settings_rules.h"
#include "res/resource.h"

namespace {

constexpr const wchar_t* kSettingsKey = L"SOFTWARE\\Vistrel";

// Opens the key, creating it when missing, so even a read leaves it behind.
HKEY OpenSettingsKey(REGSAM access)
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                          &hKey, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

}  // namespace

bool CMainFrame::ReadInterpolation()
{
    DWORD value = 0;
    bool ok = false;
    if (HKEY hKey = OpenSettingsKey(KEY_READ)) {
        DWORD size = sizeof(value);
        ok = ::RegQueryValueExW(hKey, L"Interpolation", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
             ERROR_SUCCESS;
        ::RegCloseKey(hKey);
    }
    m_nInterpolation = InterpolationFromQuery(ok, value);

    m_ptCenter = WorkAreaCenter(WorkArea());
    return true;
}

// The viewer's own switches beyond the two settings: read once, when the window is made.
void CMainFrame::ReadViewerOptions()
{
    HKEY hKey = OpenSettingsKey(KEY_READ);
    auto read = [hKey](const wchar_t* pszName) {
        DWORD value = 0, type = REG_NONE, size = sizeof(value);
        const bool ok = hKey && ::RegQueryValueExW(hKey, pszName, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                                   &size) == ERROR_SUCCESS;
        return SwitchFromQuery(ok, type, size, value, true);
    };
    m_bReadAhead = read(L"ReadAhead");
    m_bAutoRotate = read(L"AutoRotate");
    if (hKey)
        ::RegCloseKey(hKey);
}

namespace {

// What the settings key holds under a name, read without making the key.
struct SettingQuery {
    bool ok = false;
    DWORD type = REG_NONE;
    DWORD size = sizeof(DWORD);
    DWORD value = 0;
};

SettingQuery QuerySetting(const wchar_t* pszName)
{
    SettingQuery query;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
        query.ok = ::RegQueryValueExW(hKey, pszName, nullptr, &query.type, reinterpret_cast<BYTE*>(&query.value),
                                      &query.size) == ERROR_SUCCESS;
        ::RegCloseKey(hKey);
    }
    return query;
}

// A switch under the settings key: on unless stored as 0.
bool ReadSwitchSetting(const wchar_t* pszName)
{
    const SettingQuery query = QuerySetting(pszName);
    return SwitchFromQuery(query.ok, query.type, query.size, query.value, true);
}

}  // namespace

bool ReadDpiAwareSetting()
{
    return ReadSwitchSetting(L"DpiAware");
}

bool ReadAutoRotateSetting()
{
    return ReadSwitchSetting(L"AutoRotate");
}

uint32_t ReadLanguageSetting()
{
    const SettingQuery query = QuerySetting(L"Language");
    return LanguageFromQuery(query.ok, query.type, query.size, query.value);
}

void CMainFrame::WriteInterpolation()
{
    HKEY hKey = OpenSettingsKey(KEY_WRITE);
    if (!hKey)
        return;
    const DWORD value = static_cast<DWORD>(m_nInterpolation);
    ::RegSetValueExW(hKey, L"Interpolation", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(hKey);
}

CStringW ReadExtensionList()
{
    // 520 bytes: 260 UTF-16 units; a longer value fails the query and gives the default.
    wchar_t buffer[260] = {};
    bool ok = false;
    if (HKEY hKey = OpenSettingsKey(KEY_READ)) {
        DWORD size = sizeof(buffer);
        ok = ::RegQueryValueExW(hKey, L"Extensions", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) ==
             ERROR_SUCCESS;
        ::RegCloseKey(hKey);
    }
    return ExtensionListFromQuery(ok, buffer, sizeof(buffer) / sizeof(buffer[0]),
                                  AfxLoadString(IDS_DEFAULT_EXTENSIONS));
}

bool WriteExtensionList(const CStringW& strExtensions)
{
    HKEY hKey = OpenSettingsKey(KEY_WRITE);
    if (!hKey)
        return false;
    const DWORD bytes = static_cast<DWORD>((strExtensions.size() + 1) * sizeof(wchar_t));
    const LONG status = ::RegSetValueExW(hKey, L"Extensions", 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(strExtensions.c_str()), bytes);
    ::RegCloseKey(hKey);
    return status == ERROR_SUCCESS;
}
