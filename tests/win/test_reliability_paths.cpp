// Paths that break careless code: CJK names, emoji written with surrogate pairs, combining
// marks, spaces, a leading '-', names of 250 characters (in a short folder and past MAX_PATH),
// files that vanish or change between the rescan and the step, and an application-data folder
// that can't be written for the wallpaper. (A folder of 100,000 files is the end-to-end test
// big_folder: only the shell makes one fast enough under Wine.)
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/vistrel_app.h"
#include "feedback/tag_wnd.h"
#include "images/ahead/read_ahead.h"
#include "images/folder/file_order.h"
#include "integration/background.h"
#include "res/resource.h"
#include "tests/reliability/win_reliability.h"

namespace {

using namespace reliability;

const std::vector<std::wstring> kOddNames = {
    L"\u56FE\u7247\u4E00.png",                    // 图片一
    L"\xD83D\xDE00 smile.png",                    // U+1F600 as a surrogate pair
    L"\xD83C\xDF08\xD83D\xDE00.jpg",              // two of them and nothing else
    L"e\x0301te\x0301.bmp",                       // é written as e + combining acute
    L"E\x0301TE\x0301 upper.bmp",
    L"with  two spaces.png",
    L" leading space.png",
    L"-dash.png",
    L"--regext.png",
    L"a.b.c.png",
    std::wstring(80, L'\u6587') + L".png",       // 80 CJK characters, 240 bytes as UTF-8
};

std::wstring Title(const std::wstring& name)
{
    return name + L" - Vistrel";
}

class ReliabilityPaths : public MainFrameTest {
protected:
    void TearDown() override
    {
        g_pfnGetFolderPath = &::SHGetFolderPathW;
        MainFrameTest::TearDown();
    }

    // Writes small pictures of distinct sizes under the names; false if any can't be made.
    static bool WritePictures(const std::wstring& folder, const std::vector<std::wstring>& names)
    {
        int i = 0;
        for (const std::wstring& name : names) {
            const wchar_t* mime = name.ends_with(L".jpg") ? L"image/jpeg" : name.ends_with(L".bmp") ? L"image/bmp" : L"image/png";
            if (!WriteSolidPicture(folder + name, 30 + i, 20 + i, Gdiplus::Color(20, 40, 200), mime))
                return false;
            ++i;
        }
        return true;
    }

    // Steps through the whole list once; the names shown, each checked against its title.
    std::vector<std::wstring> RoundOfNames()
    {
        std::vector<std::wstring> shown;
        const std::wstring start = m_frame->m_strFileName;
        for (size_t i = 0; i <= m_frame->m_listFiles.size(); ++i) {
            Command(ID_FILE_NEXT);
            shown.push_back(m_frame->m_strFileName);
            EXPECT_EQ(m_frame->GetWindowText(), Title(m_frame->m_strFileName));
            EXPECT_EQ(m_frame->m_strInfo.rfind(m_frame->m_strFileName + L" (", 0), 0u) << m_frame->m_strInfo;
            if (m_frame->m_strFileName == start)
                break;
        }
        return shown;
    }
};

TEST_F(ReliabilityPaths, OddNamesAreListedInOrderShownAndTitledExactly)
{
    const std::wstring folder = MakeScratchFolder(L"rel-names");
    ASSERT_TRUE(WritePictures(folder, kOddNames));
    std::vector<std::wstring> sorted = kOddNames;
    std::sort(sorted.begin(), sorted.end(), [](const std::wstring& a, const std::wstring& b) { return FileNameLess(a, b); });

    ASSERT_TRUE(m_frame->OpenFile(folder + sorted.front()));
    PumpMessages();
    ASSERT_EQ(std::vector<std::wstring>(m_frame->m_listFiles.begin(), m_frame->m_listFiles.end()), sorted);
    EXPECT_TRUE(m_frame->m_itCurrent == m_frame->m_listFiles.begin());

    const std::vector<std::wstring> shown = RoundOfNames();
    std::vector<std::wstring> expected(sorted.begin() + 1, sorted.end());
    expected.push_back(sorted.front());
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(m_frame->m_listFiles.size(), kOddNames.size());
    ExpectSaneView(*m_frame, "after the round");
}

TEST_F(ReliabilityPaths, StartUpOpensAFullPathWhateverItsNameLooksLike)
{
    const std::wstring folder = MakeScratchFolder(L"rel-startup");
    ASSERT_TRUE(WritePictures(folder, kOddNames));
    for (const std::wstring& name : {std::wstring(L"-dash.png"), std::wstring(L"--regext.png"),
                                     std::wstring(L"\xD83D\xDE00 smile.png"), std::wstring(L" leading space.png")}) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        // The shell passes the full path, which begins with the drive, never with '-'.
        const CommandLineChoice choice = ScanCommandLine({L"vistrel.exe", folder + name});
        EXPECT_FALSE(choice.bRegister);
        ASSERT_EQ(choice.strFile, folder + name);
        theApp.m_strFile = choice.strFile;
        ::SendMessageW(m_hWnd, WM_SCAN_FOLDER, SCAN_STARTUP, 0);
        PumpMessages();
        EXPECT_EQ(m_frame->m_strFileName, name);
        EXPECT_EQ(m_frame->GetWindowText(), Title(name));
        EXPECT_EQ(m_frame->m_strFolder, folder);
        ASSERT_FALSE(m_frame->m_listFiles.empty());
        EXPECT_TRUE(m_frame->m_itCurrent != m_frame->m_listFiles.end());
    }
    theApp.m_strFile.clear();
    // A bare name with a leading '-' is a switch, as the command-line rules say.
    EXPECT_EQ(ScanCommandLine({L"vistrel.exe", L"-dash.png"}).strFile, L"");
}

