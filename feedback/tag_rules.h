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

// Screen rectangle of the label for a measured text rectangle, just above the owner.
CRect PlaceTag(const CRect& rcOwner, const CRect& rcMeasured);
