#include <gtest/gtest.h>

#include <vector>

#include "feedback/animation_rules.h"

TEST(FrameDelay, StoredDelaysRaisedToOneAndMissingOnesAreTen)
{
    const int32_t delays[] = {0, -5, 7};
    EXPECT_EQ(ChooseFrameDelay(delays, 3, 0), 1);
    EXPECT_EQ(ChooseFrameDelay(delays, 3, 1), 1);
    EXPECT_EQ(ChooseFrameDelay(delays, 3, 2), 7);
    // Five frames, three stored delays.
    EXPECT_EQ(ChooseFrameDelay(delays, 3, 3), 10);
    EXPECT_EQ(ChooseFrameDelay(delays, 3, 4), 10);
    EXPECT_EQ(ChooseFrameDelay(nullptr, 0, 0), 10);
    EXPECT_EQ(ChooseFrameDelay(nullptr, 3, 1), 10);
    EXPECT_EQ(ChooseFrameDelay(delays, 0, 0), 10);
}

TEST(FrameDelay, CountFromPropertyLength)
{
    EXPECT_EQ(DelayCountFromLength(12), 3u);
    EXPECT_EQ(DelayCountFromLength(15), 3u);
    EXPECT_EQ(DelayCountFromLength(3), 0u);
    EXPECT_EQ(DelayCountFromLength(0), 0u);
}

TEST(FrameTimer, ReArmedOnlyWhenForcedOrChanged)
{
    FrameTimerDecision d = DecideFrameTimer(true, 10, 10);
    EXPECT_TRUE(d.bArm);
    EXPECT_EQ(d.nPeriodMs, 100u);
    EXPECT_EQ(d.nDelay, 10);

    d = DecideFrameTimer(false, 10, 10);
    EXPECT_FALSE(d.bArm);
    EXPECT_EQ(d.nDelay, 10);

    d = DecideFrameTimer(false, 7, 10);
    EXPECT_TRUE(d.bArm);
    EXPECT_EQ(d.nPeriodMs, 70u);
    EXPECT_EQ(d.nDelay, 7);
}

TEST(FrameTimer, HugeDelaysClampThePeriod)
{
    EXPECT_EQ(DecideFrameTimer(false, 214748364, 1).nPeriodMs, 2147483640u);
    EXPECT_EQ(DecideFrameTimer(false, 214748365, 1).nPeriodMs, 0x7FFFFFFFu);
    EXPECT_EQ(DecideFrameTimer(true, INT32_MAX, 1).nPeriodMs, 0x7FFFFFFFu);
}

TEST(FrameTimer, OneLoopArmsOnlyWhereTheDelayChanges)
{
    const int32_t delays[] = {5, 5, 5, 8};
    const uint32_t count = 4;
    int32_t last = 0;
    uint32_t frame = 0;
    std::vector<uint32_t> periods;
    auto start = [&](bool force) {
        const FrameTimerDecision d = DecideFrameTimer(force, ChooseFrameDelay(delays, count, frame), last);
        last = d.nDelay;
        if (d.bArm)
            periods.push_back(d.nPeriodMs);
    };
    start(true);
    for (int tick = 0; tick < 8; ++tick) {
        frame = NextFrameIndex(frame, count);
        start(false);
    }
    EXPECT_EQ(frame, 0u);
    // Armed at load, then at each switch between 50 ms and 80 ms over two loops.
    EXPECT_EQ(periods, (std::vector<uint32_t>{50, 80, 50, 80, 50}));
}

TEST(FrameIndex, WrapsAtTheCount)
{
    EXPECT_EQ(NextFrameIndex(0, 5), 1u);
    EXPECT_EQ(NextFrameIndex(3, 5), 4u);
    EXPECT_EQ(NextFrameIndex(4, 5), 0u);
    EXPECT_EQ(NextFrameIndex(7, 5), 0u);
    EXPECT_EQ(NextFrameIndex(0, 0), 0u);
    EXPECT_EQ(NextFrameIndex(UINT32_MAX, UINT32_MAX), 0u);
}
