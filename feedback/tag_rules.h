#pragma once
// Text and position of the tag label over the main window.
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/geometry.h"

// The zoom as a whole percentage, truncated toward zero.
int32_t ZoomPercent(float fZoom);

// "name (NN%)": file name and zoom percentage.
std::wstring FormatInfo(std::wstring_view fileName, float fZoom);

// The info line followed by the word for what just happened, if any.
std::wstring TagText(std::wstring_view info, const wchar_t* extra);

// Screen rectangle of the label for a measured text rectangle, just above the owner, with
// nAir pixels on either side of the text (1 at 96 DPI) and never above nTop (the top of
// the owner's monitor, 0 on the primary display).
CRect PlaceTag(const CRect& rcOwner, const CRect& rcMeasured, int32_t nAir = 1, int32_t nTop = 0);
