// Pictures live in memory: no file of the folder stays open once it is decoded, an animation
// plays from its in-memory copy, and a still picture made into plain pixels shows, scales,
// turns and saves as the picture decoded straight from its file did.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/win_app.h"
#include "images/ahead/read_ahead.h"
#include "images/decode/memory_stream.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr UINT_PTR kFrameTimer = 9;

// The folder of the samples the build made (an ASCII path).
std::wstring Samples()
{
    const std::string folder = VISTREL_MEMORY_SAMPLES;
    return std::wstring(folder.begin(), folder.end());
}

// Every pixel of a bitmap as 32-bit ARGB, and its stored format.
struct Pixels {
    UINT cx = 0, cy = 0;
    Gdiplus::PixelFormat format = 0;
    std::vector<uint32_t> argb;
};

Pixels ReadPixels(Gdiplus::Bitmap& image)
{
    Pixels p{image.GetWidth(), image.GetHeight(), image.GetPixelFormat(), {}};
    p.argb.resize(size_t{p.cx} * p.cy);
    Gdiplus::BitmapData data{};
    data.Width = p.cx;
    data.Height = p.cy;
    data.Stride = static_cast<INT>(p.cx * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = p.argb.data();
    const Gdiplus::Rect rect(0, 0, static_cast<INT>(p.cx), static_cast<INT>(p.cy));
    if (image.LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                       &data) == Gdiplus::Ok)
        image.UnlockBits(&data);
    else
        p.argb.clear();
    return p;
}

// The window's client area as it is on the screen.
std::vector<uint32_t> Screen(HWND hWnd)
{
    ::InvalidateRect(hWnd, nullptr, FALSE);
    ::UpdateWindow(hWnd);
    RECT rc{};
    ::GetClientRect(hWnd, &rc);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), rc.right, -rc.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HDC hWindow = ::GetDC(hWnd), hMemory = ::CreateCompatibleDC(hWindow);
    HBITMAP hBitmap = ::CreateDIBSection(hWindow, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (hBitmap) {
        const HGDIOBJ hOld = ::SelectObject(hMemory, hBitmap);
        ::BitBlt(hMemory, 0, 0, rc.right, rc.bottom, hWindow, 0, 0, SRCCOPY);
        ::GdiFlush();
        const auto* p = static_cast<const uint32_t*>(pBits);
        pixels.assign(p, p + size_t(rc.right) * rc.bottom);
        ::SelectObject(hMemory, hOld);
        ::DeleteObject(hBitmap);
    }
    ::DeleteDC(hMemory);
    ::ReleaseDC(hWnd, hWindow);
    return pixels;
}

class PicturesInMemory : public MainFrameTest {
protected:
    void Idle()
    {
        PumpMessages();
        ::SendMessageW(m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
        if (m_frame->m_pReadAhead)
            m_frame->m_pReadAhead->WaitUntilIdle();
    }

    // A sample made by the build, copied into a scratch folder of its own.
    std::wstring Sample(const wchar_t* name)
    {
        const std::wstring folder = MakeScratchFolder(std::wstring(L"memory-") + name);
        const std::wstring path = folder + name;
        EXPECT_TRUE(::CopyFileW((Samples() + name).c_str(), path.c_str(), FALSE));
        return path;
    }

    // What the user sees at 100 %, one zoom step up with nearest neighbour and with
    // high-quality bicubic, and the wallpaper file made of the picture.
    struct Looks {
        std::vector<std::vector<uint32_t>> screens;
        Pixels wallpaper;
    };
    Looks Look()
    {
        Looks looks;
        Command(ID_INTERP_NEAREST);
        looks.screens.push_back(Screen(m_hWnd));
        Command(ID_VIEW_ZOOM_IN);
        looks.screens.push_back(Screen(m_hWnd));
        Command(ID_INTERP_HQ_BICUBIC);
        looks.screens.push_back(Screen(m_hWnd));
        Command(ID_VIEW_ZOOM_OUT);
        Command(ID_TOOLS_SET_WALLPAPER);
        Gdiplus::Bitmap saved(CurrentWallpaper().c_str());
        looks.wallpaper = ReadPixels(saved);
        return looks;
    }
};

TEST_F(PicturesInMemory, OtherProgramsMayDeleteRenameAndOpenEveryFileWhileThePictureStays)
{
    const std::wstring folder = MakeScratchFolder(L"memory-held");
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.png", 40, 30, Gdiplus::Color(255, 0, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"b.png", 41, 31, Gdiplus::Color(0, 255, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"c.png", 42, 32, Gdiplus::Color(0, 0, 255)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"d.png", 43, 33, Gdiplus::Color(9, 9, 9)));
    m_frame->m_bReadAhead = true;
    ASSERT_TRUE(m_frame->OpenFile(folder + L"b.png"));
    Idle();
    ASSERT_TRUE(m_frame->m_pReadAhead);
    const std::vector<uint32_t> shown = Screen(m_hWnd);

    // The shown file, the previous one and the next one, both prepared by now.
    EXPECT_TRUE(::DeleteFileW((folder + L"b.png").c_str()));
    EXPECT_TRUE(::MoveFileW((folder + L"a.png").c_str(), (folder + L"a2.png").c_str()));
    HANDLE hNext = ::CreateFileW((folder + L"c.png").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(hNext, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Screen(m_hWnd), shown);
    EXPECT_EQ(m_frame->GetWindowText(), L"b.png - Vistrel");
    ::CloseHandle(hNext);

    Command(ID_FILE_NEXT);
    EXPECT_EQ(m_frame->GetWindowText(), L"c.png - Vistrel");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(42, 32));
    ::UpdateWindow(m_hWnd);
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 5, 5), RGB(0, 0, 255));
}