TEST_F(ReliabilityPaths, NamesOf250CharactersLoadInAShortFolderAndNeverBreakALongOne)
{
    const std::wstring name = std::wstring(246, L'n') + L".png";
    ASSERT_EQ(name.size(), 250u);

    // C:\vrel\ + 250 characters stays within MAX_PATH.
    const std::wstring shortFolder = L"C:\\vrel\\";
    ::CreateDirectoryW(shortFolder.c_str(), nullptr);
    ::DeleteFileW((shortFolder + name).c_str());
    ::DeleteFileW((shortFolder + L"a.png").c_str());
    ASSERT_TRUE(WritePictures(shortFolder, {L"a.png", name}));
    ASSERT_TRUE(m_frame->OpenFile(shortFolder + L"a.png"));
    PumpMessages();
    Command(ID_FILE_NEXT);
    EXPECT_EQ(m_frame->m_strFileName, name);
    EXPECT_EQ(m_frame->GetWindowText(), Title(name));
    ExpectSaneView(*m_frame, "a long name");
    PumpMessages(50);

    // Past MAX_PATH the system may or may not open it: either way the walk agrees with the
    // decoder and nothing else happens.
    const std::wstring deep = MakeScratchFolder(L"rel-long-names-" + std::wstring(20, L'd'));
    if (!WritePictures(deep, {L"a.png", name}))
        GTEST_SKIP() << "the file system refuses paths this long";
    const bool bOpens = Decodes(deep + name);
    ASSERT_TRUE(m_frame->OpenFile(deep + L"a.png"));
    PumpMessages();
    ASSERT_EQ(m_frame->m_listFiles.size(), 2u);
    Command(ID_FILE_NEXT);
    EXPECT_EQ(m_frame->m_strFileName, bOpens ? name : L"a.png");
    EXPECT_EQ(m_frame->m_listFiles.size(), bOpens ? 2u : 1u);
    ExpectSaneView(*m_frame, "a path past MAX_PATH");
    ::DeleteFileW((shortFolder + name).c_str());
}

TEST_F(ReliabilityPaths, FilesThatChangeAfterTheRescanAreSkippedAtTheStep)
{
    const std::wstring folder = MakeScratchFolder(L"rel-vanish");
    ASSERT_TRUE(WritePictures(folder, {L"a.png", L"b.png", L"c.png", L"d.png", L"e.png", L"f.png"}));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    PumpMessages();
    ASSERT_EQ(m_frame->m_listFiles.size(), 6u);

    // Deleted: the step passes over it to the next picture.
    ASSERT_TRUE(::DeleteFileW((folder + L"b.png").c_str()));
    Command(ID_FILE_NEXT);
    EXPECT_EQ(m_frame->m_strFileName, L"c.png");
    // Replaced by text, by a folder, and deleted: all three are dropped on the way round. The
    // worker is let finish first: a file it is reading at the moment of a delete keeps its name
    // until the read ends, so a folder of that name could not be made at once.
    if (m_frame->m_pReadAhead)
        m_frame->m_pReadAhead->WaitUntilIdle();
    ASSERT_TRUE(WriteTextFile(folder + L"d.png", "no longer a picture"));
    ASSERT_TRUE(::DeleteFileW((folder + L"e.png").c_str()));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"e.png").c_str(), nullptr));
    ASSERT_TRUE(::DeleteFileW((folder + L"f.png").c_str()));
    Command(ID_FILE_NEXT);
    EXPECT_EQ(m_frame->m_strFileName, L"a.png");
    ASSERT_NE(m_frame->m_pTagWnd, nullptr);
    EXPECT_NE(m_frame->m_pTagWnd->m_strText.find(L"BoF"), std::wstring::npos);
    EXPECT_EQ(std::vector<std::wstring>(m_frame->m_listFiles.begin(), m_frame->m_listFiles.end()),
              (std::vector<std::wstring>{L"a.png", L"c.png"}));
    // A file added since is not seen until the next open.
    ASSERT_TRUE(WritePictures(folder, {L"g.png"}));
    Command(ID_FILE_LAST);
    EXPECT_EQ(m_frame->m_strFileName, L"c.png");
    ASSERT_TRUE(m_frame->OpenFile(folder + L"c.png"));
    PumpMessages();
    Command(ID_FILE_LAST);
    EXPECT_EQ(m_frame->m_strFileName, L"g.png");
}

