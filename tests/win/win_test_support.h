#pragma once
// Shared ground for the Windows tests: GDI+ for the process, generated
// pictures in a scratch folder, a real main window driven by messages, and a
// registry of their own so a run leaves the user's settings as it found them.
#include <windows.h>

#include "framework/gdiplus_sdk.h"
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "mainframe/main_frame.h"

// Starts GDI+ for the lifetime of the object.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();

private:
    ULONG_PTR m_token = 0;
};

// Dispatches every queued message (posted ones included), then keeps doing so
// for at least nMilliseconds.
void PumpMessages(DWORD nMilliseconds = 0);

// A fresh, empty folder under the temporary folder, ending in a backslash.
std::wstring MakeScratchFolder(const std::wstring& name);

// Writes a picture of one colour through a GDI+ encoder ("image/png",
// "image/jpeg", "image/bmp", "image/gif", "image/tiff").
bool WriteSolidPicture(const std::wstring& path, int width, int height, Gdiplus::Color color,
                       const wchar_t* mime = L"image/png");
// Writes a picture whose pixel (x, y) has the colour fn(x, y).
bool WritePicture(const std::wstring& path, int width, int height, Gdiplus::Color (*fn)(int x, int y),
                  const wchar_t* mime = L"image/png");
bool WriteTextFile(const std::wstring& path, const std::string& content);

// Removes HKCU\SOFTWARE\Vistrel so that every test starts from a clean profile.
void ResetSettings();

// For the whole run HKEY_CURRENT_USER is redirected to a scratch key under the user's own
// (at RegistrySandboxPath()\HKCU), made at the start and removed at the end: whatever the
// program or a test writes or deletes there never reaches the user's settings. The system's
// own stores (the wallpaper SystemParametersInfoW keeps) are not redirected: WallpaperGuard
// covers those.
HKEY RealCurrentUser();  // the user's own key, opened before the redirect
std::wstring RegistrySandboxPath();

// HKEY_CLASSES_ROOT redirected to the run's second scratch key (RegistrySandboxPath()\HKCR)
// while the object lives. Only around what writes there (the file-type registration): the
// system's own components, Wine's image codecs among them, find their classes through the
// same key. A run that ends with the program's entry in the real classes root it did not
// have at the start fails.
class ClassesRootRedirect {
public:
    ClassesRootRedirect();
    ~ClassesRootRedirect();
    ClassesRootRedirect(const ClassesRootRedirect&) = delete;
    ClassesRootRedirect& operator=(const ClassesRootRedirect&) = delete;
};

// One registry value exactly as stored.
struct RawRegValue {
    DWORD type = 0;
    std::vector<BYTE> data;
    friend bool operator==(const RawRegValue&, const RawRegValue&) = default;
};
std::optional<RawRegValue> ReadRawValue(HKEY root, const std::wstring& key, const wchar_t* name);
// Writes the value, or deletes it for nullopt.
void WriteRawValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::optional<RawRegValue>& value);

// The desktop wallpaper as the system reports it.
std::wstring CurrentWallpaper();

bool KeyExists(HKEY root, const std::wstring& key);

// The names of a key's subkeys exactly as stored; none when it can't be opened.
std::vector<std::wstring> SubkeyNames(HKEY hRoot, const wchar_t* path);

// Puts the desktop wallpaper and the user's own WallpaperStyle and TileWallpaper back as
// they were when it was made: the wallpaper through SystemParametersInfoW, which writes the
// real profile whatever the redirect.
class WallpaperGuard {
public:
    WallpaperGuard();
    ~WallpaperGuard();
    WallpaperGuard(const WallpaperGuard&) = delete;
    WallpaperGuard& operator=(const WallpaperGuard&) = delete;

private:
    std::wstring m_wallpaper;
    std::optional<RawRegValue> m_style, m_tile;
};

// Colour of a client pixel of a window, as drawn on the screen.
COLORREF ReadWindowPixel(HWND hWnd, int x, int y);

// A main window as the program makes it: constructed, loaded from resource
// 128 and past its first showing (the posted start-up message handled).
class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Routes a command exactly as a menu item or an accelerator would.
    void Command(UINT nID);
    // Whether the command's update rule leaves it enabled (a command without a rule is).
    bool Enabled(UINT nID);

    WallpaperGuard m_wallpaperGuard;
    GdiplusSession m_gdiplus;
    CMainFrame* m_frame = nullptr;
    HWND m_hWnd = nullptr;
};
