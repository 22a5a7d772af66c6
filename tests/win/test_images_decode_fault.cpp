// A decoder that crashes on a file: the guard turns a fault inside the platform's imaging
// code into a file that can't be shown, the walk steps over it, and decoding goes on as
// before on every thread; a fault in the program's own code inside the guard still ends the
// program. The decoders are replaced by ones that fault inside GDI+ on files named boom.png.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "framework/handler_calls.h"
#include "images/decode/decode_guard.h"
#include "images/decode/imaging_code.h"
#include "images/decode/picture_decode.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

std::atomic<int> g_faults{0};
const unsigned long kAccessViolation = EXCEPTION_ACCESS_VIOLATION;

// Writes through a null pointer read from a volatile: the compiler can neither drop the
// store nor see the fault coming.
void WriteThroughNull()
{
    volatile int* volatile p = nullptr;
    *p = 1;
}

// A flat GDI+ call on an image that is no object: Wine's GDI+ reads through it and faults
// inside gdiplus.dll; a GDI+ that checks its objects may refuse it instead.
void FaultInsideGdiplus()
{
    UINT width = 0;
    Gdiplus::DllExports::GdipGetImageWidth(reinterpret_cast<Gdiplus::GpImage*>(0x10), &width);
}

// Whether this platform's GDI+ faults on that call (asked under a guard).
bool GdiplusFaultsOnNoObject()
{
    auto probe = [] { FaultInsideGdiplus(); };
    return !CallGuarded(probe);
}

// boom.png makes GDI+ fault; where it does not, the file is refused all the same.
Gdiplus::Bitmap* FaultOnBoom(IStream* pStream, const wchar_t* pszPath)
{
    if (std::wcsstr(pszPath, L"\\boom.png")) {
        ++g_faults;
        FaultInsideGdiplus();
        return nullptr;
    }
    return OpenBitmapStream(pStream, pszPath);
}

// The imaging component's path faults on boom.png too, just before its pixels are copied.
long FaultOnBoomPixels(const wchar_t* pszPath)
{
    if (std::wcsstr(pszPath, L"\\boom.png")) {
        ++g_faults;
        FaultInsideGdiplus();
    }
    return 0;
}

