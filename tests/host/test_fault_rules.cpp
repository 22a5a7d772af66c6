#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "framework/fault_rules.h"

// Faults of the processor and of memory, not what others raise and handle: stack overflow,
// breakpoint, C++ throws (which, like debug text, report no failure either).
TEST(FaultRules, HardwareFaultsAndFailures)
{
    for (unsigned long code : {0xC0000005UL, 0x80000002UL, 0xC0000094UL, 0xC00002B5UL})
        EXPECT_TRUE(IsHardwareFault(code) && ReportsFailure(code)) << std::hex << code;
    for (unsigned long code : {0xC00000FDUL, 0x80000003UL, 0x20474343UL, 0xE06D7363UL, 0UL})
        EXPECT_FALSE(IsHardwareFault(code)) << std::hex << code;
    EXPECT_FALSE(ReportsFailure(0x20474343UL) || ReportsFailure(0x40010006UL));  // GCC's throw, debug text
}

TEST(FaultRules, CallsAtOrBelowAreCountedFromTheInnermost)
{
    const std::vector<std::uintptr_t> open = {9000, 8000, 7000};
    EXPECT_EQ(CallsAtOrBelow(open, 6000), 0u);  // a new call deeper than all: every one still runs
    EXPECT_EQ(CallsAtOrBelow(open, 7000), 1u);  // where the innermost was, or above: those never returned
    EXPECT_EQ(CallsAtOrBelow(open, 8500), 2u);
    EXPECT_EQ(CallsAtOrBelow(open, 9999), 3u);
    EXPECT_EQ(CallsAtOrBelow({}, 5000), 0u);
}

// The platform's imaging code is GDI+ and its codec modules, whatever the case of the name a
// module gives itself; never the program, the C runtime or the system's core.
TEST(FaultRules, ImagingModulesAreGdiplusAndItsCodecs)
{
    for (const char* name : {"gdiplus.dll", "GdiPlus.dll", "WindowsCodecs.dll", "windowscodecsext.dll",
                             "WindowsCodecsRaw.DLL"})
        EXPECT_TRUE(IsImagingModule(name)) << name;
    for (const char* name : {"vistrel.exe", "ntdll.dll", "kernel32.dll", "KERNELBASE.dll", "ucrtbase.dll",
                             "msvcrt.dll", "gdi32.dll", "gdiplus", "gdiplus.dll.mui", "xgdiplus.dll", ""})
        EXPECT_FALSE(IsImagingModule(name)) << name;
}

// The runtime and the core run for whoever called them: the first frame outside them decides,
// and a walk that breaks off or runs too deep decides nothing.
TEST(FaultRules, AFaultIsJudgedByTheFirstFrameOutsideTheRuntime)
{
    for (const char* name : {"msvcrt.dll", "ucrtbase.dll", "VCRUNTIME140.dll", "ntdll.dll", "KERNELBASE.dll"})
        EXPECT_TRUE(IsRuntimeModule(name) && !IsImagingModule(name)) << name;
    for (const char* name : {"vistrel.exe", "gdiplus.dll", "user32.dll", "msvcrt", ""})
        EXPECT_FALSE(IsRuntimeModule(name)) << name;
    using F = FrameCode;
    auto judge = [](std::vector<F> frames) {
        return IsImagingFault([&](int depth) {
            return depth < static_cast<int>(frames.size()) ? std::optional<F>(frames[depth]) : std::nullopt;
        });
    };
    EXPECT_TRUE(judge({F::Imaging, F::Other}) && judge({F::Runtime, F::Runtime, F::Imaging, F::Other}));
    EXPECT_FALSE(judge({F::Runtime, F::Other, F::Imaging}) || judge({F::Other, F::Imaging}) ||
                 judge({F::Runtime, F::Runtime}) || judge({}));
    std::vector<F> deep(kMaxFaultFrames, F::Runtime);
    deep.push_back(F::Imaging);
    EXPECT_FALSE(judge(deep));
    deep.erase(deep.begin());
    EXPECT_TRUE(judge(deep));
}
