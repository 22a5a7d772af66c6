// Still pictures come from Windows' imaging component, animations and metafiles from GDI+,
// and files neither decodes are passed; a picture too big for any bitmap, memory that runs
// out on a worker and a fault inside the decoder are each taken for what they are.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cwchar>
#include <string>

#include "framework/win_app.h"
#include "images/ahead/read_ahead.h"
#include "images/decode/picture_decode.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

std::wstring Samples()
{
    const std::string folder = VISTREL_MEMORY_SAMPLES;
    return std::wstring(folder.begin(), folder.end());
}

uint32_t PixelAt(Gdiplus::Bitmap* pImage, int x, int y)
{
    Gdiplus::Color color;
    return pImage && pImage->GetPixel(x, y, &color) == Gdiplus::Ok ? color.GetValue() : 0;
}

// The four quarters every quad.* sample holds, exactly: colours DXT1 keeps as they are.
void ExpectQuarters(Gdiplus::Bitmap* pImage)
{
    ASSERT_NE(pImage, nullptr);
    EXPECT_EQ(CSize(pImage->GetWidth(), pImage->GetHeight()), CSize(32, 32));
    EXPECT_EQ(PixelAt(pImage, 4, 4), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(pImage, 27, 4), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(pImage, 4, 27), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(pImage, 27, 27), 0xFFFFFFFFu);
}

// A 1-bit picture of 40000 x 40000 whose one colour is transparent: 1.3 MB of file, 6.4 GB as
// 32-bit pixels. Its zeros are deflated by hand: one literal, then runs of 258 at distance 1.
std::string HugeTransparentPng()
{
    auto be32 = [](std::string& s, uint32_t v) {
        for (int i = 24; i >= 0; i -= 8)
            s += static_cast<char>(v >> i);
    };
    std::string png = "\x89PNG\r\n\x1a\n", bits = "\x78\x01";
    auto chunk = [&](const std::string& body) {  // type and data
        be32(png, static_cast<uint32_t>(body.size() - 4));
        uint32_t c = 0xFFFFFFFF;
        for (unsigned char b : body) {
            c ^= b;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
        }
        png += body;
        be32(png, ~c);
    };
    uint32_t nAcc = 0, nBits = 0;
    auto put = [&](uint32_t code, uint32_t nLength) {  // most significant bit first, as Huffman codes go
        while (nLength-- > 0) {
            nAcc |= ((code >> nLength) & 1) << nBits;
            if (++nBits == 8) {
                bits += static_cast<char>(nAcc);
                nAcc = nBits = 0;
            }
        }
    };
    const uint64_t nRaw = uint64_t{40000} * (1 + 40000 / 8);
    put(0b110, 3);  // the last block, fixed codes
    put(0x30, 8);   // literal 0
    uint64_t nLeft = nRaw - 1;
    for (; nLeft >= 258; nLeft -= 258)
        put(0xC5 << 5, 13);  // length 258, distance 1
    for (; nLeft > 0; --nLeft)
        put(0x30, 8);
    put(0, 7 + (8 - (nBits + 7) % 8) % 8);  // end of block, then up to the byte
    be32(bits, static_cast<uint32_t>(nRaw % 65521) << 16 | 1);  // Adler-32 of zeros
    std::string header = "IHDR";
    be32(header, 40000);
    be32(header, 40000);
    chunk(header + std::string("\x01\x03\x00\x00\x00", 5));  // 1 bit, palette
    chunk(std::string("PLTE\x00\x00\x00\xff\xff\xff", 10));
    chunk(std::string("tRNS\x00", 5));
    chunk("IDAT" + bits);
    chunk("IEND");
    return png;
}

// A fault inside gdiplus.dll, as Wine's GDI+ reads through a pointer that is no object.
void FaultInsideGdiplus()
{
    UINT width = 0;
    Gdiplus::DllExports::GdipGetImageWidth(reinterpret_cast<Gdiplus::GpImage*>(0x10), &width);
}

std::atomic<DWORD> g_uiThread{0};
std::atomic<int> g_starved{0}, g_faults{0};