// The real main window with the faulting decoder for the test's duration.
class DecodeFault : public MainFrameTest {
protected:
    DecodeFault()
        : m_previous(SetBitmapOpenerForTesting(&FaultOnBoom)), m_previousCheck(SetPixelCopyCheckForTesting(&FaultOnBoomPixels))
    {
        g_faults = 0;
    }
    // The step's own decode is under test: no worker decodes (and faults) ahead of it.
    void SetUp() override
    {
        MainFrameTest::SetUp();
        m_frame->m_bReadAhead = false;
    }
    ~DecodeFault() override
    {
        SetBitmapOpenerForTesting(m_previous);
        SetPixelCopyCheckForTesting(m_previousCheck);
    }
    std::vector<std::wstring> Names() const { return {m_frame->m_listFiles.begin(), m_frame->m_listFiles.end()}; }
    std::wstring Current() const
    {
        return m_frame->m_itCurrent == m_frame->m_listFiles.end() ? L"<end>" : *m_frame->m_itCurrent;
    }
    BitmapOpener m_previous;
    PixelCopyCheck m_previousCheck;
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

// Each fault inside the imaging code is taken by the innermost guard frame of its own
// thread, whatever guards other threads hold open: a deeper guard, like a handler inside the
// decoder, handles it first and the guards around never see it. A C++ throw passes through
// nested guards.
TEST(DecodeGuard, TakesEachFaultInTheInnermostGuardOfItsThread)
{
    GdiplusSession gdiplus;
    if (!GdiplusFaultsOnNoObject())
        GTEST_SKIP() << "this GDI+ refuses a call on no object without faulting";
    HANDLE hOpen = ::CreateEventW(nullptr, TRUE, FALSE, nullptr), hGo = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(hOpen && hGo);
    unsigned long innerCode = 0, outerCode = 0, code = 0;
    bool innerReturned = false, outerReturned = true;
    volatile int afterInner = 0;  // a write the fault cuts off may be left undone otherwise
    auto fault = [] { FaultInsideGdiplus(); };
    // The holder's inner guard takes its first fault, its outer one the second.
    auto holderCalls = [&] {
        innerReturned = CallGuarded(fault, &innerCode);
        afterInner = afterInner + 1;
        ::SetEvent(hOpen);
        ::WaitForSingleObject(hGo, INFINITE);
        FaultInsideGdiplus();
        afterInner = afterInner + 1;
    };
    // This thread's guard, opened before the holder's, still takes this thread's fault.
    std::thread holder;
    auto startHolderThenFault = [&] {
        holder = std::thread([&] { outerReturned = CallGuarded(holderCalls, &outerCode); });
        ::WaitForSingleObject(hOpen, 10000);
        FaultInsideGdiplus();
    };
    EXPECT_FALSE(CallGuarded(startHolderThenFault, &code));
    EXPECT_EQ(code, kAccessViolation);
    auto thrower = [] { throw std::runtime_error("decoder said no"); };
    auto nestedThrow = [&] { CallGuarded(thrower); };
    EXPECT_THROW(CallGuarded(nestedThrow), std::runtime_error);
    auto nestedFault = [&] { EXPECT_FALSE(CallGuarded(fault, &code)); };
    code = 0;
    EXPECT_TRUE(CallGuarded(nestedFault));
    EXPECT_EQ(code, kAccessViolation);

    ::SetEvent(hGo);
    holder.join();
    EXPECT_FALSE(innerReturned);
    EXPECT_EQ(innerCode, kAccessViolation);
    EXPECT_FALSE(outerReturned);
    EXPECT_EQ(outerCode, kAccessViolation);
    EXPECT_EQ(afterInner, 1);
    ::CloseHandle(hOpen);
    ::CloseHandle(hGo);
}

// Only GDI+ and its codecs count as imaging code: not the program, the C runtime or the system.
TEST(DecodeGuard, KnowsTheImagingCodeByItsModule)
{
    auto at = [](const wchar_t* module, const char* function) {
        const void* address = reinterpret_cast<const void*>(::GetProcAddress(::LoadLibraryW(module), function));
        EXPECT_NE(address, nullptr) << function;
        return IsInImagingCode(address);
    };
    EXPECT_TRUE(at(L"gdiplus.dll", "GdipGetImageWidth") && at(L"windowscodecs.dll", "DllGetClassObject"));
    EXPECT_FALSE(at(L"ntdll.dll", "memcpy") || at(L"msvcrt.dll", "memcpy") || at(L"kernel32.dll", "GetTickCount"));
    EXPECT_FALSE(IsInImagingCode(reinterpret_cast<const void*>(&WriteThroughNull)));
}

// The fault of a damaged file met most: GDI+ copying pixels into a buffer that is not there.
// Wine's gdiplus faults in the runtime's memcpy it calls (ucrtbase.dll).
TEST(DecodeGuard, GdiplusCopyingIntoABadBufferIsContained)
{
    GdiplusSession gdiplus;
    Gdiplus::Bitmap bitmap(64, 64, PixelFormat32bppARGB);
    auto lockIntoBadBuffer = [&] {
        Gdiplus::Rect rect(0, 0, 64, 64);
        Gdiplus::BitmapData data{64, 64, 256, PixelFormat32bppARGB, reinterpret_cast<void*>(0x10), 0};
        bitmap.LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                        &data);
    };
    unsigned long code = 0;
    if (CallGuarded(lockIntoBadBuffer, &code))
        GTEST_SKIP() << "this GDI+ refuses the buffer without faulting";
    EXPECT_EQ(code, kAccessViolation);
}

