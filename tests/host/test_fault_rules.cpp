#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/fault_rules.h"

TEST(FaultRules, HardwareFaultsAreTheProcessorsAndMemorysOwn)
{
    for (unsigned long code : {0xC0000005UL, 0xC0000006UL, 0xC000008CUL, 0x80000002UL, 0xC000001DUL, 0xC0000096UL,
                               0xC0000094UL, 0xC0000095UL, 0xC000008DUL, 0xC0000090UL, 0xC0000093UL, 0xC00002B4UL,
                               0xC00002B5UL})
        EXPECT_TRUE(IsHardwareFault(code)) << std::hex << code;
    // Stack overflow, guard page, breakpoint, single step, C++ throws (GCC's and MSVC's), debug
    // text, thread names, a code raised on purpose, no exception at all.
    for (unsigned long code : {0xC00000FDUL, 0x80000001UL, 0x80000003UL, 0x80000004UL, 0x20474343UL, 0xE06D7363UL,
                               0x40010006UL, 0x406D1388UL, 0xE0000001UL, 0UL})
        EXPECT_FALSE(IsHardwareFault(code)) << std::hex << code;
}

TEST(FaultRules, FailuresHaveWarningOrErrorSeverity)
{
    EXPECT_TRUE(ReportsFailure(0xC0000005UL));
    EXPECT_TRUE(ReportsFailure(0x80000002UL));
    EXPECT_TRUE(ReportsFailure(0xE06D7363UL));
    EXPECT_FALSE(ReportsFailure(0x20474343UL));  // GCC's C++ throw
    EXPECT_FALSE(ReportsFailure(0x21474343UL));  // GCC's unwind
    EXPECT_FALSE(ReportsFailure(0x40010006UL));  // debug text
    EXPECT_FALSE(ReportsFailure(0x406D1388UL));  // thread name
}

TEST(FaultRules, CallsAtOrBelowAreCountedFromTheInnermost)
{
    const std::vector<std::uintptr_t> open = {9000, 8000, 7000};
    // A new call deeper than all of them: every one is still running.
    EXPECT_EQ(CallsAtOrBelow(open, 6000), 0u);
    // A new call where the innermost was, or above it: those never returned.
    EXPECT_EQ(CallsAtOrBelow(open, 7000), 1u);
    EXPECT_EQ(CallsAtOrBelow(open, 8500), 2u);
    EXPECT_EQ(CallsAtOrBelow(open, 9999), 3u);
    // The outermost returning: it and the two it made.
    EXPECT_EQ(CallsAtOrBelow(open, 9000), 3u);
    EXPECT_EQ(CallsAtOrBelow({}, 5000), 0u);
}
