#pragma once
// Limits of the main window's position and size against the desktop work area.
#include <cstdint>

#include "framework/geometry.h"

// A rectangle proposed while the user moves the window, pulled back inside: first under
// the work area's bottom and right edges, then to ptLowest at the top and left (the
// monitor's own corner, coordinate 0 on the primary display, not the work area's), which
// win when the window is larger than the room between the limits.
CRect ClampMovingRect(CRect rc, const CRect& rcWork, CPoint ptLowest = {});

// The rectangle moved by d.
CRect MovedRect(const CRect& rc, CSize d);

// Half of v, rounded down: the same as a truncating half for every non-negative v, and without
// a one-pixel jump towards zero on a monitor left of or above the primary display.
int64_t FloorHalf(int64_t v);

// Centre with halves rounded down.
CPoint RectCenter(const CRect& rc);

// The largest size the user may drag the window to: the displayed picture, within the work area.
CSize MaxTrackSize(const CRect& rcWork, CSize sizeView);

// Width times height, saturated at 0xFFFFFFFF (no area limit).
uint32_t RectArea(const CRect& rc);
