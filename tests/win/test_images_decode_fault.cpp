// A decoder that crashes on a file: the guard turns the fault into a file that can't be
// shown, the walk steps over it, and decoding goes on as before on every thread. The
// decoder is replaced by one that faults on purpose on files named boom.png.
#include <windows.h>

#include <atomic>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "images/decode/decode_guard.h"
#include "images/decode/picture_decode.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

std::atomic<int> g_faults{0};
volatile int g_sink = 0;
const unsigned long kAccessViolation = EXCEPTION_ACCESS_VIOLATION;
const unsigned long kIntDivideByZero = EXCEPTION_INT_DIVIDE_BY_ZERO;

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

Gdiplus::Bitmap* FaultOnBoom(IStream* pStream, const wchar_t* pszPath)
{
    if (std::wcsstr(pszPath, L"\\boom.png")) {
        ++g_faults;
        WriteThroughNull();
    }
    return OpenBitmapStream(pStream, pszPath);
}

// The real main window with the faulting decoder for the test's duration.
class DecodeFault : public MainFrameTest {
protected:
    DecodeFault() : m_previous(SetBitmapOpenerForTesting(&FaultOnBoom)) { g_faults = 0; }
    ~DecodeFault() override { SetBitmapOpenerForTesting(m_previous); }
    std::vector<std::wstring> Names() const { return {m_frame->m_listFiles.begin(), m_frame->m_listFiles.end()}; }
    std::wstring Current() const
    {
        return m_frame->m_itCurrent == m_frame->m_listFiles.end() ? L"<end>" : *m_frame->m_itCurrent;
    }
    BitmapOpener m_previous;
};

TEST_F(DecodeFault, AFaultingFileCantBeShownAndTheWalkStepsOverIt)
{
    const std::wstring folder = MakeScratchFolder(L"fault-walk");
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.png", 40, 30, Gdiplus::Color(255, 0, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"boom.png", 41, 31, Gdiplus::Color(0, 255, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"c.png", 42, 32, Gdiplus::Color(0, 0, 255)));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    PumpMessages();
    const std::vector<std::wstring> all = {L"a.png", L"boom.png", L"c.png"};
    ASSERT_EQ(Names(), all);
    Gdiplus::Bitmap* const image = m_frame->m_pImage;

    // A faulting load fails and changes nothing.
    EXPECT_EQ(m_frame->LoadPicture(folder, L"boom.png", 0), -1);
    PumpMessages();
    EXPECT_EQ(g_faults, 1);
    EXPECT_EQ(m_frame->m_pImage, image);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(40, 30));
    EXPECT_EQ(m_frame->GetWindowText(), L"a.png - Vistrel");
    EXPECT_EQ(Names(), all);
    EXPECT_EQ(Current(), L"a.png");

    // Next steps over it and drops it: the walk goes round without touching it again.
    Command(ID_FILE_NEXT);
    EXPECT_EQ(Current(), L"c.png");
    EXPECT_EQ(m_frame->GetWindowText(), L"c.png - Vistrel");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.png", L"c.png"}));
    Command(ID_FILE_NEXT);
    EXPECT_EQ(Current(), L"a.png");
    EXPECT_EQ(g_faults, 2);

    // Later decodes, faulting ones included, behave as the first ones did.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m_frame->LoadPicture(folder, L"boom.png", 0), -1);
        EXPECT_EQ(m_frame->LoadPicture(folder, L"c.png", 0), 0);
        EXPECT_EQ(m_frame->m_sizeImage, CSize(42, 32));
    }
    EXPECT_EQ(g_faults, 5);
}

// Each hardware fault is taken by the innermost guard of its own thread, whatever guards
// other threads hold open, and a C++ throw passes through nested guards.
TEST(DecodeGuard, TakesEachFaultInTheInnermostGuardOfItsThread)
{
    HANDLE hOpen = ::CreateEventW(nullptr, TRUE, FALSE, nullptr), hGo = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(hOpen && hGo);
    unsigned long innerCode = 0, outerCode = 0, code = 0;
    bool innerReturned = true, outerReturned = true;
    volatile int afterInner = 0;  // a write the fault cuts off may be left undone otherwise
    auto write = [] { WriteThroughNull(); };
    // The holder's inner guard takes its first fault, its outer one the second.
    auto holderCalls = [&] {
        innerReturned = CallGuarded(write, &innerCode);
        afterInner = afterInner + 1;
        ::SetEvent(hOpen);
        ::WaitForSingleObject(hGo, INFINITE);
        g_sink = DivideByZero();
        afterInner = afterInner + 1;
    };
    // This thread's guard, opened before the holder's, still takes this thread's fault.
    std::thread holder;
    auto startHolderThenFault = [&] {
        holder = std::thread([&] { outerReturned = CallGuarded(holderCalls, &outerCode); });
        ::WaitForSingleObject(hOpen, 10000);
        WriteThroughNull();
    };
    EXPECT_FALSE(CallGuarded(startHolderThenFault, &code));
    EXPECT_EQ(code, kAccessViolation);
    auto thrower = [] { throw std::runtime_error("decoder said no"); };
    auto nestedThrow = [&] { CallGuarded(thrower); };
    EXPECT_THROW(CallGuarded(nestedThrow), std::runtime_error);
    EXPECT_FALSE(CallGuarded(write, &code));
    EXPECT_EQ(code, kAccessViolation);

    ::SetEvent(hGo);
    holder.join();
    EXPECT_FALSE(innerReturned);
    EXPECT_EQ(innerCode, kAccessViolation);
    EXPECT_FALSE(outerReturned);
    EXPECT_EQ(outerCode, kIntDivideByZero);
    EXPECT_EQ(afterInner, 1);
    ::CloseHandle(hOpen);
    ::CloseHandle(hGo);
}

}  // namespace
