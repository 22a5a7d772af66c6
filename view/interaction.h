#pragma once
// Decisions of the pointer and the keys over the main window: resize band, pan or
// move, drag and key scrolling, wheel gathering. No platform calls.
#include <cstdint>

#include "framework/geometry.h"

// Edge or corner under the pointer as a WMSZ_ code (0 none, 1 left, 2 right, 3 top,
// 4 top-left, 5 top-right, 6 bottom, 7 bottom-left, 8 bottom-right). The band is 5 pixels
// wide at 96 DPI.
inline constexpr int32_t kSizingBand = 5;
int32_t ClassifySizingEdge(CPoint ptClient, CSize sizeClient, int32_t nBand = kSizingBand);

enum class CursorShape { Arrow, SizeNWSE, SizeNESW, SizeWE, SizeNS, SizeAll };

// Sizing cursor of an edge code; Arrow for 0 (the pan cursor is the caller's choice).
CursorShape CursorForEdge(int32_t edge);

bool ComputeCanPan(bool bHasImage, CSize sizeScrollMax, bool bShiftDown);

// Scroll position that keeps the picture under the pointer during a pan.
CPoint DragScrollTarget(CPoint point, CPoint ptDragStart, CPoint ptDragScroll, CSize sizeScrollMax);

struct KeyScroll {
    bool bMoved;
    CPoint ptScroll;
    CSize scrollBy;  // what to pass to ScrollWindow
};

// A key or wheel step is 60 pixels at 96 DPI; a page is the client height.
inline constexpr int32_t kScrollStep = 60;
KeyScroll ComputeKeyScroll(uint32_t vk, CSize sizeView, CPoint ptScroll, CSize sizeClient,
                           int32_t nStep = kScrollStep);

enum class WheelAction { None, ZoomIn, ZoomOut, Pan };

struct WheelOutcome {
    int16_t nWheelDelta;  // the gathered movement to keep
    WheelAction action;
    uint32_t vkPan;  // the key to pan with when action is Pan
};

WheelOutcome AccumulateWheel(int16_t nWheelDelta, int16_t zDelta, bool bShiftDown, bool bCanPan, bool bDragging,
                             CSize sizeScrollMax);

// Scroll position after the window has been resized: only the upper limit applies,
// because the window is never larger than the displayed picture.
CPoint ClampScrollToMax(CPoint ptScroll, CSize sizeScrollMax);
