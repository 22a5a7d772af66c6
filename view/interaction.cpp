#include "view/interaction.h"

#include <algorithm>

namespace {

constexpr int32_t kWheelThreshold = 120;  // one notch

constexpr uint32_t VK_PRIOR = 0x21;
constexpr uint32_t VK_NEXT = 0x22;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;

int32_t ClampToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

int32_t ClassifySizingEdge(CPoint ptClient, CSize sizeClient, int32_t nBand)
{
    const bool top = ptClient.y < nBand;
    const bool bottom = int64_t{ptClient.y} >= int64_t{sizeClient.cy} - nBand;
    if (ptClient.x < nBand)
        return top ? 4 : bottom ? 7 : 1;
    if (int64_t{ptClient.x} >= int64_t{sizeClient.cx} - nBand)
        return top ? 5 : bottom ? 8 : 2;
    return top ? 3 : bottom ? 6 : 0;
}

CursorShape CursorForEdge(int32_t edge)
{
    switch (edge) {
    case 1:
    case 2:
        return CursorShape::SizeWE;
    case 3:
    case 6:
        return CursorShape::SizeNS;
    case 4:
    case 8:
        return CursorShape::SizeNWSE;
    case 5:
    case 7:
        return CursorShape::SizeNESW;
    default:
        return CursorShape::Arrow;
    }
}

bool ComputeCanPan(bool bHasImage, CSize sizeScrollMax, bool bShiftDown)
{
    return bHasImage && (sizeScrollMax.cx > 0 || sizeScrollMax.cy > 0) && !bShiftDown;
}

CPoint DragScrollTarget(CPoint point, CPoint ptDragStart, CPoint ptDragScroll, CSize sizeScrollMax)
{
    auto axis = [](int32_t pos, int32_t start, int32_t scroll, int32_t scrollMax) {
        const int64_t target = int64_t{scroll} - (int64_t{pos} - start);
        return ClampToInt32(std::max<int64_t>(std::min<int64_t>(target, scrollMax), 0));
    };
    return {axis(point.x, ptDragStart.x, ptDragScroll.x, sizeScrollMax.cx),
            axis(point.y, ptDragStart.y, ptDragScroll.y, sizeScrollMax.cy)};
}

KeyScroll ComputeKeyScroll(uint32_t vk, CSize sizeView, CPoint ptScroll, CSize sizeClient, int32_t nStep)
{
    KeyScroll out{false, ptScroll, {0, 0}};
    int64_t room = 0;
    int64_t limit = nStep;
    int32_t sign = 0;  // +1 moves the scroll position forward, -1 back
    bool vertical = false;
    switch (vk) {
    case VK_RIGHT:
        room = int64_t{sizeView.cx} - ptScroll.x - sizeClient.cx;
        sign = 1;
        break;
    case VK_LEFT:
        room = ptScroll.x;
        sign = -1;
        break;
    case VK_NEXT:
        limit = sizeClient.cy;
        [[fallthrough]];
    case VK_DOWN:
        room = int64_t{sizeView.cy} - ptScroll.y - sizeClient.cy;
        sign = 1;
        vertical = true;
        break;
    case VK_PRIOR:
        limit = sizeClient.cy;
        [[fallthrough]];
    case VK_UP:
        room = ptScroll.y;
        sign = -1;
        vertical = true;
        break;
    default:
        return out;
    }
    if (room <= 0)
        return out;
    const int32_t step = static_cast<int32_t>(std::min(room, limit));
    if (step <= 0)
        return out;
    out.bMoved = true;
    // The pixels move against the scroll position.
    if (vertical) {
        out.ptScroll.y = ClampToInt32(int64_t{ptScroll.y} + int64_t{sign} * step);
        out.scrollBy = {0, -sign * step};
    } else {
        out.ptScroll.x = ClampToInt32(int64_t{ptScroll.x} + int64_t{sign} * step);
        out.scrollBy = {-sign * step, 0};
    }
    return out;
}

WheelOutcome AccumulateWheel(int16_t nWheelDelta, int16_t zDelta, bool bShiftDown, bool bCanPan, bool bDragging,
                             CSize sizeScrollMax)
{
    // Saturating, so that a burst of extreme deltas cannot wrap to the opposite direction.
    const int32_t sum = std::clamp<int32_t>(int32_t{nWheelDelta} + zDelta, INT16_MIN, INT16_MAX);
    if (sum > -kWheelThreshold && sum < kWheelThreshold)
        return {static_cast<int16_t>(sum), WheelAction::None, 0};
    WheelOutcome out{0, WheelAction::None, 0};
    const bool forward = sum > 0;
    if (bShiftDown) {
        out.action = forward ? WheelAction::ZoomIn : WheelAction::ZoomOut;
    } else if (bCanPan && !bDragging) {
        out.action = WheelAction::Pan;
        const bool tall = sizeScrollMax.cy > 0;
        out.vkPan = forward ? (tall ? VK_UP : VK_LEFT) : (tall ? VK_DOWN : VK_RIGHT);
    }
    return out;
}

CPoint ClampScrollToMax(CPoint ptScroll, CSize sizeScrollMax)
{
    return {std::min(ptScroll.x, sizeScrollMax.cx), std::min(ptScroll.y, sizeScrollMax.cy)};
}
