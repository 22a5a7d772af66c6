#pragma once
// Rectangles and modes of one paint of the picture; the Win32 side hands them to GDI+.
#include <cstdint>

#include "framework/geometry.h"

struct PaintRectF {
    float X, Y, Width, Height;
};

// Where to draw: the clip box itself, in client pixels.
PaintRectF PaintDestRect(const CRect& clip);

// What to draw: the clip box moved by the scroll position and divided by the zoom,
// in picture pixels.
PaintRectF PaintSourceRect(const CRect& clip, CPoint ptScroll, float fZoom);

// GDI+ InterpolationMode for a stored interpolation choice (0..5); any other value
// draws with the default mode.
int32_t GdiplusInterpolationMode(int32_t nInterpolation);
