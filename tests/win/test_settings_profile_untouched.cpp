// The tests that write settings leave the user's own profile as they found it: the writing
// behaviours (the options sheet's OK, /regext, the wallpaper and the calendar background,
// the interpolation stored at exit) are played inside the redirect over a real profile
// seeded as a user's would be, and the user's keys are then compared byte for byte.
#include <windows.h>
#include <prsht.h>
#include <shlobj.h>

#include <cwchar>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/vistrel_app.h"
#include "integration/background.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

const std::wstring kSettings = L"SOFTWARE\\Vistrel";
const std::wstring kFileExts = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const std::wstring kDesktop = L"Control Panel\\Desktop";
const std::wstring kCalyra = L"SOFTWARE\\Calyra";

// A key's values and subkeys, recursively, as exact bytes; "-" when the key is absent.
std::wstring Dump(HKEY root, const std::wstring& key, const std::vector<const wchar_t*>& onlyValues = {})
{
    HKEY hKey = nullptr;
    if (!root || ::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return L"-";
    std::wstring out;
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0, bytes = 0;
        if (::RegEnumValueW(hKey, i, name.data(), &nameLength, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
            break;
        const std::wstring valueName(name.data(), nameLength);
        bool bWanted = onlyValues.empty();
        for (const wchar_t* wanted : onlyValues)
            bWanted = bWanted || _wcsicmp(wanted, valueName.c_str()) == 0;
        if (!bWanted)
            continue;
        data.assign(bytes, 0);
        nameLength = static_cast<DWORD>(name.size());
        ::RegEnumValueW(hKey, i, name.data(), &nameLength, nullptr, &type, data.data(), &bytes);
        out += L"[" + valueName + L"]" + std::to_wstring(type) + L":";
        for (DWORD b = 0; b < bytes; ++b)
            out += std::to_wstring(data[b]) + L",";
        out += L"\n";
    }
    if (onlyValues.empty()) {
        for (DWORD i = 0;; ++i) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            if (::RegEnumKeyExW(hKey, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            const std::wstring sub(name.data(), nameLength);
            out += L"{" + sub + L"\n" + Dump(hKey, sub) + L"}\n";
        }
    }
    ::RegCloseKey(hKey);
    return out;
}

std::wstring ProgramName()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = std::wcsrchr(path, L'\\');
    return name ? name + 1 : path;
}

// Everything of the user's that the behaviours below would write if they reached it.
std::wstring UsersOwn()
{
    const HKEY hUser = RealCurrentUser();
    HKEY hMachineClasses = nullptr;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Applications", 0, KEY_READ, &hMachineClasses);
    const std::wstring app = ProgramName();
    std::wstring out = Dump(hUser, kSettings) + L"|" + Dump(hUser, kFileExts) + L"|" +
                       Dump(hUser, kDesktop, {L"WallpaperStyle", L"TileWallpaper"}) + L"|" + Dump(hUser, kCalyra) +
                       L"|" + Dump(hUser, L"Software\\Classes\\Applications\\" + app) + L"|" +
                       Dump(hMachineClasses, app);
    if (hMachineClasses)
        ::RegCloseKey(hMachineClasses);
    return out;
}

// Seeds the user's profile where it has nothing of its own yet, and takes back exactly what it
// added: its values, then the keys it made, deepest first.
class ProfileSeed {
public:
    ~ProfileSeed()
    {
        for (auto it = m_values.rbegin(); it != m_values.rend(); ++it)
            WriteRawValue(RealCurrentUser(), it->first, it->second.c_str(), std::nullopt);
        for (auto it = m_keys.rbegin(); it != m_keys.rend(); ++it)
            ::RegDeleteKeyW(RealCurrentUser(), it->c_str());
    }
    // Makes the key and each missing parent, noting the ones it made.
    void Key(const std::wstring& key)
    {
        for (size_t end = key.find(L'\\');; end = key.find(L'\\', end + 1)) {
            const std::wstring prefix = key.substr(0, end);
            HKEY hKey = nullptr;
            DWORD disposition = 0;
            if (::RegCreateKeyExW(RealCurrentUser(), prefix.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                                  &disposition) != ERROR_SUCCESS)
                return;
            ::RegCloseKey(hKey);
            if (disposition == REG_CREATED_NEW_KEY)
                m_keys.push_back(prefix);
            if (end == std::wstring::npos)
                return;
        }
    }
    void String(const std::wstring& key, const wchar_t* name, const std::wstring& text)
    {
        const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
        Value(key, name, RawRegValue{REG_SZ, std::vector<BYTE>(p, p + (text.size() + 1) * sizeof(wchar_t))});
    }
    void Value(const std::wstring& key, const wchar_t* name, const RawRegValue& value)
    {
        Key(key);
        if (ReadRawValue(RealCurrentUser(), key, name))
            return;  // the user's own stays as it is
        WriteRawValue(RealCurrentUser(), key, name, value);
        m_values.emplace_back(key, name);
    }

private:
    std::vector<std::wstring> m_keys;
    std::vector<std::pair<std::wstring, std::wstring>> m_values;
};

std::wstring g_appData;
HRESULT WINAPI ScratchAppData(HWND, int, HANDLE, DWORD, LPWSTR path)
{
    wcscpy_s(path, MAX_PATH, g_appData.c_str());
    return S_OK;
}

std::vector<std::wstring> g_commandLine;
std::vector<std::wstring> FakeCommandLine()
{
    return g_commandLine;
}

// Presses OK on the options sheet as soon as it shows.
void CALLBACK PressOk(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND hSheet = ::FindWindowW(nullptr, L"\u5C5E\u6027"))  // 属性
        PropSheet_PressButton(hSheet, PSBTN_OK);
}

using ProfileUntouched = MainFrameTest;

}  // namespace