std::wstring g_appData;

HRESULT WINAPI BlockedAppData(HWND, int, HANDLE, DWORD, LPWSTR path)
{
    wcscpy_s(path, MAX_PATH, g_appData.c_str());
    return S_OK;
}

std::optional<std::wstring> ReadString(HKEY root, const wchar_t* key, const wchar_t* name)
{
    wchar_t buffer[512] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return std::nullopt;
    const LONG status = ::RegQueryValueExW(hKey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes);
    ::RegCloseKey(hKey);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

void WriteString(HKEY root, const wchar_t* key, const wchar_t* name, const std::optional<std::wstring>& value)
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return;
    if (value)
        ::RegSetValueExW(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                         static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    else
        ::RegDeleteValueW(hKey, name);
    ::RegCloseKey(hKey);
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (std::wstring(fd.cFileName) != L"." && std::wstring(fd.cFileName) != L"..")
            names.push_back(fd.cFileName);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(ReliabilityPaths, AnApplicationDataFolderThatCantBeWrittenGetsNothingAndRegistersNothing)
{
    // "Vistrel" is taken by a file, so the program's folder can't be made and both saves fail.
    const std::wstring folder = MakeScratchFolder(L"rel-appdata-blocked");
    ASSERT_TRUE(WritePictures(folder, {L"p.png"}));
    g_appData = folder + L"appdata";
    ASSERT_TRUE(::CreateDirectoryW(g_appData.c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(g_appData + L"\\Vistrel", "a file where the folder would go"));
    g_pfnGetFolderPath = &BlockedAppData;

    const wchar_t* kDesktop = L"Control Panel\\Desktop";
    const auto styleBefore = ReadString(HKEY_CURRENT_USER, kDesktop, L"WallpaperStyle");
    const auto tileBefore = ReadString(HKEY_CURRENT_USER, kDesktop, L"TileWallpaper");
    const std::wstring wallpaperBefore = CurrentWallpaper();
    WriteString(HKEY_CURRENT_USER, kDesktop, L"WallpaperStyle", L"7");
    WriteString(HKEY_CURRENT_USER, kDesktop, L"TileWallpaper", L"9");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Calyra");
    WriteString(HKEY_CURRENT_USER, L"SOFTWARE\\Calyra", L"CalBkgImgFile", L"untouched");
    const bool bRootFileBefore = FileExists(L"C:\\Vistrel Wallpaper.bmp") || FileExists(L"C:\\Vistrel Calendar.bmp");

    ASSERT_TRUE(m_frame->OpenFile(folder + L"p.png"));
    Command(ID_TOOLS_SET_WALLPAPER);
    Command(ID_TOOLS_SET_CALENDAR_BKG);

    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kDesktop, L"WallpaperStyle"), L"7");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kDesktop, L"TileWallpaper"), L"9");
    EXPECT_EQ(CurrentWallpaper(), wallpaperBefore);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, L"SOFTWARE\\Calyra", L"CalBkgImgFile"), L"untouched");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, L"SOFTWARE\\Calyra", L"CalWallpaper"), std::nullopt);
    EXPECT_EQ(FolderEntries(g_appData + L"\\"), std::vector<std::wstring>{L"Vistrel"});
    EXPECT_TRUE(FileExists(g_appData + L"\\Vistrel"));
    if (!bRootFileBefore) {
        EXPECT_FALSE(FileExists(L"C:\\Vistrel Wallpaper.bmp"));
        EXPECT_FALSE(FileExists(L"C:\\Vistrel Calendar.bmp"));
    }
    EXPECT_EQ(m_frame->m_strFileName, L"p.png");
    EXPECT_TRUE(Responds(m_hWnd));

    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Calyra");
    WriteString(HKEY_CURRENT_USER, kDesktop, L"WallpaperStyle", styleBefore);
    WriteString(HKEY_CURRENT_USER, kDesktop, L"TileWallpaper", tileBefore);
}

}  // namespace