long StarveTheWorkerOnce(const wchar_t* pszPath)
{
    if (std::wcsstr(pszPath, L"\\b.png") && ::GetCurrentThreadId() != g_uiThread && g_starved++ == 0)
        return E_OUTOFMEMORY;
    return S_OK;
}

long FaultOnBoom(const wchar_t* pszPath)
{
    if (std::wcsstr(pszPath, L"\\boom.png")) {
        ++g_faults;
        FaultInsideGdiplus();
    }
    return S_OK;
}

class WicPictures : public MainFrameTest {
protected:
    void TearDown() override
    {
        SetPixelCopyCheckForTesting(nullptr);
        MainFrameTest::TearDown();
    }
    std::wstring Title() { return m_frame->GetWindowText(); }
    // Queued messages handled, idle time given and read-ahead done.
    void Idle()
    {
        PumpMessages();
        ::SendMessageW(m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
        if (m_frame->m_pReadAhead)
            m_frame->m_pReadAhead->WaitUntilIdle();
    }
    void Next()
    {
        Command(ID_FILE_NEXT);
        Idle();
    }
};

TEST_F(WicPictures, AFolderWalkShowsWhatEitherDecoderKnowsAndPassesTheRest)
{
    const std::wstring folder = MakeScratchFolder(L"wic-walk");
    const wchar_t* const samples[][2] = {{L"quad.png", L"a.png"},       {L"quad-none.dds", L"b.dds"},
                                         {L"quad-dxt1.dds", L"c.dds"},  {L"quad.jxr", L"d.jxr"},
                                         {L"anim.gif", L"e.gif"},       {L"quad.webp", L"f.webp"},
                                         {L"profile.jpg", L"h.jpg"},    {L"profile.png", L"i.png"}};
    for (const auto& sample : samples)
        ASSERT_TRUE(::CopyFileW((Samples() + sample[0]).c_str(), (folder + sample[1]).c_str(), FALSE));
    ASSERT_TRUE(WriteTextFile(folder + L"g.png", "not a picture\r\n"));
    const RECT frame{0, 0, 2000, 1000};  // hundredths of a millimetre
    HDC hMeta = ::CreateEnhMetaFileW(nullptr, (folder + L"j.emf").c_str(), &frame, nullptr);
    ASSERT_NE(hMeta, nullptr);
    const RECT fill{0, 0, 400, 200};
    HBRUSH hRed = ::CreateSolidBrush(RGB(255, 0, 0));
    ::FillRect(hMeta, &fill, hRed);
    ::DeleteObject(hRed);
    ::DeleteEnhMetaFile(::CloseEnhMetaFile(hMeta));
    m_frame->m_bReadAhead = false;

    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    Idle();
    ExpectQuarters(m_frame->m_pImage);
    for (const wchar_t* name : {L"b.dds", L"c.dds", L"d.jxr"}) {
        Next();
        SCOPED_TRACE(testing::Message() << name);
        EXPECT_EQ(Title(), std::wstring(name) + L" - Vistrel");
        ExpectQuarters(m_frame->m_pImage);
    }
    // GDI+ still plays the animation, at its own delays.
    Next();
    EXPECT_EQ(Title(), L"e.gif - Vistrel");
    ASSERT_EQ(m_frame->m_nFrameCount, 3u);
    ASSERT_NE(m_frame->m_pFrameDelays, nullptr);
    EXPECT_EQ(static_cast<const UINT*>(m_frame->m_pFrameDelays->value)[1], 10u);
    // A WebP shows where a codec extension decodes it and is passed where none does; the text
    // never shows.
    Next();
    if (Title() == L"f.webp - Vistrel") {
        ExpectQuarters(m_frame->m_pImage);
        Next();
    }
    // Pictures with an embedded profile show (converted to sRGB where the platform does it).
    for (const wchar_t* name : {L"h.jpg", L"i.png"}) {
        SCOPED_TRACE(testing::Message() << name);
        EXPECT_EQ(Title(), std::wstring(name) + L" - Vistrel");
        EXPECT_EQ(m_frame->m_sizeImage, CSize(64, 48));
        Next();
    }
    // The metafile still shows, drawn by GDI+.
    EXPECT_EQ(Title(), L"j.emf - Vistrel");
    ASSERT_NE(m_frame->m_pImage, nullptr);
    EXPECT_EQ(PixelAt(m_frame->m_pImage, 2, 2) & 0xFFFFFFu, 0xFF0000u);
    Next();
    EXPECT_EQ(Title(), L"a.png - Vistrel");
}

TEST_F(WicPictures, APictureTooBigForAnyBitmapIsPassedOrShownAndTheNextOneShows)
{
    const std::wstring folder = MakeScratchFolder(L"wic-huge");
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.png", 40, 30, Gdiplus::Color(255, 0, 0)));
    ASSERT_TRUE(WriteTextFile(folder + L"b.png", HugeTransparentPng()));
    ASSERT_TRUE(WriteSolidPicture(folder + L"c.png", 42, 32, Gdiplus::Color(0, 0, 255)));
    m_frame->m_bReadAhead = true;
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    Idle();
    ASSERT_TRUE(m_frame->m_pReadAhead);
    Next();
    if (Title() == L"b.png - Vistrel") {
        EXPECT_EQ(m_frame->m_sizeImage, CSize(40000, 40000));
        Next();
    }
    EXPECT_EQ(Title(), L"c.png - Vistrel");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(42, 32));
    EXPECT_EQ(PixelAt(m_frame->m_pImage, 5, 5), 0xFF0000FFu);
}

