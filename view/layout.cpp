#include "view/layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// An integer-by-zoom product truncated toward zero, held inside the displayable range
// (also for NaN, which only a corrupted factor could give).
int32_t ScaledExtent(int32_t n, float fZoom)
{
    const double v = static_cast<double>(n) * static_cast<double>(fZoom);
    if (std::isnan(v))
        return 0;
    if (v >= kMaxDisplayedExtent)
        return kMaxDisplayedExtent;
    if (v <= -kMaxDisplayedExtent)
        return -kMaxDisplayedExtent;
    return static_cast<int32_t>(v);
}

int32_t ClampToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int32_t TruncToInt32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

uint64_t AreaOf(int32_t cx, int32_t cy)
{
    return static_cast<uint64_t>(std::max(cx, 0)) * static_cast<uint64_t>(std::max(cy, 0));
}

// The window area remembered as the fit limit; an area past 32 bits is as good as unlimited.
uint32_t StoredArea(int32_t cx, int32_t cy)
{
    return static_cast<uint32_t>(std::min<uint64_t>(AreaOf(cx, cy), kNoAreaLimit));
}

// Offset that brings an edge pair back onto the screen; the lower limit is tested first.
int64_t ShiftOntoScreen(int64_t low, int64_t high, int64_t lowest, int64_t upper)
{
    if (low < lowest)
        return lowest - low;
    if (high > upper)
        return upper - high;
    return 0;
}

}  // namespace

LayoutResult ComputeLayout(const LayoutInput& in)
{
    LayoutResult out{in.fZoom, in.nMaxArea, {}, {}};
    const int32_t workW = ClampToInt32(int64_t{in.rcWork.right} - in.rcWork.left);
    const int32_t workH = ClampToInt32(int64_t{in.rcWork.bottom} - in.rcWork.top);
    const int32_t picW = in.sizeImage.cx;
    const int32_t picH = in.sizeImage.cy;
    CSize sizeWindow;

    if (!in.bHasImage) {
        out.sizeView = in.sizeEmpty;
        sizeWindow = out.sizeView;
    } else if (in.nViewMode == 1) {
        out.sizeView = {ScaledExtent(picW, in.fZoom), ScaledExtent(picH, in.fZoom)};
        sizeWindow = {std::min(workW, out.sizeView.cx), std::min(workH, out.sizeView.cy)};
        out.nMaxArea = StoredArea(sizeWindow.cx, sizeWindow.cy);
    } else {
        out.sizeView = in.sizeImage;
        out.fZoom = 1.0f;
        // The cross products are 64-bit: a very tall or wide picture times the work
        // area's side does not fit 32 bits, while the quotient always does.
        if (out.sizeView.cx > workW && picW > 0) {
            out.fZoom = static_cast<float>(static_cast<double>(workW) / picW);
            out.sizeView.cx = workW;
            out.sizeView.cy = static_cast<int32_t>(int64_t{workW} * picH / picW);
        }
        if (out.sizeView.cy > workH && picH > 0) {
            out.fZoom = static_cast<float>(static_cast<double>(workH) / picH);
            out.sizeView.cy = workH;
            out.sizeView.cx = static_cast<int32_t>(int64_t{workH} * picW / picH);
        }
        const double picArea = static_cast<double>(picW) * static_cast<double>(picH);
        if (AreaOf(out.sizeView.cx, out.sizeView.cy) > in.nMaxArea && picArea > 0) {
            const float ratio = static_cast<float>(static_cast<double>(in.nMaxArea) / picArea);
            out.fZoom = std::sqrt(ratio);
            out.sizeView = {ScaledExtent(picW, out.fZoom), ScaledExtent(picH, out.fZoom)};
        }
        sizeWindow = out.sizeView;
    }

    const int64_t left = int64_t{in.ptCenter.x} - sizeWindow.cx / 2;
    const int64_t top = int64_t{in.ptCenter.y} - sizeWindow.cy / 2;
    const int64_t right = left + sizeWindow.cx;
    const int64_t bottom = top + sizeWindow.cy;
    const int64_t dx = ShiftOntoScreen(left, right, in.ptLowest.x, in.rcWork.right);
    const int64_t dy = ShiftOntoScreen(top, bottom, in.ptLowest.y, in.rcWork.bottom);
    out.rcWindow = {ClampToInt32(left + dx), ClampToInt32(top + dy), ClampToInt32(right + dx),
                    ClampToInt32(bottom + dy)};
    return out;
}

// The previous position plays no part: every branch derives the position afresh.
ScrollResult ComputeScroll(bool bRecentre, CSize sizeView, CSize sizeClient, CPoint /*ptScroll*/,
                           float fCenterX, float fCenterY)
{
    ScrollResult out;
    out.sizeScrollMax = {ClampToInt32(int64_t{sizeView.cx} - sizeClient.cx),
                         ClampToInt32(int64_t{sizeView.cy} - sizeClient.cy)};
    if (bRecentre) {
        out.ptScroll = {out.sizeScrollMax.cx > 0 ? out.sizeScrollMax.cx / 2 : 0, 0};
        return out;
    }
    auto keepCentre = [](int32_t view, int32_t client, int32_t scrollMax, float fCenter) {
        if (scrollMax <= 0)
            return 0;
        const double v = static_cast<double>(view) * static_cast<double>(fCenter) - (client / 2);
        return std::max(std::min(TruncToInt32(v), scrollMax), 0);
    };
    out.ptScroll = {keepCentre(sizeView.cx, sizeClient.cx, out.sizeScrollMax.cx, fCenterX),
                    keepCentre(sizeView.cy, sizeClient.cy, out.sizeScrollMax.cy, fCenterY)};
    return out;
}

ViewCenter ComputeViewCenter(bool bHasImage, CPoint ptScroll, CSize sizeClient, CSize sizeView)
{
    // A displayed axis of 0 pixels (a tiny picture zoomed far out) has no spot to keep;
    // its middle is used so that a later zoom in does not divide by zero.
    auto fraction = [](int32_t scroll, int32_t client, int32_t view) {
        if (view == 0)
            return 0.5f;
        return static_cast<float>((scroll + client / 2.0) / view);
    };
    if (!bHasImage)
        return {0.5f, 0.5f};
    return {fraction(ptScroll.x, sizeClient.cx, sizeView.cx), fraction(ptScroll.y, sizeClient.cy, sizeView.cy)};
}

float ZoomInStep(float z)
{
    // A factor of 0 (a fit to a zero area) or one too small to grow by a step would
    // leave zoom in without effect: it starts again from the floor zoom out keeps.
    if (!(z >= std::numeric_limits<float>::min()))
        return 0.001f;
    const double zd = z;
    if (zd > static_cast<double>(0.94f) && zd < 1.0)
        return 1.0f;
    return std::min(static_cast<float>(zd * static_cast<double>(1.05f)), kMaxZoom);
}

float ZoomOutStep(float z)
{
    const double zd = z;
    if (zd > 1.0 && zd < static_cast<double>(1.06f))
        return 1.0f;
    const float next = static_cast<float>(zd * static_cast<double>(0.95f));
    // Below the smallest normal float a step rounds back to the factor it came from, and
    // the zoom would stay stuck there both ways: such a factor counts as 0.
    return next < std::numeric_limits<float>::min() ? 0.001f : next;
}
