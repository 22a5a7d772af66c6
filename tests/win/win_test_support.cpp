#include "tests/win/win_test_support.h"

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <memory>

#include "app/vistrel_app.h"
#include "res/resource.h"
#include "tests/reliability/win_files.h"

GdiplusSession::GdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

GdiplusSession::~GdiplusSession()
{
    if (m_token)
        Gdiplus::GdiplusShutdown(m_token);
}

void PumpMessages(DWORD nMilliseconds)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (::GetTickCount() - start >= nMilliseconds)
            break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {

void DeleteTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path + L"\\");
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::wstring MakeScratchFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"vistrel-tests\\";
    ::CreateDirectoryW(root.c_str(), nullptr);
    std::wstring folder = root + name + L"\\";
    DeleteTree(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool WritePicture(const std::wstring& path, int width, int height, Gdiplus::Color (*fn)(int x, int y),
                  const wchar_t* mime)
{
    CLSID clsid;
    if (!reliability::FindEncoderClsid(mime, clsid))
        return false;
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, fn(x, y));
    return bitmap.Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

bool WriteSolidPicture(const std::wstring& path, int width, int height, Gdiplus::Color color, const wchar_t* mime)
{
    CLSID clsid;
    if (!reliability::FindEncoderClsid(mime, clsid))
        return false;
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics g(&bitmap);
        Gdiplus::SolidBrush brush(color);
        g.FillRectangle(&brush, 0, 0, width, height);
    }
    return bitmap.Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

bool WriteTextFile(const std::wstring& path, const std::string& content)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(h);
    return ok && written == content.size();
}

void ResetSettings()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Vistrel");
}

namespace {

constexpr const wchar_t* kSandboxRoot = L"Software\\Vistrel-tests";
constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";

HKEY g_hRealUser = nullptr;
HKEY g_hScratchClasses = nullptr;
std::wstring g_sandboxPath;

// A run that can't redirect the registry must not run at all: its tests would write the
// user's own settings.
[[noreturn]] void RefuseToRun(const char* why, LONG status)
{
    std::fprintf(stderr, "registry sandbox: %s (error %ld); no test was run\n", why, static_cast<long>(status));
    std::fflush(stderr);
    ::ExitProcess(3);
}

// The key the file-type registration writes under HKEY_CLASSES_ROOT for this program.
std::wstring ProgramClassesKey()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = std::wcsrchr(path, L'\\');
    return std::wstring(L"Applications\\") + (name ? name + 1 : path);
}

constexpr const wchar_t* kMark = L"VistrelTestsMark";

// Writes a mark through `root` and finds it in `scratch`: true when the redirect holds. Where
// it does not, the mark is left for the caller to take out of the real key.
bool RedirectHolds(HKEY root, HKEY scratch)
{
    const RawRegValue mark{REG_DWORD, {1, 0, 0, 0}};
    WriteRawValue(root, L"", kMark, mark);
    if (ReadRawValue(scratch, L"", kMark) != mark)
        return false;
    WriteRawValue(scratch, L"", kMark, std::nullopt);
    return true;
}

// Scratch keys left by runs that ended without cleaning up: their process is gone.
void RemoveAbandonedSandboxes()
{
    const std::vector<std::wstring> names = SubkeyNames(g_hRealUser, kSandboxRoot);
    for (const std::wstring& pid : names) {
        const DWORD id = static_cast<DWORD>(std::wcstoul(pid.c_str(), nullptr, 10));
        if (HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)) {
            ::CloseHandle(h);
            continue;
        }
        if (::GetLastError() != ERROR_INVALID_PARAMETER)  // alive but not ours to open
            continue;
        const std::wstring path = std::wstring(kSandboxRoot) + L"\\" + pid;
        ::RegDeleteTreeW(g_hRealUser, path.c_str());
        ::RegDeleteKeyW(g_hRealUser, path.c_str());
    }
}

