#pragma once
// Frame timing of animated pictures: which delay, whether to re-arm the timer, next frame.
#include <cstdint>

// Delay of frame nFrame in hundredths of a second: 10 when the picture stores none for
// it, at least 1 otherwise.
int32_t ChooseFrameDelay(const int32_t* delays, uint32_t nDelays, uint32_t nFrame);

// Number of 32-bit delays in a frame-delay property of lengthBytes bytes.
uint32_t DelayCountFromLength(uint32_t lengthBytes);

struct FrameTimerDecision {
    bool bArm;            // call SetTimer with nPeriodMs
    uint32_t nPeriodMs;   // delay times 10 ms, at most 0x7FFFFFFF
    int32_t nDelay;       // the delay the timer runs with afterwards
};

// A periodic timer already running with the same delay is left alone unless forced.
FrameTimerDecision DecideFrameTimer(bool bForce, int32_t nDelay, int32_t nLastDelay);

uint32_t NextFrameIndex(uint32_t nCurrent, uint32_t nCount);
