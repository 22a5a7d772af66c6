// The tests that write settings leave the user's own profile as they found it: the writing
// behaviours (the options sheet's OK, /regext, the wallpaper and the calendar background,
// the interpolation stored at exit) are played inside the redirect over a real profile
// seeded as a user's would be, and every value they write is then compared byte for byte.
#include <windows.h>
#include <prsht.h>
#include <shlobj.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/vistrel_app.h"
#include "integration/association_plan.h"
#include "integration/background.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

const std::wstring kSettings = L"SOFTWARE\\Vistrel", kFileExts = kFileExtsKey, kDesktop = L"Control Panel\\Desktop",
                   kCalyra = L"SOFTWARE\\Calyra";

// Where the file-type registration writes this program's open command under the classes root.
const std::wstring kAppKey = [] {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return PlanAssociations(path, L"jpg").strAppKey;
}();

// Every value of the user's that the behaviours below write, in every file type there is.
using Profile = std::vector<std::optional<RawRegValue>>;
Profile UsersOwn()
{
    const HKEY hUser = RealCurrentUser();
    Profile profile;
    auto read = [&profile](HKEY root, const std::wstring& key, std::initializer_list<const wchar_t*> names) {
        for (const wchar_t* name : names)
            profile.push_back(ReadRawValue(root, key, name));
    };
    read(hUser, kSettings, {L"Interpolation", L"Extensions"});
    read(hUser, kDesktop, {L"WallpaperStyle", L"TileWallpaper"});
    read(hUser, kCalyra, {L"CalWallpaper", L"CalBkgImgFit", L"CalBkgImgRetainRatio", L"CalBkgImgFile"});
    for (const std::wstring& type : SubkeyNames(hUser, kFileExts.c_str())) {
        read(hUser, kFileExts + L"\\" + type, {L"ProgID", L"Application"});
        read(hUser, kFileExts + L"\\" + type + L"\\UserChoice", {L"Progid"});
    }
    read(hUser, L"Software\\Classes\\" + kAppKey, {nullptr});
    read(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + kAppKey, {nullptr});
    return profile;
}

RawRegValue Text(const std::wstring& text)
{
    const auto* p = reinterpret_cast<const BYTE*>(text.c_str());
    return {REG_SZ, std::vector<BYTE>(p, p + (text.size() + 1) * sizeof(wchar_t))};
}

// Seeds values where the user has none of their own, and takes back exactly what it added:
// its values, then the keys it made, deepest first.
class ProfileSeed {
public:
    ~ProfileSeed()
    {
        for (auto it = m_values.rbegin(); it != m_values.rend(); ++it)
            WriteRawValue(RealCurrentUser(), it->first, it->second, std::nullopt);
        for (auto it = m_keys.rbegin(); it != m_keys.rend(); ++it)
            ::RegDeleteKeyW(RealCurrentUser(), it->c_str());
    }
    void Value(const std::wstring& key, const wchar_t* name, const RawRegValue& value)
    {
        for (size_t end = key.find(L'\\');; end = key.find(L'\\', end + 1)) {
            HKEY hKey = nullptr;
            if (::RegOpenKeyExW(RealCurrentUser(), key.substr(0, end).c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS)
                ::RegCloseKey(hKey);
            else
                m_keys.push_back(key.substr(0, end));
            if (end == std::wstring::npos)
                break;
        }
        if (ReadRawValue(RealCurrentUser(), key, name))
            return;  // the user's own stays as it is
        WriteRawValue(RealCurrentUser(), key, name, value);
        m_values.emplace_back(key, name);
    }

private:
    std::vector<std::wstring> m_keys;
    std::vector<std::pair<std::wstring, const wchar_t*>> m_values;
};

std::wstring g_appData;
HRESULT WINAPI ScratchAppData(HWND, int, HANDLE, DWORD, LPWSTR path)
{
    wcscpy_s(path, MAX_PATH, g_appData.c_str());
    return S_OK;
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
    const Profile original = UsersOwn();
    {
        ProfileSeed seed;
        seed.Value(kSettings, L"Interpolation", RawRegValue{REG_DWORD, {5, 0, 0, 0}});
        seed.Value(kSettings, L"Extensions", Text(L"png,webp"));
        seed.Value(kFileExts + L"\\.jpg", L"ProgID", Text(L"someviewer.jpg"));
        seed.Value(kDesktop, L"WallpaperStyle", Text(L"10"));
        seed.Value(kDesktop, L"TileWallpaper", Text(L"0"));
        seed.Value(kCalyra, L"CalBkgImgFile", Text(L"C:\\mine.bmp"));
        const Profile seeded = UsersOwn();
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
            const CommandLineFn pfnCommandLine =
                std::exchange(g_pfnCommandLine, [] { return std::vector<std::wstring>{L"vistrel.exe", L"/regext"}; });
            AfxWinMain(theApp);
            g_pfnCommandLine = pfnCommandLine;

            // Every behaviour did write, into the scratch keys.
            for (const auto& [key, name] : {std::pair{kSettings, L"Interpolation"}, {kSettings, L"Extensions"},
                                            {kFileExts + L"\\.jpg", L"Application"}, {kDesktop, L"WallpaperStyle"}})
                EXPECT_TRUE(ReadRawValue(HKEY_CURRENT_USER, key, name).has_value()) << key;
            EXPECT_TRUE(ReadRawValue(HKEY_CLASSES_ROOT, kAppKey, nullptr).has_value());
        }
        EXPECT_TRUE(UsersOwn() == seeded);
        EXPECT_EQ(CurrentWallpaper(), wallpaper);
    }
    EXPECT_TRUE(UsersOwn() == original);
}
