#pragma once
// Asking the system for DPI awareness before the first window. The calls are looked up
// at run time, so the program still starts where they are missing (Windows 7 has only
// the system-aware level).
#include "app/dpi_awareness_rules.h"

// Asks for one level with whichever call this system has for it.
bool TryDpiAwareness(DpiAwareness level);

// The call InitInstance asks through; replaceable so that a test sees which levels were asked for.
extern TryDpiAwarenessFn g_pfnTryDpiAwareness;
