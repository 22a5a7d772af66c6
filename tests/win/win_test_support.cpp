#include "tests/win/win_test_support.h"

#include <fstream>

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
