// A decoder that crashes on a file: the guard turns the fault into a file that can't be
// shown, the walk steps over it, and decoding goes on as before on every thread. The
// decoder is replaced by one that faults on purpose on files named boom.png.
#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "images/decode_guard.h"
#include "images/picture_decode.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

using Gdiplus::Color;

std::atomic<int> g_faults{0};
volatile int g_sink = 0;

// Writes through a null pointer read from a volatile: the compiler can neither drop the
// store nor see the fault coming.
void WriteThroughNull()
{
    volatile int* volatile p = nullptr;
    *p = 1;
}

int DivideByZero()
{
    volatile int numerator = 7, zero = 0;
    return numerator / zero;
}

bool IsBoom(const wchar_t* pszPath)
{
    const std::wstring path = pszPath;
    const std::wstring name = L"\\boom.png";
    return path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0;
}

Gdiplus::Bitmap* FaultOnBoom(const wchar_t* pszPath)
{
    if (IsBoom(pszPath)) {
        ++g_faults;
        WriteThroughNull();
    }
    return OpenBitmapFile(pszPath);
}

// The faulting decoder for the test's duration.
class FaultingDecoder {
public:
    FaultingDecoder() : m_previous(SetBitmapOpenerForTesting(&FaultOnBoom)) { g_faults = 0; }
    ~FaultingDecoder() { SetBitmapOpenerForTesting(m_previous); }
    FaultingDecoder(const FaultingDecoder&) = delete;
    FaultingDecoder& operator=(const FaultingDecoder&) = delete;

private:
    BitmapOpener m_previous;
};

class DecodeFault : public MainFrameTest {
protected:
    std::vector<std::wstring> Names() const { return {m_frame->m_listFiles.begin(), m_frame->m_listFiles.end()}; }
    std::wstring Current() const
    {
        return m_frame->m_itCurrent == m_frame->m_listFiles.end() ? L"<end>" : *m_frame->m_itCurrent;
    }
    std::wstring Title() const { return m_frame->GetWindowText(); }

    // a.png, boom.png (a good picture the decoder faults on), c.png.
    std::wstring MakeFolder(const std::wstring& name)
    {
        const std::wstring folder = MakeScratchFolder(name);
        EXPECT_TRUE(WriteSolidPicture(folder + L"a.png", 40, 30, Color(255, 0, 0)));
        EXPECT_TRUE(WriteSolidPicture(folder + L"boom.png", 41, 31, Color(0, 255, 0)));
        EXPECT_TRUE(WriteSolidPicture(folder + L"c.png", 42, 32, Color(0, 0, 255)));
        return folder;
    }

    FaultingDecoder m_decoder;
};

TEST_F(DecodeFault, AFaultingLoadFailsAndChangesNothing)
{
    const std::wstring folder = MakeFolder(L"fault-load");
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    PumpMessages();
    Gdiplus::Bitmap* const image = m_frame->m_pImage;
    const std::vector<std::wstring> names = Names();

    EXPECT_EQ(m_frame->LoadPicture(folder, L"boom.png", 0), -1);
    EXPECT_EQ(g_faults, 1);
    EXPECT_FALSE(m_frame->OpenFile(folder + L"boom.png"));
    EXPECT_EQ(g_faults, 2);
    EXPECT_EQ(m_frame->m_pImage, image);
    EXPECT_EQ(m_frame->m_strFileName, L"a.png");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(40, 30));
    EXPECT_EQ(Title(), L"a.png - Vistrel");
    PumpMessages();
    EXPECT_EQ(Names(), names);
    EXPECT_EQ(Current(), L"a.png");
}

TEST_F(DecodeFault, SpaceStepsOverTheFaultingFileAndDecodingGoesOn)
{
    const std::wstring folder = MakeFolder(L"fault-walk");
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    PumpMessages();
    ASSERT_EQ(Names(), (std::vector<std::wstring>{L"a.png", L"boom.png", L"c.png"}));

    Command(ID_FILE_NEXT);
    EXPECT_EQ(g_faults, 1);
    EXPECT_EQ(Current(), L"c.png");
    EXPECT_EQ(Title(), L"c.png - Vistrel");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(42, 32));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.png", L"c.png"}));

    // The entry is gone: the walk goes round without touching the file again.
    Command(ID_FILE_NEXT);
    EXPECT_EQ(Current(), L"a.png");
    Command(ID_FILE_PREV);
    EXPECT_EQ(Current(), L"c.png");
    EXPECT_EQ(g_faults, 1);

    // Later decodes, faulting ones included, behave as the first ones did.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m_frame->LoadPicture(folder, L"a.png", 0), 0);
        EXPECT_EQ(m_frame->m_sizeImage, CSize(40, 30));
        EXPECT_EQ(m_frame->LoadPicture(folder, L"boom.png", 0), -1);
        EXPECT_EQ(m_frame->LoadPicture(folder, L"c.png", 0), 0);
        EXPECT_EQ(Title(), L"c.png - Vistrel");
    }
    EXPECT_EQ(g_faults, 4);

    // Reopening brings the entry back, and stepping drops it again.
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    PumpMessages();
    EXPECT_EQ(Names().size(), 3u);
    Command(ID_FILE_NEXT);
    EXPECT_EQ(Current(), L"c.png");
    EXPECT_EQ(g_faults, 5);
}

