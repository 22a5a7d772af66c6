// Wallpaper, calendar background and file properties on a real main window:
// the screen size and the application-data folder come through the seams,
// the bitmap is read back from disk and the values from the prefix's registry.
#include <windows.h>
#include <shlobj.h>

#include "framework/gdiplus_sdk.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "integration/background.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

using Gdiplus::Color;

const Color kRed(255, 0, 0);
const Color kGreen(0, 255, 0);
const Color kBlue(0, 0, 255);
const Color kYellow(255, 255, 0);

int g_screenWidth = 1280;
int g_screenHeight = 1024;
std::wstring g_appData;
bool g_appDataFails = false;

int WINAPI FakeSystemMetrics(int nIndex)
{
    if (nIndex == SM_CXSCREEN)
        return g_screenWidth;
    if (nIndex == SM_CYSCREEN)
        return g_screenHeight;
    return ::GetSystemMetrics(nIndex);
}

HRESULT WINAPI FakeFolderPath(HWND, int csidl, HANDLE, DWORD flags, LPWSTR path)
{
    EXPECT_EQ(csidl, CSIDL_APPDATA | CSIDL_FLAG_CREATE);
    EXPECT_EQ(flags, static_cast<DWORD>(SHGFP_TYPE_CURRENT));
    if (g_appDataFails)
        return E_FAIL;
    wcscpy_s(path, MAX_PATH, g_appData.c_str());
    return S_OK;
}

struct PropertiesCall {
    int nCalls = 0;
    HWND hWnd = nullptr;
    DWORD type = 0;
    std::wstring object;
    bool bPageGiven = true;
};
PropertiesCall g_properties;

BOOL WINAPI RecordObjectProperties(HWND hWnd, DWORD type, PCWSTR object, PCWSTR page)
{
    ++g_properties.nCalls;
    g_properties.hWnd = hWnd;
    g_properties.type = type;
    g_properties.object = object ? object : L"";
    g_properties.bPageGiven = page != nullptr;
    return TRUE;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct Saved {
    int width = 0;
    int height = 0;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    Color At(int x, int y) const
    {
        Color c;
        bitmap->GetPixel(x, y, &c);
        return c;
    }
};

// The saved bitmap, read into memory so the file is not held open.
std::optional<Saved> ReadSaved(const std::wstring& path)
{
    if (!FileExists(path))
        return std::nullopt;
    Gdiplus::Bitmap file(path.c_str());
    if (file.GetLastStatus() != Gdiplus::Ok)
        return std::nullopt;
    Saved saved;
    saved.width = static_cast<int>(file.GetWidth());
    saved.height = static_cast<int>(file.GetHeight());
    saved.bitmap.reset(file.Clone(0, 0, saved.width, saved.height, PixelFormat24bppRGB));
    return saved;
}

bool Near(const Color& a, const Color& b, int tolerance = 40)
{
    return std::abs(a.GetR() - b.GetR()) <= tolerance && std::abs(a.GetG() - b.GetG()) <= tolerance &&
           std::abs(a.GetB() - b.GetB()) <= tolerance;
}

struct RegValue {
    DWORD type = 0;
    DWORD bytes = 0;
    std::wstring text;
    DWORD number = 0;
};

std::optional<RegValue> ReadValue(const wchar_t* key, const wchar_t* name)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t buffer[1024] = {};
    RegValue v;
    v.bytes = sizeof(buffer) - sizeof(wchar_t);
    const LONG status =
        ::RegQueryValueExW(hKey, name, nullptr, &v.type, reinterpret_cast<BYTE*>(buffer), &v.bytes);
    ::RegCloseKey(hKey);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    v.text = buffer;
    if (v.type == REG_DWORD)
        std::memcpy(&v.number, buffer, sizeof(v.number));
    return v;
}

void DeleteValue(const wchar_t* key, const wchar_t* name)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_WRITE, &hKey) == ERROR_SUCCESS) {
        ::RegDeleteValueW(hKey, name);
        ::RegCloseKey(hKey);
    }
}

bool KeyExists(const wchar_t* key)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

