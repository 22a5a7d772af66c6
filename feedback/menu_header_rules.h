#pragma once
// The owner-drawn header of the context menu: its size and its caption-coloured gradient.
#include <cstdint>

#include "framework/geometry.h"

// One end of the gradient, channels in the 16-bit form of GDI's TRIVERTEX.
struct HeaderVertex {
    int32_t x = 0;
    int32_t y = 0;
    uint16_t red = 0;
    uint16_t green = 0;
    uint16_t blue = 0;
    uint16_t alpha = 0;
};

struct HeaderGradient {
    HeaderVertex from;  // (0, 0), caption colour
    HeaderVertex to;    // item's right and bottom, gradient caption colour
};

// Colours as 0x00BBGGRR; the fill runs horizontally from the device origin.
HeaderGradient PlanHeaderGradient(uint32_t captionColor, uint32_t gradientColor, const CRect& rcItem);

// The item's size for the measured rectangle of its text: nAir pixels above and below
// (2 at 96 DPI).
CSize HeaderItemSize(const CRect& rcText, int32_t nAir = 2);
