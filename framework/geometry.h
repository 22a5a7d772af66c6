#pragma once
// Integer geometry under the framework's names. Platform-free so that layout,
// scrolling and placement rules build and run on any host; the Win32 side
// converts to POINT/SIZE/RECT through framework/win_geometry.h.
#include <cstdint>

struct CSize {
    int32_t cx = 0;
    int32_t cy = 0;
    constexpr CSize() = default;
    constexpr CSize(int32_t w, int32_t h) : cx(w), cy(h) {}
    friend constexpr bool operator==(const CSize&, const CSize&) = default;
};

struct CPoint {
    int32_t x = 0;
    int32_t y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int32_t px, int32_t py) : x(px), y(py) {}
    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
    // Difference of two points as a size, as the framework's CPoint gives it.
    friend constexpr CSize operator-(const CPoint& a, const CPoint& b) { return {a.x - b.x, a.y - b.y}; }
};

struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    constexpr CRect() = default;
    constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }
    friend constexpr bool operator==(const CRect&, const CRect&) = default;
};