HKEY CreateScratchKey(const std::wstring& path)
{
    HKEY hKey = nullptr;
    const LONG status = ::RegCreateKeyExW(g_hRealUser, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
    if (status != ERROR_SUCCESS)
        RefuseToRun("can't make the scratch key", status);
    return hKey;
}

class RegistrySandbox : public ::testing::Environment {
public:
    void SetUp() override
    {
        // A handle of its own on the user's key: the predefined one follows the redirect.
        LONG status = ::RegOpenCurrentUser(KEY_ALL_ACCESS, &g_hRealUser);
        if (status != ERROR_SUCCESS || g_hRealUser == HKEY_CURRENT_USER)
            RefuseToRun("can't open the user's own key", status);
        RemoveAbandonedSandboxes();
        g_sandboxPath = std::wstring(kSandboxRoot) + L"\\" + std::to_wstring(::GetCurrentProcessId());
        ::RegDeleteTreeW(g_hRealUser, g_sandboxPath.c_str());
        m_hUser = CreateScratchKey(g_sandboxPath + L"\\HKCU");
        g_hScratchClasses = CreateScratchKey(g_sandboxPath + L"\\HKCR");
        m_bClassesKeyBefore = KeyExists(HKEY_CLASSES_ROOT, ProgramClassesKey());
        status = ::RegOverridePredefKey(HKEY_CURRENT_USER, m_hUser);
        if (status != ERROR_SUCCESS) {
            TearDown();
            RefuseToRun("can't redirect HKEY_CURRENT_USER", status);
        }
        // Proof that the root now lands in the scratch, before any test writes through it.
        if (!RedirectHolds(HKEY_CURRENT_USER, m_hUser)) {
            WriteRawValue(g_hRealUser, L"", kMark, std::nullopt);
            TearDown();
            RefuseToRun("the redirect of HKEY_CURRENT_USER did not take", ERROR_SUCCESS);
        }
    }

    void TearDown() override
    {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        for (HKEY* p : {&m_hUser, &g_hScratchClasses}) {
            if (*p)
                ::RegCloseKey(*p);
            *p = nullptr;
        }
        const std::wstring classesKey = ProgramClassesKey();
        if (!m_bClassesKeyBefore && KeyExists(HKEY_CLASSES_ROOT, classesKey)) {
            ADD_FAILURE() << "a test registered the program in the real classes root outside ClassesRootRedirect";
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, classesKey.c_str());
            ::RegDeleteKeyW(HKEY_CLASSES_ROOT, classesKey.c_str());
        }
        if (g_hRealUser) {
            ::RegDeleteTreeW(g_hRealUser, g_sandboxPath.c_str());
            ::RegDeleteKeyW(g_hRealUser, g_sandboxPath.c_str());
            ::RegDeleteKeyW(g_hRealUser, kSandboxRoot);  // only when no other run is using it
            ::RegCloseKey(g_hRealUser);
            g_hRealUser = nullptr;
        }
    }

private:
    HKEY m_hUser = nullptr;
    bool m_bClassesKeyBefore = false;
};

// The desktop wallpaper, its style and its tiling as the run found them, put back at its end
// should a test have been stopped before its own guard could.
class WallpaperSafetyNet : public ::testing::Environment {
public:
    void SetUp() override { m_guard = std::make_unique<WallpaperGuard>(); }
    void TearDown() override { m_guard.reset(); }

private:
    std::unique_ptr<WallpaperGuard> m_guard;
};

// Registered before the tests run; the sandbox first, so it is torn down last.
[[maybe_unused]] ::testing::Environment* const g_registrySandbox =
    ::testing::AddGlobalTestEnvironment(new RegistrySandbox);
[[maybe_unused]] ::testing::Environment* const g_wallpaperSafetyNet =
    ::testing::AddGlobalTestEnvironment(new WallpaperSafetyNet);

}  // namespace

ClassesRootRedirect::ClassesRootRedirect()
{
    const LONG status = g_hScratchClasses ? ::RegOverridePredefKey(HKEY_CLASSES_ROOT, g_hScratchClasses)
                                          : ERROR_INVALID_HANDLE;
    if (status != ERROR_SUCCESS)
        RefuseToRun("can't redirect HKEY_CLASSES_ROOT", status);
    if (!RedirectHolds(HKEY_CLASSES_ROOT, g_hScratchClasses)) {
        ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        WriteRawValue(HKEY_CLASSES_ROOT, L"", kMark, std::nullopt);
        RefuseToRun("the redirect of HKEY_CLASSES_ROOT did not take", ERROR_SUCCESS);
    }
}

