// A file no decoder claims costs one small read whatever its size: a 3 GiB QuickTime movie
// between two pictures is stepped over as fast as a 3-byte file and never held in memory, and
// a picture too large for the memory share of its decode, or read on a thread told to stop,
// is not read whole either.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "app/vistrel_app.h"
#include "images/ahead/read_ahead.h"
#include "images/decode/file_in_memory.h"
#include "images/decode/picture_decode.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr uint64_t kMiB = 1ull << 20;
constexpr uint64_t kLarge = 3ull << 30;

// A file of nSize bytes that starts with these and is a hole after them: nothing is written
// beyond the start, so it costs no disk space.
bool WriteSparseFile(const std::wstring& path, const std::string& start, uint64_t nSize)
{
    const HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                       nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD nWritten = 0;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(nSize);
    bool bDone = ::WriteFile(hFile, start.data(), static_cast<DWORD>(start.size()), &nWritten, nullptr) &&
                 ::SetFilePointerEx(hFile, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(hFile);
    ::CloseHandle(hFile);
    return bDone;
}

// A QuickTime movie's first box: its size, 'ftyp', the brand 'qt  ', a version, 'qt  '.
const std::string kQuickTime("\0\0\0\x14" "ftypqt  \0\0\0\0qt  ", 20);
const std::string kPngStart("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);

uint64_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}

class NotPictures : public MainFrameTest {
protected:
    void TearDown() override
    {
        MainFrameTest::TearDown();
        for (const std::wstring& path : m_large)
            ::DeleteFileW(path.c_str());
    }

    std::wstring Folder(const wchar_t* pszName, uint64_t nMovieSize)
    {
        const std::wstring folder = MakeScratchFolder(pszName);
        EXPECT_TRUE(WriteSolidPicture(folder + L"a.png", 320, 240, Gdiplus::Color(255, 0, 0)));
        if (nMovieSize <= 3) {
            EXPECT_TRUE(WriteTextFile(folder + L"b.mov", kQuickTime.substr(0, 3)));
        } else {
            m_large.push_back(folder + L"b.mov");
            EXPECT_TRUE(WriteSparseFile(m_large.back(), kQuickTime, nMovieSize));
        }
        EXPECT_TRUE(WriteSolidPicture(folder + L"c.png", 300, 200, Gdiplus::Color(0, 0, 255)));
        return folder;
    }

    // Opens a.png with read-ahead on and, as a user who presses Space at once, steps over
    // b.mov to c.png while the worker is on it: the step's time in milliseconds.
    double StepOverTheMovie(const std::wstring& folder)
    {
        m_frame->m_bReadAhead = true;
        EXPECT_TRUE(m_frame->OpenFile(folder + L"a.png"));
        PumpMessages();  // the folder is read and the worker set going
        const auto start = std::chrono::steady_clock::now();
        Command(ID_FILE_NEXT);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(m_frame->m_strFileName, L"c.png");
        EXPECT_EQ(std::vector<std::wstring>(m_frame->m_listFiles.begin(), m_frame->m_listFiles.end()),
                  (std::vector<std::wstring>{L"a.png", L"c.png"}));
        PumpMessages();
        if (m_frame->m_pReadAhead)
            m_frame->m_pReadAhead->WaitUntilIdle();
        return took.count();
    }

    std::vector<std::wstring> m_large;
};

double Median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

}  // namespace

TEST_F(NotPictures, AMovieOf3GiBBetweenTwoPicturesCostsTheStepWhatA3ByteFileDoes)
{
    const std::wstring small = Folder(L"not-pictures-small", 3);
    const std::wstring large = Folder(L"not-pictures-large", kLarge);
    // Warm: decoders listed, pictures once through the cache.
    StepOverTheMovie(small);
    StepOverTheMovie(small);

    std::vector<double> smallSteps, largeSteps;
    const uint64_t nPeakBefore = PeakWorkingSet();
    // Each open reads the folder again, the movie back in the list.
    for (int i = 0; i < 3; ++i) {
        smallSteps.push_back(StepOverTheMovie(small));
        largeSteps.push_back(StepOverTheMovie(large));
    }
    const uint64_t nPeakAfter = PeakWorkingSet();
    const double fSmall = Median(smallSteps), fLarge = Median(largeSteps);
    EXPECT_LE(fLarge, 1.5 * fSmall + 50) << "3 bytes: " << fSmall << " ms, 3 GiB: " << fLarge << " ms";
    EXPECT_LE(nPeakAfter - nPeakBefore, 64 * kMiB) << (nPeakAfter - nPeakBefore) / kMiB << " MiB";
}

// The decode's own limits: the gate comes first (a movie is a verdict whatever the limit),
// then the file's size against the share, then a stop asked of the thread's reads.
TEST_F(NotPictures, AClaimedFileIsNotReadWholeOverItsShareNorOnceItsThreadIsStopped)
{
    const std::wstring folder = MakeScratchFolder(L"not-pictures-limits");
    m_large = {folder + L"big.png", folder + L"big.mov"};
    ASSERT_TRUE(WriteSparseFile(m_large[0], kPngStart, kLarge));
    ASSERT_TRUE(WriteSparseFile(m_large[1], kQuickTime, kLarge));
    // Half transparent, so that it is kept at four bytes a pixel.
    ASSERT_TRUE(WriteSolidPicture(folder + L"small.png", 64, 48, Gdiplus::Color(128, 0, 128, 0)));

    const uint64_t nPeakBefore = PeakWorkingSet();
    EXPECT_EQ(DecodePicture(m_large[1], true, 1).status, DecodeStatus::Rejected);
    EXPECT_EQ(DecodePicture(m_large[1], true).status, DecodeStatus::Rejected);
    EXPECT_EQ(DecodePicture(m_large[0], true, 64 * kMiB).status, DecodeStatus::NoMemory);
    // The share covers the file's bytes and the decoded pixels together.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW((folder + L"small.png").c_str(), GetFileExInfoStandard, &data));
    const uint64_t nSmallFile = data.nFileSizeLow;
    EXPECT_EQ(DecodePicture(folder + L"small.png", true, 64 * 48 * 4).status, DecodeStatus::NoMemory);
    const DecodeResult fits = DecodePicture(folder + L"small.png", true, 64 * 48 * 4 + nSmallFile);
    EXPECT_EQ(fits.status, DecodeStatus::Decoded);
    delete fits.pImage;

    std::atomic<bool> bStopping{true};
    StopReadsOnThisThreadWhen(&bStopping);
    EXPECT_EQ(DecodePicture(m_large[0], true).status, DecodeStatus::Unreadable);
    EXPECT_EQ(DecodePicture(m_large[1], true).status, DecodeStatus::Rejected);
    StopReadsOnThisThreadWhen(nullptr);
    EXPECT_LE(PeakWorkingSet() - nPeakBefore, 64 * kMiB);
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

    // The application's end keeps GDI+ up: a bitmap can still be made after it.
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&theApp.m_gdiplusToken, &input, nullptr), Gdiplus::Ok);
    const ULONG_PTR token = theApp.m_gdiplusToken;
    theApp.ExitInstance();
    EXPECT_EQ(theApp.m_gdiplusToken, token);
    Gdiplus::Bitmap probe(4, 4, PixelFormat32bppARGB);
    EXPECT_EQ(probe.GetLastStatus(), Gdiplus::Ok);
    Gdiplus::GdiplusShutdown(token);
    theApp.m_gdiplusToken = 0;
    ::SetEvent(hNever);  // the stuck worker may end now; its pool stays let go
}
