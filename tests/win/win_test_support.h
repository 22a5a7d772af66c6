#pragma once
// Shared ground for the Windows tests: GDI+ for the process, generated
// pictures in a scratch folder, a real main window driven by messages.
#include <windows.h>

#include "framework/gdiplus_sdk.h"
#include <gtest/gtest.h>

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

    GdiplusSession m_gdiplus;
    CMainFrame* m_frame = nullptr;
    HWND m_hWnd = nullptr;
};
