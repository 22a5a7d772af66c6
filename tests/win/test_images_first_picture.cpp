// The picture named on the command line is decoded while the window is made, and the first
// showing takes that decode: the application object started as a command line starts it, its
// first message handled alone, so what the first paint shows and what is running by then can be
// looked at before anything else happens.
#include <windows.h>

#include <string>
#include <vector>

#include "app/vistrel_app.h"
#include "images/ahead/first_picture.h"
#include "images/ahead/read_ahead.h"
#include "res/resource.h"
#include "tests/win/test_view_fixture.h"
#include "view/layout.h"

namespace {

Gdiplus::Color Pattern(int x, int y)
{
    const COLORREF c = PatternColor(x, y);
    return Gdiplus::Color(255, GetRValue(c), GetGValue(c), GetBValue(c));
}

class FirstPictureStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSettings();
        m_folder = MakeScratchFolder(L"first-picture");
    }

    void TearDown() override
    {
        if (m_frame && ::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);  // the frame deletes itself
        PumpMessages();
        theApp.ExitInstance();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        g_pfnCommandLine = m_pfnCommandLine;
        theApp.m_strFile.clear();
        theApp.m_pMainWnd = nullptr;
    }

    // InitInstance as the program runs it with this file of the folder on its command line;
    // with bWait the start-up decode has ended on return, so that a test can change the file.
    void Start(const wchar_t* pszName, bool bWait)
    {
        static std::wstring s_path;
        s_path = m_path = m_folder + pszName;
        g_pfnCommandLine = [] { return std::vector<std::wstring>{L"vistrel.exe", s_path}; };
        ASSERT_TRUE(theApp.InitInstance());
        m_frame = static_cast<CMainFrame*>(theApp.m_pMainWnd);
        ASSERT_NE(m_frame, nullptr);
        m_hWnd = m_frame->m_hWnd;
        // Started before the window was made and handed to it, and nothing of read-ahead yet.
        ASSERT_NE(m_frame->m_pFirstPicture, nullptr);
        EXPECT_EQ(m_frame->m_pReadAhead, nullptr);
        for (int i = 0; bWait && i < 1000 && !m_frame->m_pFirstPicture->Done(); ++i)
            ::Sleep(10);
        ASSERT_TRUE(!bWait || m_frame->m_pFirstPicture->Done());
    }

    // Only the first showing: the message the window posted itself when it was made.
    void FirstShowing()
    {
        MSG msg;
        ASSERT_TRUE(::PeekMessageW(&msg, m_hWnd, WM_SCAN_FOLDER, WM_SCAN_FOLDER, PM_REMOVE));
        ASSERT_EQ(msg.wParam, SCAN_STARTUP);
        ::DispatchMessageW(&msg);
        EXPECT_EQ(m_frame->m_pFirstPicture, nullptr);
        EXPECT_TRUE(::IsWindowVisible(m_hWnd));
    }

    CommandLineFn m_pfnCommandLine = g_pfnCommandLine;
    CMainFrame* m_frame = nullptr;
    HWND m_hWnd = nullptr;
    std::wstring m_folder, m_path;
    GdiplusSession m_gdiplus;
};

TEST_F(FirstPictureStart, TheFirstPaintShowsTheStartUpDecodeAndReadAheadStartsAfterIt)
{
    ASSERT_TRUE(WritePicture(m_folder + L"first.png", 96, 64, &Pattern));
    ASSERT_TRUE(WriteSolidPicture(m_folder + L"second.png", 30, 20, Gdiplus::Color(9, 9, 9)));
    Start(L"first.png", true);
    // Held by another program from now on: a decode made by the showing could not read it, so
    // the picture shown can only be the one decoded at the start.
    const HANDLE hHeld = ::CreateFileW(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    FirstShowing();
    ::CloseHandle(hHeld);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(96, 64));
    EXPECT_EQ(m_frame->GetWindowText(), L"first.png - Vistrel");
    EXPECT_EQ(TagText(m_frame), L"first.png (100%)");
    for (const POINT pt : {POINT{0, 0}, POINT{95, 0}, POINT{17, 33}, POINT{95, 63}})
        EXPECT_EQ(ReadWindowPixel(m_hWnd, pt.x, pt.y), PatternColor(pt.x, pt.y)) << pt.x << "," << pt.y;
    // The pool starts with the folder's list, after the first paint.
    EXPECT_EQ(m_frame->m_pReadAhead, nullptr);
    PumpMessages();
    EXPECT_EQ(m_frame->m_listFiles.size(), 2u);
    EXPECT_NE(m_frame->m_pReadAhead, nullptr);
}

TEST_F(FirstPictureStart, AFileChangedAfterTheStartUpDecodeIsDecodedAnew)
{
    ASSERT_TRUE(WritePicture(m_folder + L"photo.png", 96, 64, &Pattern));
    Start(L"photo.png", true);
    ASSERT_TRUE(WriteSolidPicture(m_path, 50, 70, Gdiplus::Color(40, 160, 90)));
    FirstShowing();
    EXPECT_EQ(m_frame->m_sizeImage, CSize(50, 70));
    EXPECT_EQ(m_frame->GetWindowText(), L"photo.png - Vistrel");
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 25, 35), RGB(40, 160, 90));
}

TEST_F(FirstPictureStart, AStartOnANonPictureShowsTheEmptyWindowAsBefore)
{
    ASSERT_TRUE(WriteTextFile(m_folder + L"notes.jpg", "plain text, not a picture"));
    Start(L"notes.jpg", false);
    FirstShowing();
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);  // the label's window made ahead is gone
    EXPECT_EQ(m_frame->GetWindowText(), L"Vistrel");
    const CRect rc = m_frame->GetWindowRect();
    EXPECT_EQ(CSize(rc.Width(), rc.Height()), CSize(kEmptyWindowWidth, kEmptyWindowHeight));
    PumpMessages();
    EXPECT_TRUE(m_frame->m_listFiles.empty());
    EXPECT_EQ(m_frame->m_pReadAhead, nullptr);
}

// Closed before its first showing, the decode perhaps still under way: the window and the exit
// wait for it and free what it made, and nothing holds the file after. The exit also ends a
// decode still the application's, when no window was made.
TEST_F(FirstPictureStart, AProgramClosedWhileTheStartUpDecodeRunsEndsCleanly)
{
    ASSERT_TRUE(WritePicture(m_folder + L"big.png", 1600, 1200, &Pattern));
    Start(L"big.png", false);
    ::DestroyWindow(m_hWnd);
    m_frame = nullptr;
    theApp.m_pMainWnd = nullptr;
    theApp.m_pFirstPicture = StartFirstPicture(m_path, true);
    ASSERT_NE(theApp.m_pFirstPicture, nullptr);
    theApp.ExitInstance();
    EXPECT_EQ(theApp.m_pFirstPicture, nullptr);
    // A file deleted while a handle is open can't be made again until that handle is closed.
    EXPECT_TRUE(::DeleteFileW(m_path.c_str()));
    EXPECT_TRUE(WriteTextFile(m_path, "gone"));
}

}  // namespace