constexpr const wchar_t* kDesktop = L"Control Panel\\Desktop";
constexpr const wchar_t* kCalyra = L"SOFTWARE\\Calyra";

class Background : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::wstring name(test.begin(), test.end());
        m_scratch = MakeScratchFolder(L"background-" + name);
        g_appData = m_scratch + L"AppData";
        g_appDataFails = false;
        m_folder = g_appData + L"\\Vistrel\\";
        m_wallpaper = m_folder + L"Vistrel Wallpaper.bmp";
        m_calendar = m_folder + L"Vistrel Calendar.bmp";
        g_pfnGetSystemMetrics = &FakeSystemMetrics;
        g_pfnGetFolderPath = &FakeFolderPath;
        g_properties = PropertiesCall{};
        g_pfnObjectProperties = &RecordObjectProperties;
        DeleteValue(kDesktop, L"WallpaperStyle");
        DeleteValue(kDesktop, L"TileWallpaper");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kCalyra);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kCalyra);
    }
    void TearDown() override
    {
        g_pfnGetSystemMetrics = &::GetSystemMetrics;
        g_pfnGetFolderPath = &::SHGetFolderPathW;
        g_pfnObjectProperties = nullptr;
        MainFrameTest::TearDown();
    }

    void Screen(int cx, int cy)
    {
        g_screenWidth = cx;
        g_screenHeight = cy;
    }

    // A picture of vertical bands: colour i runs from edges[i] to edges[i + 1].
    void GiveBands(int width, int height, std::initializer_list<std::pair<int, Color>> bands)
    {
        auto* bitmap = new Gdiplus::Bitmap(width, height, PixelFormat24bppRGB);
        {
            Gdiplus::Graphics g(bitmap);
            for (const auto& [from, colour] : bands) {
                Gdiplus::SolidBrush brush(colour);
                g.FillRectangle(&brush, from, 0, width - from, height);
            }
        }
        Give(bitmap);
    }

    // A picture of horizontal bands, painted top first.
    void GiveRows(int width, int height, std::initializer_list<std::pair<int, Color>> rows)
    {
        auto* bitmap = new Gdiplus::Bitmap(width, height, PixelFormat24bppRGB);
        {
            Gdiplus::Graphics g(bitmap);
            for (const auto& [from, colour] : rows) {
                Gdiplus::SolidBrush brush(colour);
                g.FillRectangle(&brush, 0, from, width, height - from);
            }
        }
        Give(bitmap);
    }

    void Give(Gdiplus::Bitmap* bitmap)
    {
        m_frame->m_pImage = bitmap;
        m_frame->m_sizeImage = CSize(static_cast<int32_t>(bitmap->GetWidth()), static_cast<int32_t>(bitmap->GetHeight()));
        m_frame->m_nFrameCount = 1;
        m_frame->m_strFolder = m_scratch;
        m_frame->m_strFileName = L"picture.png";
    }

    bool Enabled(UINT nID)
    {
        CCmdUI state;
        state.m_nID = nID;
        state.DoUpdate(m_frame, true);
        return state.m_bEnabled;
    }

    std::wstring m_scratch, m_folder, m_wallpaper, m_calendar;
};

TEST_F(Background, WiderPictureIsCroppedAtTheSidesAndShrunkToTheScreen)
{
    Screen(1280, 1024);
    // 3000 x 2000: the crop is (250, 0, 2500, 2000), drawn onto 1280 x 1024.
    GiveBands(3000, 2000, {{0, kRed}, {250, kGreen}, {1500, kYellow}, {2750, kBlue}});
    Gdiplus::Bitmap* picture = m_frame->m_pImage;
    Command(ID_TOOLS_SET_WALLPAPER);

    const auto saved = ReadSaved(m_wallpaper);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->width, 1280);
    EXPECT_EQ(saved->height, 1024);
    for (int y : {2, 512, 1021}) {
        EXPECT_TRUE(Near(saved->At(3, y), kGreen)) << y;
        EXPECT_TRUE(Near(saved->At(630, y), kGreen)) << y;
        EXPECT_TRUE(Near(saved->At(650, y), kYellow)) << y;
        EXPECT_TRUE(Near(saved->At(1276, y), kYellow)) << y;
    }
    // The picture itself is left as it was.
    EXPECT_EQ(m_frame->m_pImage, picture);
    EXPECT_EQ(picture->GetWidth(), 3000u);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(3000, 2000));
}