// Runs fn under a guard on a thread of its own, as the read-ahead worker decodes.
template <class F>
void CallGuardedOnAThread(F fn)
{
    std::thread([&] { CallGuarded(fn); }).join();
}

// A fault of the program's own inside a guard is not the decoder's: it ends the program with
// the fault's code, on a worker thread as on the main one.
TEST(DecodeGuardDeathTest, AFaultInTheProgramsOwnCodeEndsTheProgram)
{
    auto own = [] { WriteThroughNull(); };
    EXPECT_EXIT(CallGuarded(own), ::testing::ExitedWithCode(static_cast<int>(kAccessViolation)), "");
    EXPECT_EXIT(CallGuardedOnAThread(own), ::testing::ExitedWithCode(static_cast<int>(kAccessViolation)), "");
}


// The system's memcpy on a bad pointer from the program's own code; the store after the call
// keeps it from being a tail call, which would leave no frame of the caller.
volatile int g_afterCopy = 0;
void CopyIntoBadPointerHere()
{
    static const char bytes[256] = {};
    const auto copy = reinterpret_cast<void* (*)(void*, const void*, size_t)>(
        reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryW(L"msvcrt.dll"), "memcpy")));
    copy(reinterpret_cast<void*>(0x10), bytes, sizeof(bytes));
    g_afterCopy = 1;
}

// The tests' own DLL stands for a codec extension: its faults, in its own code or in the C
// runtime it calls, end the program until it counts as imaging code, and are contained after;
// the runtime's fault called from the program's own code ends it, on a worker as on the main
// thread. A contained fault leaves nothing behind on a thread that runs handlers: a handler
// call found abandoned later, for another reason, is let go, not blamed on that fault.
TEST(DecodeGuardDeathTest, FaultsOfACodecModuleAndTheRuntimeItCallsAreContained)
{
    std::string path = VISTREL_FAULT_MODULE_PATH;
    std::replace(path.begin(), path.end(), '/', '\\');
    const HMODULE hModule = ::LoadLibraryA(path.c_str());
    auto exported = [&](const char* name) {
        return reinterpret_cast<void (*)()>(reinterpret_cast<void*>(::GetProcAddress(hModule, name)));
    };
    void (*inModule)() = exported("FaultModuleWriteThroughNull");
    void (*inRuntimeFromModule)() = exported("FaultModuleCopyIntoBadPointer");
    ASSERT_TRUE(inModule && inRuntimeFromModule);
    const auto endsWithFault = ::testing::ExitedWithCode(static_cast<int>(kAccessViolation));
    EXPECT_EXIT(CallGuarded(inModule), endsWithFault, "");
    EXPECT_EXIT(CallGuarded(inRuntimeFromModule), endsWithFault, "");

    CountModuleAsImagingCode(reinterpret_cast<const void*>(inModule));
    unsigned long code = 0;
    EXPECT_FALSE(CallGuarded(inModule, &code));
    EXPECT_EQ(code, kAccessViolation);
    code = 0;
    EXPECT_FALSE(CallGuarded(inRuntimeFromModule, &code));
    EXPECT_EQ(code, kAccessViolation);
    std::thread([&] { EXPECT_FALSE(CallGuarded(inRuntimeFromModule)); }).join();
    auto inRuntimeFromOwnCode = [] { CopyIntoBadPointerHere(); };
    EXPECT_EXIT(CallGuarded(inRuntimeFromOwnCode), endsWithFault, "");
    EXPECT_EXIT(CallGuardedOnAThread(inRuntimeFromOwnCode), endsWithFault, "");

    auto containThenAbandon = [&] {
        HandlerCall never;  // opened and never left, as a call the system cut short
        CallGuarded(inRuntimeFromModule);
        CheckHandlerCallsReturned();
        std::exit(0);
    };
    EXPECT_EXIT(containThenAbandon(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