ClassesRootRedirect::~ClassesRootRedirect()
{
    ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
}

HKEY RealCurrentUser()
{
    return g_hRealUser;
}

std::wstring RegistrySandboxPath()
{
    return g_sandboxPath;
}

std::optional<RawRegValue> ReadRawValue(HKEY root, const std::wstring& key, const wchar_t* name)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return std::nullopt;
    RawRegValue v;
    DWORD bytes = 0;
    LONG status = ::RegQueryValueExW(hKey, name, nullptr, &v.type, nullptr, &bytes);
    if (status == ERROR_SUCCESS) {
        v.data.resize(bytes);
        status = ::RegQueryValueExW(hKey, name, nullptr, &v.type, v.data.data(), &bytes);
        v.data.resize(bytes);
    }
    ::RegCloseKey(hKey);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return v;
}

void WriteRawValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::optional<RawRegValue>& value)
{
    HKEY hKey = nullptr;
    if (value) {
        if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
            return;
        ::RegSetValueExW(hKey, name, 0, value->type, value->data.data(), static_cast<DWORD>(value->data.size()));
    } else {
        if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_WRITE, &hKey) != ERROR_SUCCESS)
            return;
        ::RegDeleteValueW(hKey, name);
    }
    ::RegCloseKey(hKey);
}

std::wstring CurrentWallpaper()
{
    wchar_t path[MAX_PATH] = {};
    ::SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
    return path;
}

WallpaperGuard::WallpaperGuard()
    : m_wallpaper(CurrentWallpaper()),
      m_style(ReadRawValue(RealCurrentUser(), kDesktopKey, L"WallpaperStyle")),
      m_tile(ReadRawValue(RealCurrentUser(), kDesktopKey, L"TileWallpaper"))
{
}

WallpaperGuard::~WallpaperGuard()
{
    const HKEY hUser = RealCurrentUser();
    // The style first: the system reads it when the wallpaper is set again.
    if (ReadRawValue(hUser, kDesktopKey, L"WallpaperStyle") != m_style)
        WriteRawValue(hUser, kDesktopKey, L"WallpaperStyle", m_style);
    if (ReadRawValue(hUser, kDesktopKey, L"TileWallpaper") != m_tile)
        WriteRawValue(hUser, kDesktopKey, L"TileWallpaper", m_tile);
    if (CurrentWallpaper() != m_wallpaper)
        ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(m_wallpaper.c_str()),
                                SPIF_UPDATEINIFILE);
}

COLORREF ReadWindowPixel(HWND hWnd, int x, int y)
{
    HDC dc = ::GetDC(hWnd);
    const COLORREF color = ::GetPixel(dc, x, y);
    ::ReleaseDC(hWnd, dc);
    return color;
}

void MainFrameTest::SetUp()
{
    ResetSettings();
    theApp.m_strFile.clear();
    m_frame = new CMainFrame;
    theApp.m_pMainWnd = m_frame;
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_POPUP, nullptr, nullptr));
    m_hWnd = m_frame->m_hWnd;
    PumpMessages();
}

void MainFrameTest::TearDown()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);  // the frame deletes itself
    m_frame = nullptr;
    theApp.m_pMainWnd = nullptr;
    PumpMessages();
    // Destroying the main window posts WM_QUIT; drop it so the next test's loop runs.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void MainFrameTest::Command(UINT nID)
{
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(nID, 0), 0);
}

bool MainFrameTest::Enabled(UINT nID)
{
    CCmdUI state;
    state.m_nID = nID;
    m_frame->OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state);
    return state.m_bEnabled;
}

std::vector<std::wstring> SubkeyNames(HKEY hRoot, const wchar_t* path)
{
    std::vector<std::wstring> names;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(hRoot, path, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (::RegEnumKeyExW(hKey, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    ::RegCloseKey(hKey);
    return names;
}

bool KeyExists(HKEY root, const std::wstring& key)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}