TEST_F(WicPictures, MemoryThatRunsOutOnAWorkerLeavesThePictureToTheStep)
{
    const std::wstring folder = MakeScratchFolder(L"wic-starved");
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.png", 40, 30, Gdiplus::Color(255, 0, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"b.png", 41, 31, Gdiplus::Color(0, 255, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"c.png", 42, 32, Gdiplus::Color(0, 0, 255)));
    g_uiThread = ::GetCurrentThreadId();
    g_starved = 0;
    SetPixelCopyCheckForTesting(&StarveTheWorkerOnce);
    m_frame->m_bReadAhead = true;
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    Idle();
    ASSERT_TRUE(m_frame->m_pReadAhead);
    EXPECT_EQ(g_starved, 1);
    Next();
    EXPECT_EQ(Title(), L"b.png - Vistrel");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(41, 31));
    EXPECT_EQ(PixelAt(m_frame->m_pImage, 5, 5), 0xFF00FF00u);
    EXPECT_EQ(m_frame->m_listFiles.size(), 3u);
}

// Each fault leaves a picture's worth of pixels, its decoder and the file's bytes behind unless
// the release after it finds them: 100 faults on a 2000 x 1500 picture would keep 860 MiB.
TEST(DecodeFaultRelease, AHundredContainedFaultsLeavePrivateBytesFlat)
{
    GdiplusSession gdiplus;
    const std::wstring folder = MakeScratchFolder(L"wic-leak");
    ASSERT_TRUE(WriteSolidPicture(folder + L"boom.png", 2000, 1500, Gdiplus::Color(10, 20, 30)));
    const PixelCopyCheck previous = SetPixelCopyCheckForTesting(&FaultOnBoom);
    g_faults = 0;
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof(counters);
        ::K32GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                  sizeof(counters));
        // Wine leaves PrivateUsage 0 and gives the same figure as PagefileUsage.
        return static_cast<int64_t>(std::max(counters.PrivateUsage, counters.PagefileUsage));
    };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(DecodePicture(folder + L"boom.png", true).status, DecodeStatus::Faulted);
    const int64_t nBefore = privateBytes();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(DecodePicture(folder + L"boom.png", true).status, DecodeStatus::Faulted) << i;
    const int64_t nGrowth = privateBytes() - nBefore;
    SetPixelCopyCheckForTesting(previous);
    EXPECT_EQ(g_faults, 105);
    EXPECT_LT(nGrowth, 24 << 20) << nGrowth;
}

}  // namespace