TEST_F(Background, SquarePictureKeepsItsTopAtItsOwnWidth)
{
    Screen(1024, 768);
    GiveRows(1000, 1000, {{0, kGreen}, {750, kRed}});
    Command(ID_TOOLS_SET_WALLPAPER);

    const auto saved = ReadSaved(m_wallpaper);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->width, 1000);
    EXPECT_EQ(saved->height, 750);
    EXPECT_TRUE(Near(saved->At(0, 0), kGreen, 0));
    EXPECT_TRUE(Near(saved->At(999, 749), kGreen, 0));
}

TEST_F(Background, PortraitPictureKeepsItsTop)
{
    Screen(1280, 1024);
    GiveRows(600, 800, {{0, kGreen}, {480, kRed}});
    Command(ID_TOOLS_SET_WALLPAPER);

    const auto saved = ReadSaved(m_wallpaper);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->width, 600);
    EXPECT_EQ(saved->height, 480);
    EXPECT_TRUE(Near(saved->At(300, 479), kGreen, 0));
}

TEST_F(Background, OddSideStripGoesToTheRight)
{
    Screen(1280, 1024);
    // 1101 x 800: w = 1000, x = 50; 50 columns go on the left and 51 on the right.
    GiveBands(1101, 800, {{0, kRed}, {50, kGreen}, {1050, kBlue}});
    Command(ID_TOOLS_SET_WALLPAPER);

    const auto saved = ReadSaved(m_wallpaper);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->width, 1000);
    EXPECT_EQ(saved->height, 800);
    EXPECT_TRUE(Near(saved->At(0, 400), kGreen, 0));
    EXPECT_TRUE(Near(saved->At(999, 400), kGreen, 0));
}

TEST_F(Background, PictureOfTheScreensShapeIsSavedWholeAndNeverEnlarged)
{
    Screen(1024, 768);
    GiveBands(1024, 768, {{0, kRed}, {512, kBlue}});
    Command(ID_TOOLS_SET_WALLPAPER);
    auto saved = ReadSaved(m_wallpaper);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->width, 1024);
    EXPECT_EQ(saved->height, 768);
    EXPECT_TRUE(Near(saved->At(511, 0), kRed, 0));
    EXPECT_TRUE(Near(saved->At(512, 767), kBlue, 0));

    Screen(1600, 1200);
    delete m_frame->m_pImage;
    m_frame->m_pImage = nullptr;
    GiveBands(800, 600, {{0, kGreen}});
    Command(ID_TOOLS_SET_WALLPAPER);
    saved = ReadSaved(m_wallpaper);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->width, 800);
    EXPECT_EQ(saved->height, 600);
}

TEST_F(Background, CropOfNoHeightSavesAndRegistersNothing)
{
    Screen(1280, 1024);
    GiveBands(1, 1000, {{0, kGreen}});
    const std::wstring before = CurrentWallpaper();
    Command(ID_TOOLS_SET_WALLPAPER);
    EXPECT_FALSE(FileExists(m_wallpaper));
    EXPECT_FALSE(ReadValue(kDesktop, L"WallpaperStyle").has_value());
    EXPECT_EQ(CurrentWallpaper(), before);
}