TEST_F(ProfileUntouched, TheWritingBehavioursLeaveASeededProfileByteForByte)
{
    const std::wstring original = UsersOwn();
    {
        ProfileSeed seed;
        seed.Value(kSettings, L"Interpolation", RawRegValue{REG_DWORD, {5, 0, 0, 0}});
        seed.String(kSettings, L"Extensions", L"png,webp");
        seed.Key(kFileExts + L"\\.jpg");
        seed.String(kFileExts + L"\\.jpg\\OpenWithList", L"a", L"someviewer.exe");
        seed.String(kFileExts + L"\\.jpg\\OpenWithList", L"MRUList", L"a");
        seed.String(kDesktop, L"WallpaperStyle", L"10");
        seed.String(kDesktop, L"TileWallpaper", L"0");
        seed.String(kCalyra, L"CalBkgImgFile", L"C:\\mine.bmp");
        const std::wstring seeded = UsersOwn();
        ASSERT_TRUE(ReadRawValue(RealCurrentUser(), kFileExts + L"\\.jpg\\OpenWithList", L"a").has_value());
        ASSERT_TRUE(ReadRawValue(RealCurrentUser(), kDesktop, L"WallpaperStyle").has_value());
        const std::wstring wallpaper = CurrentWallpaper();

        {
            WallpaperGuard guard;
            const std::wstring folder = MakeScratchFolder(L"profile-untouched");
            ASSERT_TRUE(WriteSolidPicture(folder + L"p.png", 64, 48, Gdiplus::Color(0, 90, 200)));
            g_appData = folder + L"appdata";
            g_pfnGetFolderPath = &ScratchAppData;
            ASSERT_TRUE(m_frame->OpenFile(folder + L"p.png"));
            PumpMessages();
            Command(ID_TOOLS_SET_WALLPAPER);
            Command(ID_TOOLS_SET_CALENDAR_BKG);
            g_pfnGetFolderPath = &::SHGetFolderPathW;
            EXPECT_EQ(CurrentWallpaper(), g_appData + L"\\Vistrel\\Vistrel Wallpaper.bmp");

            ClassesRootRedirect classes;  // the sheet's OK and /regext register the program
            const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &PressOk);
            Command(ID_TOOLS_OPTIONS);
            ::KillTimer(nullptr, timer);

            ::DestroyWindow(m_hWnd);  // stores the interpolation
            m_hWnd = nullptr;
            PumpMessages();

            const CommandLineFn pfnCommandLine = g_pfnCommandLine;
            g_pfnCommandLine = &FakeCommandLine;
            g_commandLine = {L"vistrel.exe", L"/regext"};
            AfxWinMain(theApp);
            g_pfnCommandLine = pfnCommandLine;

            // Every behaviour did write, into the scratch keys.
            EXPECT_TRUE(ReadRawValue(HKEY_CURRENT_USER, kSettings, L"Interpolation").has_value());
            EXPECT_TRUE(ReadRawValue(HKEY_CURRENT_USER, kSettings, L"Extensions").has_value());
            EXPECT_TRUE(ReadRawValue(HKEY_CURRENT_USER, kFileExts + L"\\.jpg", L"Application").has_value());
            EXPECT_TRUE(ReadRawValue(HKEY_CURRENT_USER, kDesktop, L"WallpaperStyle").has_value());
            EXPECT_TRUE(ReadRawValue(HKEY_CLASSES_ROOT, L"Applications\\" + ProgramName() + L"\\shell\\open\\command",
                                     nullptr)
                            .has_value());
        }
        EXPECT_EQ(UsersOwn(), seeded);
        EXPECT_EQ(CurrentWallpaper(), wallpaper);
    }
    EXPECT_EQ(UsersOwn(), original);
}
