#pragma once
// Zoom and layout arithmetic of the main window: displayed size, window rectangle,
// scroll position and the spot kept in the middle. No platform calls.
#include <cstdint>

#include "framework/geometry.h"

// Zoom steps stop here so that a displayed size stays far from the int32 range.
inline constexpr float kMaxZoom = 64.0f;

// A displayed size never exceeds this many pixels per axis, so that sums of sizes,
// scroll positions and screen coordinates stay within int32.
inline constexpr int32_t kMaxDisplayedExtent = 1 << 30;

// "No area limit" in fit mode: the picture is only shrunk to the work area.
inline constexpr uint32_t kNoAreaLimit = 0xFFFFFFFFu;

// The window without a picture at 96 DPI.
inline constexpr int32_t kEmptyWindowWidth = 320;
inline constexpr int32_t kEmptyWindowHeight = 240;

struct LayoutInput {
    bool bHasImage;
    CSize sizeImage;
    float fZoom;
    int32_t nViewMode;
    uint32_t nMaxArea;
    CPoint ptCenter;
    CRect rcWork;
    // The lower limits of the shift onto the screen: the corner of the window's monitor,
    // (0, 0) on the primary display.
    CPoint ptLowest{};
    // The window without a picture, at the display's scale.
    CSize sizeEmpty{kEmptyWindowWidth, kEmptyWindowHeight};
};

struct LayoutResult {
    float fZoom;
    uint32_t nMaxArea;
    CSize sizeView;
    CRect rcWindow;
};

LayoutResult ComputeLayout(const LayoutInput& in);

struct ScrollResult {
    CSize sizeScrollMax;
    CPoint ptScroll;
};

// With a picture: scroll limits for the new sizes and the position that either starts
// at the top, horizontally centred (bRecentre), or keeps (fCenterX, fCenterY) in the middle.
ScrollResult ComputeScroll(bool bRecentre, CSize sizeView, CSize sizeClient, CPoint ptScroll,
                           float fCenterX, float fCenterY);

struct ViewCenter {
    float fX, fY;
};

ViewCenter ComputeViewCenter(bool bHasImage, CPoint ptScroll, CSize sizeClient, CSize sizeView);

float ZoomInStep(float z);
float ZoomOutStep(float z);