TEST_F(Background, DesktopGetsStretchedStyleThenTheWallpaper)
{
    Screen(1280, 1024);
    GiveBands(640, 512, {{0, kGreen}});
    Command(ID_TOOLS_SET_WALLPAPER);

    EXPECT_TRUE(FileExists(m_wallpaper));
    const auto style = ReadValue(kDesktop, L"WallpaperStyle");
    ASSERT_TRUE(style.has_value());
    EXPECT_EQ(style->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(style->text, L"2");
    EXPECT_EQ(style->bytes, 4u);
    const auto tile = ReadValue(kDesktop, L"TileWallpaper");
    ASSERT_TRUE(tile.has_value());
    EXPECT_EQ(tile->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(tile->text, L"0");
    EXPECT_EQ(tile->bytes, 4u);
    EXPECT_EQ(CurrentWallpaper(), m_wallpaper);
    EXPECT_FALSE(FileExists(m_calendar));
}

TEST_F(Background, CalendarWithoutCalyraLeavesTheFileAndNoValues)
{
    Screen(1280, 1024);
    GiveBands(640, 512, {{0, kGreen}});
    const std::wstring before = CurrentWallpaper();
    Command(ID_TOOLS_SET_CALENDAR_BKG);

    EXPECT_TRUE(FileExists(m_calendar));
    EXPECT_FALSE(KeyExists(kCalyra));  // only ever opened, never created
    EXPECT_FALSE(ReadValue(kDesktop, L"WallpaperStyle").has_value());
    EXPECT_EQ(CurrentWallpaper(), before);
}

TEST_F(Background, CalendarWithCalyraGetsItsFourValues)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kCalyra, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    Screen(1280, 1024);
    GiveBands(640, 512, {{0, kGreen}});
    Command(ID_TOOLS_SET_CALENDAR_BKG);

    EXPECT_TRUE(FileExists(m_calendar));
    for (const wchar_t* name : {L"CalWallpaper", L"CalBkgImgFit", L"CalBkgImgRetainRatio"}) {
        const auto v = ReadValue(kCalyra, name);
        ASSERT_TRUE(v.has_value()) << name;
        EXPECT_EQ(v->type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(v->bytes, 4u) << name;
        EXPECT_EQ(v->number, 1u) << name;
    }
    const auto file = ReadValue(kCalyra, L"CalBkgImgFile");
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(file->text, m_calendar);
    EXPECT_EQ(file->bytes, 2 * m_calendar.size() + 2);
    EXPECT_FALSE(ReadValue(kDesktop, L"WallpaperStyle").has_value());
}

TEST_F(Background, FirstNameUnusableGivesTheSecondName)
{
    // A folder squatting on the first name makes its save fail.
    ::CreateDirectoryW(g_appData.c_str(), nullptr);
    ::CreateDirectoryW(m_folder.c_str(), nullptr);
    ASSERT_TRUE(::CreateDirectoryW(m_wallpaper.c_str(), nullptr));
    Screen(1280, 1024);
    GiveBands(640, 512, {{0, kGreen}});
    Command(ID_TOOLS_SET_WALLPAPER);

    const std::wstring second = m_folder + L"Vistrel Wallpaper1.bmp";
    EXPECT_TRUE(FileExists(second));
    EXPECT_EQ(CurrentWallpaper(), second);
}

TEST_F(Background, AppDataEndingInABackslashGetsNoSecondOne)
{
    g_appData += L"\\";
    Screen(1280, 1024);
    GiveBands(640, 512, {{0, kGreen}});
    Command(ID_TOOLS_SET_WALLPAPER);
    EXPECT_EQ(CurrentWallpaper(), m_wallpaper);
    EXPECT_TRUE(FileExists(m_wallpaper));
}

TEST_F(Background, WithoutAppDataTheFileGoesToTheRootOfC)
{
    const std::wstring root = L"c:\\Vistrel Wallpaper.bmp";
    ASSERT_FALSE(FileExists(root)) << "a file of that name is in the way";
    const std::wstring before = CurrentWallpaper();
    g_appDataFails = true;
    Screen(1280, 1024);
    GiveBands(640, 512, {{0, kGreen}});
    Command(ID_TOOLS_SET_WALLPAPER);
    // A standard Windows account may not create files at the root of C:; then nothing is set.
    EXPECT_EQ(CurrentWallpaper(), FileExists(root) ? root : before);
    EXPECT_EQ(::GetFileAttributesW(g_appData.c_str()), INVALID_FILE_ATTRIBUTES);  // nothing created
    ::DeleteFileW(root.c_str());
}

TEST_F(Background, RealAppDataFolderGetsTheProgramsFolder)
{
    g_pfnGetFolderPath = &::SHGetFolderPathW;
    wchar_t appData[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData), S_OK);
    const std::wstring expected = std::wstring(appData) + L"\\Vistrel\\Vistrel Calendar.bmp";
    // The user's own calendar picture, if any, is set aside and put back.
    const std::wstring aside = expected + L".vistrel-tests";
    const bool bHadOne = ::MoveFileExW(expected.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    Screen(1280, 1024);
    GiveBands(640, 512, {{0, kGreen}});
    Command(ID_TOOLS_SET_CALENDAR_BKG);
    EXPECT_TRUE(FileExists(expected));
    if (bHadOne)
        ::MoveFileExW(aside.c_str(), expected.c_str(), MOVEFILE_REPLACE_EXISTING);
    else
        ::DeleteFileW(expected.c_str());
}

TEST_F(Background, CommandsNeedAPicture)
{
    for (UINT id : {ID_TOOLS_SET_WALLPAPER, ID_TOOLS_SET_CALENDAR_BKG, ID_FILE_PROPERTIES, ID_FILE_DELETE_KEY})
        EXPECT_FALSE(Enabled(id)) << id;
    // Even when reached past the rule, nothing is done.
    m_frame->OnSetBackground(ID_TOOLS_SET_WALLPAPER);
    m_frame->OnFileProperties();
    EXPECT_FALSE(FileExists(m_wallpaper));
    EXPECT_EQ(g_properties.nCalls, 0);

    GiveBands(64, 48, {{0, kGreen}});
    for (UINT id : {ID_TOOLS_SET_WALLPAPER, ID_TOOLS_SET_CALENDAR_BKG, ID_FILE_PROPERTIES, ID_FILE_DELETE_KEY})
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(Background, PropertiesShowTheShellSheetOfTheCurrentFile)
{
    GiveBands(64, 48, {{0, kGreen}});
    Command(ID_FILE_PROPERTIES);
    EXPECT_EQ(g_properties.nCalls, 1);
    EXPECT_EQ(g_properties.hWnd, m_hWnd);
    EXPECT_EQ(g_properties.type, static_cast<DWORD>(SHOP_FILEPATH));
    EXPECT_EQ(g_properties.object, m_scratch + L"picture.png");
    EXPECT_FALSE(g_properties.bPageGiven);

    // The Delete key shares the rule but has no command behind it.
    Command(ID_FILE_DELETE_KEY);
    EXPECT_EQ(g_properties.nCalls, 1);
}

TEST(EncoderLookup, FindsTheBitmapEncoderByItsExactMimeType)
{
    GdiplusSession gdiplus;
    UINT count = 0, size = 0;
    ASSERT_EQ(Gdiplus::GetImageEncodersSize(&count, &size), Gdiplus::Ok);
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[size]);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    ASSERT_EQ(Gdiplus::GetImageEncoders(count, size, codecs), Gdiplus::Ok);

    CLSID clsid{};
    const int bmp = FindEncoderByMime(L"image/bmp", &clsid);
    ASSERT_GE(bmp, 0);
    ASSERT_LT(bmp, static_cast<int>(count));
    EXPECT_STREQ(codecs[bmp].MimeType, L"image/bmp");
    EXPECT_TRUE(IsEqualCLSID(clsid, codecs[bmp].Clsid));

    const int png = FindEncoderByMime(L"image/png", &clsid);
    ASSERT_GE(png, 0);
    EXPECT_NE(png, bmp);
    EXPECT_TRUE(IsEqualCLSID(clsid, codecs[png].Clsid));

    // No match: -1 and the CLSID untouched.
    const CLSID before = clsid;
    EXPECT_EQ(FindEncoderByMime(L"image/BMP", &clsid), -1);
    EXPECT_EQ(FindEncoderByMime(L"image/bm", &clsid), -1);
    EXPECT_TRUE(IsEqualCLSID(clsid, before));
}

}  // namespace
