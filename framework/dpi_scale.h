#pragma once
// Interface measures at the display's scale: a measure given for 96 dots per inch grows
// with the DPI of the window's monitor. Picture pixels never go through here.
#include <cstdint>

#include "framework/geometry.h"

inline constexpr uint32_t kBaseDpi = 96;

// v times nDpi / 96, rounded half away from zero as MulDiv rounds; a DPI of 0 (not known)
// leaves v as it is.
int32_t DpiScale(int32_t v, uint32_t nDpi);
CSize DpiScale(CSize size, uint32_t nDpi);
