#pragma once
// The order in which the program asks the system for DPI awareness. No platform calls.
#include <cstdint>

enum class DpiAwareness : int32_t {
    None = 0,          // nothing asked for, or nothing granted: the system scales the program
    PerMonitorV2 = 1,  // per-monitor, version 2 (Windows 10 1703 and later)
    PerMonitor = 2,    // the older per-monitor level (Windows 8.1 and later)
    System = 3,        // system-aware (Vista and later)
};

// Asks for one level; true when the system granted it.
using TryDpiAwarenessFn = bool (*)(DpiAwareness);

// With the setting on, asks for each level in turn, best first, and stops at the first
// granted; with it off, asks for nothing. Gives the level granted.
DpiAwareness ChooseDpiAwareness(bool bEnabled, TryDpiAwarenessFn pfnTry);

// Whether the program answers to changes of DPI itself: only when granted per-monitor
// awareness; otherwise the system scales what it shows, and following a change would scale it twice.
bool IsPerMonitorAware(DpiAwareness level);