TEST_F(PicturesInMemory, AnAnimationWhoseFileIsDeletedGoesOnPlaying)
{
    const std::wstring path = Sample(L"anim.gif");
    ASSERT_TRUE(m_frame->OpenFile(path));
    ASSERT_EQ(m_frame->m_nFrameCount, 3u);
    EXPECT_TRUE(::DeleteFileW(path.c_str()));
    const COLORREF frames[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (int nTick = 1; nTick <= 4; ++nTick) {
        ::SendMessageW(m_hWnd, WM_TIMER, kFrameTimer, 0);
        ::UpdateWindow(m_hWnd);
        EXPECT_EQ(m_frame->m_nCurrentFrame, static_cast<UINT>(nTick % 3));
        EXPECT_EQ(ReadWindowPixel(m_hWnd, 3, 3), frames[nTick % 3]) << "tick " << nTick;
    }
}

// "Before" is the picture as GDI+ decodes it from its file, put in the window's place; a
// picture with an orientation is stood upright as Windows' GDI+ turns it.
TEST_F(PicturesInMemory, StillPicturesShowScaleTurnAndSaveAsDecodedFromTheirFile)
{
    struct Case {
        const wchar_t* name;
        bool bUpright;  // orientation 6, turned a quarter clockwise
    };
    for (const Case& c : {Case{L"alpha.png", false}, Case{L"transparent.gif", false}, Case{L"deep.png", false},
                          Case{L"cmyk.jpg", false}, Case{L"palette.bmp", false}, Case{L"fax.tif", true},
                          Case{L"progressive.jpg", false}, Case{L"deep.tif", false}}) {
        SCOPED_TRACE(testing::Message() << c.name);
        const std::wstring path = Sample(c.name);
        ASSERT_TRUE(m_frame->OpenFile(path));
        const Looks after = Look();
        // No file is held: the picture's own can go at once.
        EXPECT_TRUE(::DeleteFileW(path.c_str()));

        Gdiplus::Bitmap* pFromFile = new Gdiplus::Bitmap((Samples() + c.name).c_str(), TRUE);
        if (c.bUpright) {
            Gdiplus::Bitmap* pStored = pFromFile;
            pFromFile = pStored->Clone(0, 0, pStored->GetWidth(), pStored->GetHeight(), PixelFormat24bppRGB);
            delete pStored;
            ASSERT_EQ(pFromFile->RotateFlip(Gdiplus::Rotate90FlipNone), Gdiplus::Ok);
        }
        Gdiplus::Bitmap* const pMine = m_frame->m_pImage;
        EXPECT_EQ(pMine->GetWidth(), pFromFile->GetWidth());
        EXPECT_EQ(pMine->GetHeight(), pFromFile->GetHeight());
        m_frame->m_pImage = pFromFile;
        const Looks before = Look();
        m_frame->m_pImage = pMine;
        delete pFromFile;

        for (size_t i = 0; i < before.screens.size(); ++i)
            ASSERT_FALSE(after.screens[i].empty());
        for (size_t i = 0; i < before.screens.size(); ++i)
            EXPECT_TRUE(after.screens[i] == before.screens[i]) << "view " << i;
        ASSERT_FALSE(after.wallpaper.argb.empty());
        EXPECT_TRUE(after.wallpaper.argb == before.wallpaper.argb);
        if (before.wallpaper.format == PixelFormat24bppRGB) {
            EXPECT_EQ(after.wallpaper.format, PixelFormat24bppRGB);
        }

        // Plain pixels turn, whatever the file stored.
        const CSize size = m_frame->m_sizeImage;
        Command(ID_EDIT_ROTATE_CW);
        EXPECT_EQ(m_frame->m_sizeImage, CSize(size.cy, size.cx));
    }
}

TEST_F(PicturesInMemory, TheEndOfTheSessionLetsGoOfEveryPictureAndTheTimer)
{
    const std::wstring path = Sample(L"anim.gif");
    ASSERT_TRUE(WriteSolidPicture(path.substr(0, path.rfind(L'\\') + 1) + L"b.png", 20, 20, Gdiplus::Color(1, 2, 3)));
    m_frame->m_bReadAhead = true;
    ASSERT_TRUE(m_frame->OpenFile(path));
    Idle();
    ASSERT_TRUE(m_frame->m_pReadAhead);

    ::SendMessageW(m_hWnd, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->m_pReadAhead, nullptr);
    EXPECT_FALSE(::KillTimer(m_hWnd, kFrameTimer));
    // Nothing brings them back: idle time, a tick, a paint.
    Idle();
    ::SendMessageW(m_hWnd, WM_TIMER, kFrameTimer, 0);
    ::UpdateWindow(m_hWnd);
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->m_pReadAhead, nullptr);
}

}  // namespace

