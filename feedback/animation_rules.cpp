#include "feedback/animation_rules.h"

#include <algorithm>

namespace {

constexpr int32_t kDefaultDelay = 10;  // 100 ms when the picture stores no delay
constexpr int64_t kMaxPeriodMs = 0x7FFFFFFF;

}  // namespace

int32_t ChooseFrameDelay(const int32_t* delays, uint32_t nDelays, uint32_t nFrame)
{
    if (delays == nullptr || nFrame >= nDelays)
        return kDefaultDelay;
    return std::max(delays[nFrame], 1);
}

uint32_t DelayCountFromLength(uint32_t lengthBytes)
{
    return lengthBytes / 4;
}

FrameTimerDecision DecideFrameTimer(bool bForce, int32_t nDelay, int32_t nLastDelay)
{
    if (!bForce && nDelay == nLastDelay)
        return {false, 0, nLastDelay};
    const int64_t period = std::clamp<int64_t>(int64_t{nDelay} * 10, 0, kMaxPeriodMs);
    return {true, static_cast<uint32_t>(period), nDelay};
}

uint32_t NextFrameIndex(uint32_t nCurrent, uint32_t nCount)
{
    const uint64_t next = uint64_t{nCurrent} + 1;
    return next >= nCount ? 0 : static_cast<uint32_t>(next);
}
