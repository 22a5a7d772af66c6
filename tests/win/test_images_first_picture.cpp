// The picture named on the command line is decoded while the window is made, and the first
// showing takes that decode: the application object started as a command line starts it, its
// first message handled alone, so what the first paint shows and what is running by then can be
// looked at before anything else happens.
#include <windows.h>

#include <string>
#include <utility>
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

Gdiplus::Color Flat(int, int)
{
    return Gdiplus::Color(255, 40, 160, 90);
}

class FirstPictureStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSettings();
        m_pfnCommandLine = g_pfnCommandLine;
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

    // InitInstance as the program runs it with this path on its command line.
    void Start(const std::wstring& path)
    {
        static std::wstring s_path;
        s_path = path;
        g_pfnCommandLine = [] { return std::vector<std::wstring>{L"vistrel.exe", s_path}; };
        ASSERT_TRUE(theApp.InitInstance());
        m_frame = static_cast<CMainFrame*>(theApp.m_pMainWnd);
        ASSERT_NE(m_frame, nullptr);
        m_hWnd = m_frame->m_hWnd;
    }

    // Lets the start-up decode end before the first showing, so that a test can change the
    // file in between.
    void WaitForDecode()
    {
        ASSERT_NE(m_frame->m_pFirstPicture, nullptr);
        for (int i = 0; i < 1000 && !m_frame->m_pFirstPicture->Done(); ++i)
            ::Sleep(10);
        ASSERT_TRUE(m_frame->m_pFirstPicture->Done());
    }

    // Only the first showing: the message the window posted itself when it was made.
    void FirstShowing()
    {
        MSG msg;
        ASSERT_TRUE(::PeekMessageW(&msg, m_hWnd, WM_SCAN_FOLDER, WM_SCAN_FOLDER, PM_REMOVE));
        ASSERT_EQ(msg.wParam, SCAN_STARTUP);
        ::DispatchMessageW(&msg);
    }

    CommandLineFn m_pfnCommandLine = nullptr;
    CMainFrame* m_frame = nullptr;
    HWND m_hWnd = nullptr;
    GdiplusSession m_gdiplus;
};

TEST_F(FirstPictureStart, TheFirstPaintShowsTheStartUpDecodeAndReadAheadStartsAfterIt)
{
    const std::wstring folder = MakeScratchFolder(L"first-picture");
    ASSERT_TRUE(WritePicture(folder + L"first.png", 96, 64, &Pattern));
    ASSERT_TRUE(WriteSolidPicture(folder + L"second.png", 30, 20, Gdiplus::Color(9, 9, 9)));
    Start(folder + L"first.png");
    // Started before the window was made, handed to it, and nothing of read-ahead yet.
    ASSERT_NE(m_frame->m_pFirstPicture, nullptr);
    EXPECT_EQ(m_frame->m_pReadAhead, nullptr);
    WaitForDecode();
    {
        // Held by another program from now on: a decode made by the showing could not read
        // it, so the picture shown can only be the one decoded at the start.
        const HANDLE hHeld = ::CreateFileW((folder + L"first.png").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                           0, nullptr);
        ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
        FirstShowing();
        ::CloseHandle(hHeld);
    }
    EXPECT_EQ(m_frame->m_pFirstPicture, nullptr);
    ASSERT_NE(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(96, 64));
    EXPECT_EQ(m_frame->m_strFileName, L"first.png");
    EXPECT_EQ(m_frame->GetWindowText(), L"first.png - Vistrel");
    EXPECT_EQ(TagText(m_frame), L"first.png (100%)");
    EXPECT_TRUE(::IsWindowVisible(m_hWnd));
    // The file's own pixels, in the picture and on the screen after the first paint.
    for (const POINT pt : {POINT{0, 0}, POINT{95, 0}, POINT{17, 33}, POINT{95, 63}, POINT{48, 40}}) {
        SCOPED_TRACE(testing::Message() << pt.x << "," << pt.y);
        Gdiplus::Color c;
        ASSERT_EQ(m_frame->m_pImage->GetPixel(pt.x, pt.y, &c), Gdiplus::Ok);
        EXPECT_EQ(RGB(c.GetR(), c.GetG(), c.GetB()), PatternColor(pt.x, pt.y));
        EXPECT_EQ(ReadWindowPixel(m_hWnd, pt.x, pt.y), PatternColor(pt.x, pt.y));
    }
    // The pool starts with the folder's list, after the first paint.
    EXPECT_EQ(m_frame->m_pReadAhead, nullptr);
    PumpMessages();
    EXPECT_EQ(m_frame->m_listFiles.size(), 2u);
    EXPECT_NE(m_frame->m_pReadAhead, nullptr);
}

