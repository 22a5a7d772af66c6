#pragma once
// Conversions between the platform-free geometry and the Win32 structures.
#include <windows.h>
#include "framework/geometry.h"

inline POINT ToPOINT(const CPoint& pt) { return POINT{pt.x, pt.y}; }
inline CPoint FromPOINT(const POINT& pt) { return CPoint(pt.x, pt.y); }
inline RECT ToRECT(const CRect& rc) { return RECT{rc.left, rc.top, rc.right, rc.bottom}; }
inline CRect FromRECT(const RECT& rc) { return CRect(rc.left, rc.top, rc.right, rc.bottom); }

// Read afresh on every use: the taskbar may have moved since the last message.
inline CRect WorkArea()
{
    RECT rc{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
    return FromRECT(rc);
}