// Two threads decode at once, each hitting the fault again and again: each thread's guard
// takes its own faults and nothing else.
TEST_F(DecodeFault, EveryThreadIsGuardedOnItsOwn)
{
    const std::wstring folder = MakeFolder(L"fault-threads");
    constexpr int kRounds = 10;
    auto decodeRounds = [&folder](int& good, int& refused) {
        for (int i = 0; i < kRounds; ++i) {
            Gdiplus::Bitmap* pBoom = DecodePictureFile(folder + L"boom.png", true);
            refused += pBoom == nullptr;
            delete pBoom;
            Gdiplus::Bitmap* pGood = DecodePictureFile(folder + L"c.png", true);
            good += pGood && pGood->GetWidth() == 42;
            delete pGood;
        }
    };
    int workerGood = 0, workerRefused = 0, mainGood = 0, mainRefused = 0;
    std::thread worker(decodeRounds, std::ref(workerGood), std::ref(workerRefused));
    decodeRounds(mainGood, mainRefused);
    worker.join();
    EXPECT_EQ(workerGood, kRounds);
    EXPECT_EQ(workerRefused, kRounds);
    EXPECT_EQ(mainGood, kRounds);
    EXPECT_EQ(mainRefused, kRounds);
    EXPECT_EQ(g_faults, 2 * kRounds);
}

TEST(DecodeGuard, ReportsTheFaultsCodeAndReturnsNormallyOtherwise)
{
    unsigned long code = 1;
    int runs = 0;
    auto fine = [&runs] { ++runs; };
    EXPECT_TRUE(CallGuarded(fine, &code));
    EXPECT_EQ(code, 0ul);
    EXPECT_EQ(runs, 1);

    auto write = [] { WriteThroughNull(); };
    EXPECT_FALSE(CallGuarded(write, &code));
    EXPECT_EQ(code, static_cast<unsigned long>(EXCEPTION_ACCESS_VIOLATION));

    int quotient = 7;
    auto divide = [&quotient] { quotient = DivideByZero(); };
    EXPECT_FALSE(CallGuarded(divide, &code));
    EXPECT_EQ(code, static_cast<unsigned long>(EXCEPTION_INT_DIVIDE_BY_ZERO));
    EXPECT_EQ(quotient, 7);
}

TEST(DecodeGuard, CppExceptionsPassThroughAndTheGuardStillWorksAfter)
{
    auto thrower = [] { throw std::runtime_error("decoder said no"); };
    EXPECT_THROW(CallGuarded(thrower), std::runtime_error);
    unsigned long code = 0;
    auto write = [] { WriteThroughNull(); };
    EXPECT_FALSE(CallGuarded(write, &code));
    EXPECT_EQ(code, static_cast<unsigned long>(EXCEPTION_ACCESS_VIOLATION));

    // Thrown from inside a guard nested in another: both are given back on the way out.
    auto nestedThrow = [&] { CallGuarded(thrower); };
    EXPECT_THROW(CallGuarded(nestedThrow), std::runtime_error);
    EXPECT_FALSE(CallGuarded(write, &code));
}

TEST(DecodeGuard, TheInnermostGuardTakesTheFault)
{
    unsigned long innerCode = 0, outerCode = 0;
    bool innerReturned = true;
    volatile int afterInner = 0;  // a write the fault cuts off may be left undone otherwise
    auto write = [] { WriteThroughNull(); };
    auto outer = [&] {
        innerReturned = CallGuarded(write, &innerCode);
        afterInner = afterInner + 1;  // the outer call goes on after the inner one came back
        WriteThroughNull();
        afterInner = afterInner + 1;
    };
    EXPECT_FALSE(CallGuarded(outer, &outerCode));
    EXPECT_FALSE(innerReturned);
    EXPECT_EQ(innerCode, static_cast<unsigned long>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_EQ(outerCode, static_cast<unsigned long>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_EQ(afterInner, 1);
}

// A thread holding a guard open is not where another thread's fault comes back to.
TEST(DecodeGuard, AGuardOpenOnOneThreadDoesNotTakeAnothersFault)
{
    HANDLE hOpen = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE hGo = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(hOpen && hGo);
    unsigned long holderCode = 0;
    bool holderReturned = true;
    std::thread holder([&] {
        auto waitThenFault = [&] {
            ::SetEvent(hOpen);
            ::WaitForSingleObject(hGo, INFINITE);
            g_sink = DivideByZero();
        };
        holderReturned = CallGuarded(waitThenFault, &holderCode);
    });
    ASSERT_EQ(::WaitForSingleObject(hOpen, 10000), WAIT_OBJECT_0);
    unsigned long code = 0;
    auto write = [] { WriteThroughNull(); };
    EXPECT_FALSE(CallGuarded(write, &code));
    EXPECT_EQ(code, static_cast<unsigned long>(EXCEPTION_ACCESS_VIOLATION));
    ::SetEvent(hGo);
    holder.join();
    EXPECT_FALSE(holderReturned);
    EXPECT_EQ(holderCode, static_cast<unsigned long>(EXCEPTION_INT_DIVIDE_BY_ZERO));
    ::CloseHandle(hOpen);
    ::CloseHandle(hGo);
}

}  // namespace
