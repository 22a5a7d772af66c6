// Still pictures come from Windows' imaging component, animations and metafiles from GDI+, and
// files neither decodes are passed. A file no decoder claims costs one small read whatever its
// size, and no file is read whole over the memory share of its decode. A picture too big for any
// bitmap, memory that runs out on a worker and a fault inside the decoder are each taken for
// what they are, and after a fault nothing is kept and nothing waits for ever.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "app/vistrel_app.h"
#include "framework/win_app.h"
#include "images/ahead/read_ahead.h"
#include "images/decode/file_in_memory.h"
#include "images/decode/picture_decode.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr uint64_t kMiB = 1ull << 20;
constexpr uint64_t kLarge = 3ull << 30;

// Wine leaves PrivateUsage 0 and gives the same figure as PagefileUsage.
PROCESS_MEMORY_COUNTERS_EX Memory()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters));
    counters.PrivateUsage = std::max(counters.PrivateUsage, counters.PagefileUsage);
    return counters;
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

// A file of nSize bytes that starts with these and is a hole after them: nothing is written
// beyond the start, so it costs no disk space.
bool WriteSparseFile(const std::wstring& path, const std::string& start, uint64_t nSize)
{
    const HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD nWritten = 0;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(nSize);
    const bool bDone = hFile != INVALID_HANDLE_VALUE &&
                       ::WriteFile(hFile, start.data(), static_cast<DWORD>(start.size()), &nWritten, nullptr) &&
                       ::SetFilePointerEx(hFile, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(hFile);
    ::CloseHandle(hFile);
    return bDone;
}

// A QuickTime movie's first box: its size, 'ftyp', the brand 'qt  ', a version, 'qt  '.
const std::string kQuickTime("\0\0\0\x14" "ftypqt  \0\0\0\0qt  ", 20);
const std::string kPngStart("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);

// A 1-bit picture of 40000 x 40000 whose one colour is transparent: 1.3 MB of file, 6.4 GB as
// 32-bit pixels. Its zeros are deflated by hand: one literal, then runs of 258 at distance 1.
std::string HugeTransparentPng()
{
    std::string png = "\x89PNG\r\n\x1a\n", bits = "\x78\x01", header = "IHDR";
    auto be32 = [](std::string& s, uint32_t v) {
        for (int i = 24; i >= 0; i -= 8)
            s += static_cast<char>(v >> i);
    };
    auto chunk = [&](const std::string& body) {  // type and data, then their CRC
        be32(png, static_cast<uint32_t>(body.size() - 4));
        uint32_t c = 0xFFFFFFFF;
        for (unsigned char b : body) {
            c ^= b;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
        }
        be32(png += body, ~c);
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
    be32(header, 40000);
    be32(header, 40000);
    chunk(header + std::string("\x01\x03\x00\x00\x00", 5));  // 1 bit, palette
    chunk(std::string("PLTE\x00\x00\x00\xff\xff\xff", 10));
    chunk(std::string("tRNS\x00", 5));
    chunk("IDAT" + bits);
    chunk("IEND");
    return png;
}

std::atomic<DWORD> g_uiThread{0};
std::atomic<int> g_starved{0}, g_faults{0};

long StarveTheWorkerOnce(const wchar_t* pszPath)
{
    if (std::wcsstr(pszPath, L"\\b.png") && ::GetCurrentThreadId() != g_uiThread && g_starved++ == 0)
        return E_OUTOFMEMORY;
    return S_OK;
}

// A fault inside gdiplus.dll, as Wine's GDI+ reads through a pointer that is no object.
long FaultInsideGdiplus(const wchar_t*)
{
    UINT width = 0;
    ++g_faults;
    Gdiplus::DllExports::GdipGetImageWidth(reinterpret_cast<Gdiplus::GpImage*>(0x10), &width);
    return S_OK;
}

double Median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
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
    // Opens a.png with read-ahead on and, as a user who presses Space at once, steps over b.mov
    // to c.png while the worker is on it: the step's time in milliseconds.
    double StepOverTheMovie(const std::wstring& folder)
    {
        m_frame->m_bReadAhead = true;
        EXPECT_TRUE(m_frame->OpenFile(folder + L"a.png"));
        PumpMessages();  // the folder is read and the worker set going
        const auto start = std::chrono::steady_clock::now();
        Command(ID_FILE_NEXT);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(Title(), L"c.png - Vistrel");
        EXPECT_EQ(m_frame->m_listFiles.size(), 2u);  // the movie dropped
        Idle();
        return took.count();
    }
};
using NotPictures = WicPictures;

}  // namespace

TEST_F(WicPictures, AFolderWalkShowsWhatEitherDecoderKnowsAndPassesTheRest)
{
    const std::wstring folder = MakeScratchFolder(L"wic-walk");
    const std::string from = VISTREL_MEMORY_SAMPLES;
    const wchar_t* const samples[][2] = {{L"quad.png", L"a.png"},       {L"quad-none.dds", L"b.dds"},
                                         {L"quad-dxt1.dds", L"c.dds"},  {L"quad.jxr", L"d.jxr"},
                                         {L"anim.gif", L"e.gif"},       {L"quad.webp", L"f.webp"},
                                         {L"profile.jpg", L"h.jpg"},    {L"profile.png", L"i.png"}};
    for (const auto& sample : samples)
        ASSERT_TRUE(::CopyFileW((std::wstring(from.begin(), from.end()) + sample[0]).c_str(), (folder + sample[1]).c_str(), FALSE));
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
    for (const wchar_t* name : {L"a.png", L"b.dds", L"c.dds", L"d.jxr"}) {
        SCOPED_TRACE(testing::Message() << name);
        EXPECT_EQ(Title(), std::wstring(name) + L" - Vistrel");
        ExpectQuarters(m_frame->m_pImage);
        Next();
    }
    // GDI+ still plays the animation, at its own delays.
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

// A picture Windows can't keep in any bitmap is passed over or shown; memory that runs out on
// a worker leaves the picture to the step and in the list.
TEST_F(WicPictures, AStarvedWorkerKeepsThePictureAndOneTooBigForAnyBitmapIsPassedOrShown)
{
    const std::wstring folder = MakeScratchFolder(L"wic-huge");
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.png", 40, 30, Gdiplus::Color(255, 0, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"b.png", 41, 31, Gdiplus::Color(0, 255, 0)));
    ASSERT_TRUE(WriteTextFile(folder + L"c.png", HugeTransparentPng()));
    ASSERT_TRUE(WriteSolidPicture(folder + L"d.png", 42, 32, Gdiplus::Color(0, 0, 255)));
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
    EXPECT_EQ(PixelAt(m_frame->m_pImage, 5, 5), 0xFF00FF00u);
    EXPECT_EQ(m_frame->m_listFiles.size(), 4u);
    Next();
    if (Title() == L"c.png - Vistrel") {
        EXPECT_EQ(m_frame->m_sizeImage, CSize(40000, 40000));
        Next();
    }
    EXPECT_EQ(Title(), L"d.png - Vistrel");
    EXPECT_EQ(PixelAt(m_frame->m_pImage, 5, 5), 0xFF0000FFu);
}

// The step, then the decode's own limits: the gate comes first (a movie is a verdict whatever
// the limit), then the file's size against the share, then a stop asked of the thread's reads.
TEST_F(NotPictures, AMovieOf3GiBCostsTheStepWhatA3ByteFileDoesAndNoFileIsReadWholeOverItsShare)
{
    const std::wstring folder = MakeScratchFolder(L"not-pictures"), movie = folder + L"b.mov";
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.png", 320, 240, Gdiplus::Color(255, 0, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"c.png", 300, 200, Gdiplus::Color(0, 0, 255)));
    std::vector<double> smallSteps, largeSteps;
    uint64_t nPeakBefore = 0;
    // Two rounds to warm (decoders listed, pictures once through the cache), then three measured;
    // each open reads the folder again, the movie back in the list and a new file each time.
    for (int i = 0; i < 5; ++i) {
        if (i == 2)
            nPeakBefore = Memory().PeakWorkingSetSize;
        ASSERT_TRUE(WriteSparseFile(movie, kQuickTime.substr(0, 3), 3));
        const double fSmallStep = StepOverTheMovie(folder);
        ASSERT_TRUE(WriteSparseFile(movie, kQuickTime, kLarge));
        const double fLargeStep = StepOverTheMovie(folder);
        if (i >= 2) {
            smallSteps.push_back(fSmallStep);
            largeSteps.push_back(fLargeStep);
        }
    }
    const double fSmall = Median(smallSteps), fLarge = Median(largeSteps);
    EXPECT_LE(fLarge, 1.5 * fSmall + 50) << "3 bytes: " << fSmall << " ms, 3 GiB: " << fLarge << " ms";

    const std::wstring png = folder + L"big.png", small = folder + L"d.png";
    ASSERT_TRUE(WriteSparseFile(png, kPngStart, kLarge));
    // Half transparent, so that it is kept at four bytes a pixel.
    ASSERT_TRUE(WriteSolidPicture(small, 64, 48, Gdiplus::Color(128, 0, 128, 0)));
    EXPECT_EQ(DecodePicture(movie, true, 1).status, DecodeStatus::Rejected);
    EXPECT_EQ(DecodePicture(png, true, 64 * kMiB).status, DecodeStatus::NoMemory);
    // The share covers the file's bytes and the decoded pixels together.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(small.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(DecodePicture(small, true, 64 * 48 * 4).status, DecodeStatus::NoMemory);
    const DecodeResult fits = DecodePicture(small, true, 64 * 48 * 4 + data.nFileSizeLow);
    EXPECT_EQ(fits.status, DecodeStatus::Decoded);
    delete fits.pImage;
    std::atomic<bool> bStopping{true};
    StopReadsOnThisThreadWhen(&bStopping);
    EXPECT_EQ(DecodePicture(png, true).status, DecodeStatus::Unreadable);
    EXPECT_EQ(DecodePicture(movie, true).status, DecodeStatus::Rejected);
    StopReadsOnThisThreadWhen(nullptr);
    const uint64_t nGrowth = Memory().PeakWorkingSetSize - nPeakBefore;
    EXPECT_LE(nGrowth, 64 * kMiB) << nGrowth / kMiB << " MiB";
    ::DeleteFileW(movie.c_str());
    ::DeleteFileW(png.c_str());
}

// A decoder fault on one worker while another is stuck for good (on a lock the fault left
// held, say): closing the window waits two seconds at most, lets the pool go with the stuck
// worker still in it, and the application's end then leaves GDI+ running under it.
TEST_F(NotPictures, AfterADecoderFaultClosingWaitsAtMostTwoSecondsForAStuckWorker)
{
    const std::wstring folder = MakeScratchFolder(L"not-pictures-stuck");
    for (const wchar_t* pszName : {L"a.png", L"b.png", L"c.png", L"d.png"})
        ASSERT_TRUE(WriteSolidPicture(folder + pszName, 32, 24, Gdiplus::Color(0, 0, 255)));
    const HANDLE hStuck = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE hNever = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ReadAheadHooks hooks;
    hooks.decode = [hStuck, hNever](const std::wstring& strPath, bool, uint64_t) {
        ReadAheadHooks::Decoded decoded;
        if (strPath.ends_with(L"b.png")) {
            ::WaitForSingleObject(hStuck, 10000);  // the other worker is stuck first
            decoded.status = DecodeStatus::Faulted;
        } else {
            ::SetEvent(hStuck);
            ::WaitForSingleObject(hNever, INFINITE);
        }
        return decoded;
    };
    hooks.release = [](void*) {};
    hooks.stamp = [](const std::wstring&) { return FileStamp{true, 1, 0}; };
    hooks.memory = [] { return MemoryStatus{1ull << 40, 1ull << 40, false}; };
    m_frame->m_pReadAhead = std::make_unique<ReadAhead>(std::move(hooks), 2);
    m_frame->m_bReadAhead = true;
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    for (int i = 0; i < 500 && ::WaitForSingleObject(hStuck, 0) != WAIT_OBJECT_0; ++i)
        PumpMessages(10);
    ASSERT_EQ(::WaitForSingleObject(hStuck, 0), WAIT_OBJECT_0);
    for (int i = 0; i < 500 && !m_frame->m_pReadAhead->GetCounts().bStopped; ++i)
        ::Sleep(10);
    ASSERT_TRUE(m_frame->m_pReadAhead->GetCounts().bStopped);

    const auto start = std::chrono::steady_clock::now();
    ::DestroyWindow(m_hWnd);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(::IsWindow(m_hWnd));
    EXPECT_GE(took.count(), 1.9);
    EXPECT_LE(took.count(), 3.5);  // two seconds and the window's own teardown, under load
    EXPECT_TRUE(ReadAheadLeftWorkersRunning());

    // The application's end leaves its GDI+ session open under the stuck worker.
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&theApp.m_gdiplusToken, &input, nullptr), Gdiplus::Ok);
    const ULONG_PTR token = theApp.m_gdiplusToken;
    theApp.ExitInstance();
    EXPECT_EQ(theApp.m_gdiplusToken, token);
    Gdiplus::GdiplusShutdown(token);
    theApp.m_gdiplusToken = 0;
    ::SetEvent(hNever);  // the stuck worker may end now; its pool stays let go
}

// Each fault leaves a picture's worth of pixels, its decoder and the file's bytes behind unless
// the release after it finds them: 100 faults on a 2000 x 1500 picture would keep 860 MiB.
TEST(DecodeFaultRelease, AHundredContainedFaultsLeavePrivateBytesFlat)
{
    GdiplusSession gdiplus;
    const std::wstring path = MakeScratchFolder(L"wic-leak") + L"boom.png";
    ASSERT_TRUE(WriteSolidPicture(path, 2000, 1500, Gdiplus::Color(10, 20, 30)));
    const PixelCopyCheck previous = SetPixelCopyCheckForTesting(&FaultInsideGdiplus);
    g_faults = 0;
    int64_t nBefore = 0;
    for (int i = 0; i < 105; ++i) {
        if (i == 5)
            nBefore = static_cast<int64_t>(Memory().PrivateUsage);
        ASSERT_EQ(DecodePicture(path, true).status, DecodeStatus::Faulted) << i;
    }
    const int64_t nGrowth = static_cast<int64_t>(Memory().PrivateUsage) - nBefore;
    SetPixelCopyCheckForTesting(previous);
    EXPECT_EQ(g_faults, 105);
    EXPECT_LT(nGrowth, 24 << 20) << nGrowth;
}