TEST_F(FirstPictureStart, AFileChangedAfterTheStartUpDecodeIsDecodedAnew)
{
    const std::wstring folder = MakeScratchFolder(L"first-picture-changed");
    ASSERT_TRUE(WritePicture(folder + L"photo.png", 96, 64, &Pattern));
    Start(folder + L"photo.png");
    WaitForDecode();
    ASSERT_TRUE(WritePicture(folder + L"photo.png", 50, 70, &Flat));
    FirstShowing();
    ASSERT_NE(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(50, 70));
    EXPECT_EQ(m_frame->GetWindowText(), L"photo.png - Vistrel");
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 25, 35), RGB(40, 160, 90));
}

TEST_F(FirstPictureStart, AStartOnANonPictureShowsTheEmptyWindowAsBefore)
{
    const std::wstring folder = MakeScratchFolder(L"first-picture-text");
    ASSERT_TRUE(WriteTextFile(folder + L"notes.jpg", "plain text, not a picture"));
    Start(folder + L"notes.jpg");
    FirstShowing();
    EXPECT_EQ(m_frame->m_pFirstPicture, nullptr);
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);  // the label's window made ahead is gone
    EXPECT_EQ(m_frame->GetWindowText(), L"Vistrel");
    const CRect rc = m_frame->GetWindowRect();
    EXPECT_EQ(CSize(rc.Width(), rc.Height()), CSize(kEmptyWindowWidth, kEmptyWindowHeight));
    EXPECT_TRUE(::IsWindowVisible(m_hWnd));
    PumpMessages();
    EXPECT_TRUE(m_frame->m_listFiles.empty());
    EXPECT_EQ(m_frame->m_pReadAhead, nullptr);
}

// Closed before its first showing, with the decode perhaps still under way: the window goes,
// the exit waits for the decode and frees what it made, and nothing holds the file after.
TEST_F(FirstPictureStart, AProgramClosedWhileTheStartUpDecodeRunsEndsCleanly)
{
    const std::wstring folder = MakeScratchFolder(L"first-picture-quit");
    ASSERT_TRUE(WritePicture(folder + L"big.png", 1600, 1200, &Pattern));
    Start(folder + L"big.png");
    ASSERT_NE(m_frame->m_pFirstPicture, nullptr);
    ::DestroyWindow(m_hWnd);
    m_frame = nullptr;
    theApp.m_pMainWnd = nullptr;
    theApp.ExitInstance();
    EXPECT_EQ(theApp.m_pFirstPicture, nullptr);
    EXPECT_TRUE(::DeleteFileW((folder + L"big.png").c_str()));
}

// The start-up decode before the window exists is the application's, and an exit that comes
// before a window was made ends it too.
TEST_F(FirstPictureStart, AnUnusedStartUpDecodeIsEndedByTheExit)
{
    const std::wstring folder = MakeScratchFolder(L"first-picture-unused");
    ASSERT_TRUE(WritePicture(folder + L"p.png", 640, 480, &Pattern));
    theApp.m_pFirstPicture = StartFirstPicture(folder + L"p.png", true);
    theApp.ExitInstance();
    EXPECT_EQ(theApp.m_pFirstPicture, nullptr);
    EXPECT_TRUE(::DeleteFileW((folder + L"p.png").c_str()));
}

}  // namespace