// A damaged file can send the decoder anywhere: reads past the end give nothing, seeks before
// the start are refused, and a clone keeps the bytes after the stream is gone.
TEST(MemoryStream, NothingTheDecoderAsksReadsOutsideTheBytes)
{
    uint8_t* pData = nullptr;
    IStream* pStream = CreateMemoryStream(4, &pData);
    ASSERT_NE(pStream, nullptr);
    std::copy_n("abcd", 4, pData);
    char buffer[8] = {};
    ULONG nRead = 0;
    LARGE_INTEGER move{};
    move.QuadPart = 3;
    ASSERT_EQ(pStream->Seek(move, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(pStream->Read(buffer, 8, &nRead), S_FALSE);
    EXPECT_EQ(nRead, 1u);
    EXPECT_EQ(buffer[0], 'd');
    move.QuadPart = 0x7FFFFFFF00000000;
    EXPECT_EQ(pStream->Seek(move, STREAM_SEEK_CUR, nullptr), STG_E_INVALIDFUNCTION);
    move.QuadPart = 1 << 20;
    ASSERT_EQ(pStream->Seek(move, STREAM_SEEK_END, nullptr), S_OK);
    EXPECT_EQ(pStream->Read(buffer, 8, &nRead), S_FALSE);
    EXPECT_EQ(nRead, 0u);
    move.QuadPart = -5;
    EXPECT_EQ(pStream->Seek(move, STREAM_SEEK_END, nullptr), STG_E_INVALIDFUNCTION);
    ULARGE_INTEGER size{};
    size.QuadPart = 5;
    EXPECT_NE(pStream->SetSize(size), S_OK);
    size.QuadPart = 2;
    EXPECT_EQ(pStream->SetSize(size), S_OK);
    IStream* pClone = nullptr;
    ASSERT_EQ(pStream->Clone(&pClone), S_OK);
    pStream->Release();
    move.QuadPart = 0;
    ASSERT_EQ(pClone->Seek(move, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(pClone->Read(buffer, 8, &nRead), S_FALSE);
    EXPECT_EQ(std::string(buffer, nRead), "ab");
    pClone->Release();
}
