// The view model driven like the main window drives it: a fuzzed sequence of zoom and display
// mode commands, pictures loaded and turned, work-area changes, moves and resizes by the user,
// key, drag and wheel scrolling, paints, tag placement, background crops and frame timing.
// Input (FuzzedDataProvider): one byte per operation followed by that operation's values.
// Zoom factors are those the commands produce (steps from 1.0, the fit factors of mode 2) and
// arbitrary positive finite floats.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "feedback/animation_rules.h"
#include "feedback/tag_rules.h"
#include "integration/background_plan.h"
#include "mainframe/settings_rules.h"
#include "view/interaction.h"
#include "view/layout.h"
#include "view/paint_rules.h"
#include "view/placement.h"

#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr uint32_t VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27,
                   VK_DOWN = 0x28;

int32_t ConsumeCoord(FuzzedDataProvider& in)
{
    static constexpr int32_t kPicks[] = {0,        1,         -1,        2,        100,       1280,
                                         984,      100000,    -100000,   1 << 29,  1 << 30,   -(1 << 30),
                                         INT32_MAX, INT32_MAX - 1, INT32_MIN, INT32_MIN + 1};
    if (in.ConsumeBool())
        return in.PickValueInArray(kPicks);
    return in.ConsumeIntegral<int32_t>();
}

int32_t ConsumeExtent(FuzzedDataProvider& in)
{
    static constexpr int32_t kPicks[] = {0, 1, 2, 3, 100, 640, 1000, 3000, 100000, 1 << 30, INT32_MAX};
    if (in.ConsumeBool())
        return in.PickValueInArray(kPicks);
    return in.ConsumeIntegralInRange<int32_t>(0, INT32_MAX);
}

float ConsumePositiveZoom(FuzzedDataProvider& in)
{
    static constexpr float kPicks[] = {1.0f, 0.001f, kMaxZoom, 0.94f, 0.95f, 1.05f, 1.06f, 0.5f, 2.0f,
                                       std::numeric_limits<float>::min(), std::numeric_limits<float>::max()};
    if (in.ConsumeBool())
        return in.PickValueInArray(kPicks);
    const float z = std::fabs(in.ConsumeFloatingPoint<float>());
    return std::isfinite(z) && z > 0.0f ? z : 1.0f;
}

int64_t Width(const CRect& rc)
{
    return int64_t{rc.right} - rc.left;
}

int64_t Height(const CRect& rc)
{
    return int64_t{rc.bottom} - rc.top;
}

// Small enough that no coordinate of a window placed on it comes near the int32 limits.
bool IsModest(const CRect& rc)
{
    auto modest = [](int64_t v) { return v > -(int64_t{1} << 29) && v < (int64_t{1} << 29); };
    return modest(rc.left) && modest(rc.top) && modest(rc.right) && modest(rc.bottom);
}

void CheckZoomIn(float z)
{
    const float next = ZoomInStep(z);
    FUZZ_CHECK(std::isfinite(next) && next > 0.0f && next <= kMaxZoom);
    // Zooming in always enlarges until the ceiling, so no factor is a dead end.
    if (z < kMaxZoom)
        FUZZ_CHECK(next > z);
}

void CheckZoomOut(float z)
{
    const float next = ZoomOutStep(z);
    FUZZ_CHECK(std::isfinite(next) && next > 0.0f);
    FUZZ_CHECK(next <= z || next == 0.001f);
}

struct View {
    bool bHasImage = false;
    CSize sizeImage;
    float fZoom = 1.0f;
    int32_t nViewMode = 1;
    uint32_t nMaxArea = kNoAreaLimit;
    CPoint ptCenter;
    CRect rcWork{0, 0, 1280, 984};
    CRect rcWindow;
    CSize sizeClient;
    CSize sizeView{320, 240};
    CPoint ptScroll;
    CSize sizeScrollMax;
    float fCenterX = 0.0f;
    float fCenterY = 0.0f;
    int16_t nWheelDelta = 0;

    void CheckScroll() const
    {
        if (!bHasImage)
            return;
        FUZZ_CHECK(ptScroll.x >= 0 && ptScroll.x <= std::max(0, sizeScrollMax.cx));
        FUZZ_CHECK(ptScroll.y >= 0 && ptScroll.y <= std::max(0, sizeScrollMax.cy));
    }

    void UpdateViewCenter()
    {
        const ViewCenter c = ComputeViewCenter(bHasImage, ptScroll, sizeClient, sizeView);
        FUZZ_CHECK(std::isfinite(c.fX) && std::isfinite(c.fY));
        if (!bHasImage)
            FUZZ_CHECK(c.fX == 0.5f && c.fY == 0.5f);
        fCenterX = c.fX;
        fCenterY = c.fY;
    }

    void UpdateScrollPosition(bool bRecentre)
    {
        if (bHasImage) {
            const CPoint ptOld = ptScroll;
            const ScrollResult r = ComputeScroll(bRecentre, sizeView, sizeClient, ptScroll, fCenterX, fCenterY);
            const int64_t maxX = int64_t{sizeView.cx} - sizeClient.cx;
            const int64_t maxY = int64_t{sizeView.cy} - sizeClient.cy;
            FUZZ_CHECK(r.sizeScrollMax.cx == std::clamp<int64_t>(maxX, INT32_MIN, INT32_MAX));
            FUZZ_CHECK(r.sizeScrollMax.cy == std::clamp<int64_t>(maxY, INT32_MIN, INT32_MAX));
            sizeScrollMax = r.sizeScrollMax;
            ptScroll = r.ptScroll;
            CheckScroll();
            if (bRecentre) {
                FUZZ_CHECK(ptScroll.y == 0 && ptScroll.x == std::max(0, sizeScrollMax.cx / 2));
            } else {
                // Keeping the middle spot of the same view gives back the same position, give or
                // take what a float fraction of a large view can hold.
                const ViewCenter c = ComputeViewCenter(true, ptOld, sizeClient, sizeView);
                const ScrollResult again = ComputeScroll(false, sizeView, sizeClient, ptOld, c.fX, c.fY);
                if (ptOld.x >= 0 && ptOld.x <= sizeScrollMax.cx && sizeView.cx < (1 << 22))
                    FUZZ_CHECK(std::abs(int64_t{again.ptScroll.x} - ptOld.x) <= 1);
                if (ptOld.y >= 0 && ptOld.y <= sizeScrollMax.cy && sizeView.cy < (1 << 22))
                    FUZZ_CHECK(std::abs(int64_t{again.ptScroll.y} - ptOld.y) <= 1);
            }
        }
        if (bRecentre)
            UpdateViewCenter();
    }

    void LayoutView(bool bRecentre)
    {
        const LayoutInput input{bHasImage, sizeImage, fZoom, nViewMode, nMaxArea, ptCenter, rcWork};
        const LayoutResult r = ComputeLayout(input);
        FUZZ_CHECK(std::isfinite(fZoom) && fZoom >= 0.0f);  // 0 after fitting a zero area
        const int64_t workW = Width(rcWork), workH = Height(rcWork);

        CSize sizeWindow;
        if (!bHasImage) {
            FUZZ_CHECK(r.sizeView == CSize(320, 240));
            sizeWindow = r.sizeView;
        } else if (nViewMode == 1) {
            FUZZ_CHECK(r.fZoom == fZoom && r.sizeView.cx >= 0 && r.sizeView.cy >= 0);
            FUZZ_CHECK(r.sizeView.cx <= kMaxDisplayedExtent && r.sizeView.cy <= kMaxDisplayedExtent);
            // No more than the picture times the factor, truncated.
            FUZZ_CHECK(r.sizeView.cx <= static_cast<double>(sizeImage.cx) * fZoom);
            FUZZ_CHECK(r.sizeView.cy <= static_cast<double>(sizeImage.cy) * fZoom);
            sizeWindow = {static_cast<int32_t>(std::min<int64_t>(workW, r.sizeView.cx)),
                          static_cast<int32_t>(std::min<int64_t>(workH, r.sizeView.cy))};
            FUZZ_CHECK(r.nMaxArea == RectArea(CRect(0, 0, sizeWindow.cx, sizeWindow.cy)));
        } else {
            sizeWindow = r.sizeView;
            FUZZ_CHECK(r.nMaxArea == nMaxArea);
            // Mode 2 only ever shrinks the picture to the work area.
            FUZZ_CHECK(r.sizeView.cx >= 0 && r.sizeView.cy >= 0);
            FUZZ_CHECK(r.sizeView.cx <= workW && r.sizeView.cy <= workH);
            FUZZ_CHECK(r.sizeView.cx <= sizeImage.cx && r.sizeView.cy <= sizeImage.cy);
            // Fitting to a zero area gives a factor of 0; zoom in must still lead out of it.
            FUZZ_CHECK(std::isfinite(r.fZoom) && r.fZoom >= 0.0f && r.fZoom <= 1.0f);
            FUZZ_CHECK(ZoomInStep(r.fZoom) > r.fZoom);
        }

        // Placed about the centre, then shifted so that it starts at 0 or ends at the work area's
        // right and bottom edges.
        if (IsModest(rcWork) && std::abs(ptCenter.x) < (1 << 29) && std::abs(ptCenter.y) < (1 << 29)) {
            FUZZ_CHECK(Width(r.rcWindow) == sizeWindow.cx && Height(r.rcWindow) == sizeWindow.cy);
            FUZZ_CHECK(r.rcWindow.left >= 0 || r.rcWindow.right == rcWork.right);
            FUZZ_CHECK(r.rcWindow.right <= rcWork.right || r.rcWindow.left == 0);
            FUZZ_CHECK(r.rcWindow.top >= 0 || r.rcWindow.bottom == rcWork.bottom);
            FUZZ_CHECK(r.rcWindow.bottom <= rcWork.bottom || r.rcWindow.top == 0);
        }

        fZoom = r.fZoom;
        nMaxArea = r.nMaxArea;
        sizeView = r.sizeView;
        rcWindow = r.rcWindow;
        // WM_SIZE from SetWindowPos, which also clamps the scroll position.
        sizeClient = {static_cast<int32_t>(std::clamp<int64_t>(Width(rcWindow), 0, INT32_MAX)),
                      static_cast<int32_t>(std::clamp<int64_t>(Height(rcWindow), 0, INT32_MAX))};
        if (bHasImage) {
            sizeScrollMax = {static_cast<int32_t>(std::clamp<int64_t>(int64_t{sizeView.cx} - sizeClient.cx, INT32_MIN, INT32_MAX)),
                             static_cast<int32_t>(std::clamp<int64_t>(int64_t{sizeView.cy} - sizeClient.cy, INT32_MIN, INT32_MAX))};
            ptScroll = ClampScrollToMax(ptScroll, sizeScrollMax);
        }
        UpdateScrollPosition(bRecentre);
    }

    void ZoomIn()
    {
        if (!bHasImage)
            return;
        CheckZoomIn(fZoom);
        fZoom = ZoomInStep(fZoom);
        nViewMode = 1;
        LayoutView(false);
    }

    void ZoomOut()
    {
        if (!bHasImage)
            return;
        CheckZoomOut(fZoom);
        fZoom = ZoomOutStep(fZoom);
        nViewMode = 1;
        LayoutView(false);
    }

    void FitMode(int32_t nMode)
    {
        nViewMode = nMode;
        if (nMode == 2) {
            nMaxArea = RectArea(CRect(0, 0, sizeClient.cx, sizeClient.cy));
            LayoutView(false);
        }
    }

    void ScreenSize()
    {
        if (!bHasImage)
            return;
        if (nMaxArea == kNoAreaLimit && nViewMode == 2) {
            FitMode(2);
            return;
        }
        nMaxArea = kNoAreaLimit;
        nViewMode = 2;
        LayoutView(true);
    }

    void ActualSize()
    {
        if (!bHasImage)
            return;
        if (nViewMode == 1 && fZoom == 1.0f) {
            ScreenSize();
            return;
        }
        fZoom = 1.0f;
        nViewMode = 1;
        LayoutView(true);
    }

    void ScrollByKey(uint32_t vk)
    {
        if (!bHasImage)
            return;
        const KeyScroll k = ComputeKeyScroll(vk, sizeView, ptScroll, sizeClient);
        const int64_t dx = int64_t{k.ptScroll.x} - ptScroll.x;
        const int64_t dy = int64_t{k.ptScroll.y} - ptScroll.y;
        FUZZ_CHECK(k.bMoved == (dx != 0 || dy != 0));
        FUZZ_CHECK(dx == 0 || dy == 0);
        FUZZ_CHECK(k.scrollBy.cx == -dx && k.scrollBy.cy == -dy);
        const bool bPage = vk == VK_PRIOR || vk == VK_NEXT;
        FUZZ_CHECK(std::abs(dx) <= 60 && std::abs(dy) <= (bPage ? std::max(0, sizeClient.cy) : 60));
        if (vk == VK_LEFT || vk == VK_UP || vk == VK_PRIOR)
            FUZZ_CHECK(dx <= 0 && dy <= 0);
        else
            FUZZ_CHECK(dx >= 0 && dy >= 0);
        ptScroll = k.ptScroll;
        CheckScroll();
        if (k.bMoved)
            UpdateViewCenter();
    }

    void Wheel(int16_t zDelta, bool bShift, bool bDragging)
    {
        const bool bCanPan = ComputeCanPan(bHasImage, sizeScrollMax, bShift);
        const WheelOutcome w = AccumulateWheel(nWheelDelta, zDelta, bShift, bCanPan, bDragging, sizeScrollMax);
        const int32_t sum = std::clamp<int32_t>(int32_t{nWheelDelta} + zDelta, INT16_MIN, INT16_MAX);
        FUZZ_CHECK(w.nWheelDelta > -120 && w.nWheelDelta < 120);
        // The gathered movement never turns against deltas that all point one way.
        if (nWheelDelta >= 0 && zDelta >= 0)
            FUZZ_CHECK(w.nWheelDelta >= 0);
        if (nWheelDelta <= 0 && zDelta <= 0)
            FUZZ_CHECK(w.nWheelDelta <= 0);
        if (sum > -120 && sum < 120) {
            FUZZ_CHECK(w.action == WheelAction::None && w.nWheelDelta == sum);
        } else {
            FUZZ_CHECK(w.nWheelDelta == 0);
            if (bShift)
                FUZZ_CHECK(w.action == (sum > 0 ? WheelAction::ZoomIn : WheelAction::ZoomOut));
            else if (bCanPan && !bDragging)
                FUZZ_CHECK(w.action == WheelAction::Pan);
            else
                FUZZ_CHECK(w.action == WheelAction::None);
        }
        nWheelDelta = w.nWheelDelta;
        switch (w.action) {
        case WheelAction::ZoomIn:
            ZoomIn();
            break;
        case WheelAction::ZoomOut:
            ZoomOut();
            break;
        case WheelAction::Pan:
            FUZZ_CHECK(w.vkPan == (sum > 0 ? (sizeScrollMax.cy > 0 ? VK_UP : VK_LEFT)
                                           : (sizeScrollMax.cy > 0 ? VK_DOWN : VK_RIGHT)));
            ScrollByKey(w.vkPan);
            break;
        case WheelAction::None:
            break;
        }
    }

    void Drag(CPoint ptStart, CPoint point)
    {
        if (!ComputeCanPan(bHasImage, sizeScrollMax, false))
            return;
        ptScroll = DragScrollTarget(point, ptStart, ptScroll, sizeScrollMax);
        CheckScroll();
        UpdateViewCenter();
    }

    // The user moves the window: the system proposes a rectangle and the program pulls it back.
    void Move(int32_t dx, int32_t dy)
    {
        const CRect proposed{static_cast<int32_t>(std::clamp<int64_t>(int64_t{rcWindow.left} + dx, INT32_MIN, INT32_MAX)),
                             static_cast<int32_t>(std::clamp<int64_t>(int64_t{rcWindow.top} + dy, INT32_MIN, INT32_MAX)),
                             static_cast<int32_t>(std::clamp<int64_t>(int64_t{rcWindow.right} + dx, INT32_MIN, INT32_MAX)),
                             static_cast<int32_t>(std::clamp<int64_t>(int64_t{rcWindow.bottom} + dy, INT32_MIN, INT32_MAX))};
        const CRect rc = ClampMovingRect(proposed, rcWork);
        FUZZ_CHECK(rc.left >= 0 && rc.top >= 0);
        if (IsModest(proposed) && IsModest(rcWork) && Width(proposed) >= 0 && Height(proposed) >= 0) {
            FUZZ_CHECK(Width(rc) == Width(proposed) && Height(rc) == Height(proposed));
            if (Width(proposed) <= rcWork.right)
                FUZZ_CHECK(rc.right <= rcWork.right);
            if (Height(proposed) <= rcWork.bottom)
                FUZZ_CHECK(rc.bottom <= rcWork.bottom);
        }
        rcWindow = rc;
        ptCenter = RectCenter(rc);
        FUZZ_CHECK(std::min(rc.left, rc.right) <= ptCenter.x && ptCenter.x <= std::max(rc.left, rc.right));
        FUZZ_CHECK(std::min(rc.top, rc.bottom) <= ptCenter.y && ptCenter.y <= std::max(rc.top, rc.bottom));
    }

    // The user drags an edge: the system keeps the size within the maximum tracking size.
    void Resize(int32_t cx, int32_t cy)
    {
        const CSize sizeMax = MaxTrackSize(rcWork, sizeView);
        FUZZ_CHECK(sizeMax.cx <= sizeView.cx && sizeMax.cy <= sizeView.cy);
        FUZZ_CHECK(sizeMax.cx <= Width(rcWork) && sizeMax.cy <= Height(rcWork));
        if (sizeMax.cx < 0 || sizeMax.cy < 0)
            return;
        sizeClient = {static_cast<int32_t>(std::abs(int64_t{cx}) % (int64_t{sizeMax.cx} + 1)),
                      static_cast<int32_t>(std::abs(int64_t{cy}) % (int64_t{sizeMax.cy} + 1))};
        const CRect rc{rcWindow.left, rcWindow.top,
                       static_cast<int32_t>(std::clamp<int64_t>(int64_t{rcWindow.left} + sizeClient.cx, INT32_MIN, INT32_MAX)),
                       static_cast<int32_t>(std::clamp<int64_t>(int64_t{rcWindow.top} + sizeClient.cy, INT32_MIN, INT32_MAX))};
        rcWindow = rc;
        if (bHasImage) {
            sizeScrollMax = {sizeView.cx - sizeClient.cx, sizeView.cy - sizeClient.cy};
            ptScroll = ClampScrollToMax(ptScroll, sizeScrollMax);
            CheckScroll();
        }
        nMaxArea = RectArea(rc);
        FUZZ_CHECK(nMaxArea == std::min<uint64_t>(uint64_t(std::max<int64_t>(Width(rc), 0)) *
                                                      uint64_t(std::max<int64_t>(Height(rc), 0)),
                                                  kNoAreaLimit));
        ptCenter = RectCenter(rc);
    }

    void Paint(const CRect& clip) const
    {
        const PaintRectF src = PaintSourceRect(clip, ptScroll, fZoom);
        const PaintRectF dest = PaintDestRect(clip);
        FUZZ_CHECK(dest.X == static_cast<float>(clip.left) && dest.Y == static_cast<float>(clip.top));
        FUZZ_CHECK(dest.Width == static_cast<float>(Width(clip)) && dest.Height == static_cast<float>(Height(clip)));
        if (fZoom < 1e-20f)
            return;  // a factor that small has left the range of float source rectangles
        FUZZ_CHECK(std::isfinite(src.X) && std::isfinite(src.Y) && std::isfinite(src.Width) && std::isfinite(src.Height));
        if (!bHasImage || clip.left < 0 || clip.top < 0 || clip.right > sizeClient.cx || clip.bottom > sizeClient.cy ||
            clip.left > clip.right || clip.top > clip.bottom || sizeClient.cx > sizeView.cx || sizeClient.cy > sizeView.cy)
            return;
        // A clip inside the client area maps inside the picture, give or take float rounding.
        FUZZ_CHECK(src.X >= 0.0f && src.Y >= 0.0f && src.Width >= 0.0f && src.Height >= 0.0f);
        const double slack = 1e-5;
        FUZZ_CHECK(double{src.X} + src.Width <= sizeImage.cx * (1 + slack) + 1);
        FUZZ_CHECK(double{src.Y} + src.Height <= sizeImage.cy * (1 + slack) + 1);
    }
};

// What SPI_GETWORKAREA can report.
CRect ConsumeWorkArea(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0: {  // an ordinary desktop, possibly with a task bar on the left or top
        const int32_t left = in.ConsumeIntegralInRange<int32_t>(-4096, 4096);
        const int32_t top = in.ConsumeIntegralInRange<int32_t>(-4096, 4096);
        return {left, top, left + in.ConsumeIntegralInRange<int32_t>(0, 16384),
                top + in.ConsumeIntegralInRange<int32_t>(0, 16384)};
    }
    case 1: {  // any size that is not negative
        const int32_t left = ConsumeCoord(in);
        const int32_t top = ConsumeCoord(in);
        return {left, top, static_cast<int32_t>(std::min<int64_t>(int64_t{left} + ConsumeExtent(in), INT32_MAX)),
                static_cast<int32_t>(std::min<int64_t>(int64_t{top} + ConsumeExtent(in), INT32_MAX))};
    }
    default:
        return {0, 0, 1280, 984};
    }
}

// Values no window state holds (inverted work areas, negative sizes, any zoom, any mode):
// nothing more than defined behaviour is asked of them.
void ProbeAnyLayout(FuzzedDataProvider& in)
{
    LayoutInput input{};
    input.bHasImage = in.ConsumeBool();
    input.sizeImage = {ConsumeCoord(in), ConsumeCoord(in)};
    input.fZoom = in.ConsumeFloatingPoint<float>();
    input.nViewMode = in.ConsumeIntegral<int32_t>();
    input.nMaxArea = in.ConsumeIntegral<uint32_t>();
    input.ptCenter = {ConsumeCoord(in), ConsumeCoord(in)};
    input.rcWork = {ConsumeCoord(in), ConsumeCoord(in), ConsumeCoord(in), ConsumeCoord(in)};
    const LayoutResult r = ComputeLayout(input);
    const CSize sizeClient{ConsumeCoord(in), ConsumeCoord(in)};
    const ScrollResult s = ComputeScroll(in.ConsumeBool(), r.sizeView, sizeClient, {ConsumeCoord(in), ConsumeCoord(in)},
                                         in.ConsumeFloatingPoint<float>(), in.ConsumeFloatingPoint<float>());
    FUZZ_CHECK(s.ptScroll.x >= 0 && s.ptScroll.x <= std::max(0, s.sizeScrollMax.cx));
    FUZZ_CHECK(s.ptScroll.y >= 0 && s.ptScroll.y <= std::max(0, s.sizeScrollMax.cy));
    ComputeViewCenter(input.bHasImage, s.ptScroll, sizeClient, r.sizeView);
    ComputeKeyScroll(in.ConsumeIntegralInRange<uint32_t>(0x20, 0x29), r.sizeView, {ConsumeCoord(in), ConsumeCoord(in)},
                     sizeClient);
    ClampMovingRect(r.rcWindow, input.rcWork);
    MaxTrackSize(input.rcWork, r.sizeView);
    RectCenter(r.rcWindow);
    RectArea(r.rcWindow);
    WorkAreaCenter(input.rcWork);
    ZoomPercent(input.fZoom);
    const CPoint drag = DragScrollTarget({ConsumeCoord(in), ConsumeCoord(in)}, {ConsumeCoord(in), ConsumeCoord(in)},
                                         {ConsumeCoord(in), ConsumeCoord(in)}, s.sizeScrollMax);
    FUZZ_CHECK(drag.x >= 0 && drag.x <= std::max(0, s.sizeScrollMax.cx));
    FUZZ_CHECK(drag.y >= 0 && drag.y <= std::max(0, s.sizeScrollMax.cy));
}

void CheckBackgroundCrop(int32_t W, int32_t H, int32_t cx, int32_t cy)
{
    const BackgroundCrop crop = PlanBackgroundCrop(W, H, cx, cy);
    if (crop.source == BackgroundSource::None)
        return;
    FUZZ_CHECK(W > 0 && H > 0 && cx > 0 && cy > 0);
    FUZZ_CHECK(crop.w > 0 && crop.h > 0 && crop.x >= 0 && crop.y >= 0);
    FUZZ_CHECK(int64_t{crop.x} + crop.w <= W && int64_t{crop.y} + crop.h <= H);
    // The screen's shape, one side truncated.
    const int64_t wcy = int64_t{crop.w} * cy, hcx = int64_t{crop.h} * cx;
    const bool bFullWidth = crop.w == W && hcx <= wcy && wcy < hcx + cx;
    const bool bFullHeight = crop.h == H && wcy <= hcx && hcx < wcy + cy;
    FUZZ_CHECK(bFullWidth || bFullHeight);
    switch (crop.source) {
    case BackgroundSource::Whole:
        FUZZ_CHECK(crop.w == W && crop.h == H && crop.x == 0 && crop.w <= cx);
        break;
    case BackgroundSource::Copy:
        FUZZ_CHECK(crop.w <= cx && (crop.w != W || crop.h != H));
        break;
    case BackgroundSource::Scale:
        FUZZ_CHECK(crop.w > cx);
        break;
    case BackgroundSource::None:
        break;
    }
}

void CheckTag(const View& v, int32_t w, int32_t h)
{
    const int32_t percent = ZoomPercent(v.fZoom);
    FUZZ_CHECK(percent >= 0);
    if (double{v.fZoom} * 100.0 < 2147483647.0)
        FUZZ_CHECK(percent == static_cast<int32_t>(double{v.fZoom} * 100.0));
    const std::wstring info = FormatInfo(L"a.png", v.fZoom);
    FUZZ_CHECK(info == L"a.png (" + std::to_wstring(percent) + L"%)");
    FUZZ_CHECK(TagText(info, L"BoF") == info + L" BoF" && TagText(info, nullptr) == info);

    if (!IsModest(v.rcWindow))
        return;
    const CRect rc = PlaceTag(v.rcWindow, CRect(0, 0, w, h));
    FUZZ_CHECK(rc.Width() == w + 2 && rc.Height() == h && rc.top >= 0);
    if (v.rcWindow.Width() >= w + 2)
        FUZZ_CHECK(rc.right == v.rcWindow.right);
}

void CheckFrameTiming(FuzzedDataProvider& in)
{
    const uint32_t nDelays = in.ConsumeIntegralInRange<uint32_t>(0, 8);
    // Exactly as long as the property says, so that reading past it is caught.
    const std::unique_ptr<int32_t[]> delays(new int32_t[nDelays]);
    for (uint32_t i = 0; i < nDelays; ++i)
        delays[i] = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-2, 12) : in.ConsumeIntegral<int32_t>();
    const uint32_t nFrame = in.ConsumeBool() ? in.ConsumeIntegralInRange<uint32_t>(0, 9) : in.ConsumeIntegral<uint32_t>();
    const bool bNoBuffer = in.ConsumeBool();
    const int32_t nDelay = ChooseFrameDelay(bNoBuffer ? nullptr : delays.get(), nDelays, nFrame);
    FUZZ_CHECK(nDelay >= 1);
    if (bNoBuffer || nFrame >= nDelays)
        FUZZ_CHECK(nDelay == 10);
    else
        FUZZ_CHECK(nDelay == std::max(delays[nFrame], 1));

    const int32_t nLast = in.ConsumeBool() ? nDelay : in.ConsumeIntegral<int32_t>();
    const bool bForce = in.ConsumeBool();
    const FrameTimerDecision d = DecideFrameTimer(bForce, nDelay, nLast);
    if (!bForce && nDelay == nLast) {
        FUZZ_CHECK(!d.bArm && d.nDelay == nLast);
    } else {
        FUZZ_CHECK(d.bArm && d.nDelay == nDelay);
        FUZZ_CHECK(d.nPeriodMs >= 10 && d.nPeriodMs <= 0x7FFFFFFFu);
        FUZZ_CHECK(d.nPeriodMs == std::min<int64_t>(int64_t{nDelay} * 10, 0x7FFFFFFF));
    }

    const uint32_t nCount = in.ConsumeIntegral<uint32_t>();
    const uint32_t nCurrent = in.ConsumeBool() ? nCount - 1 : in.ConsumeIntegral<uint32_t>();
    const uint32_t nNext = NextFrameIndex(nCurrent, nCount);
    FUZZ_CHECK(nNext < std::max<uint32_t>(nCount, 1));
    FUZZ_CHECK(nNext == 0 || nNext == nCurrent + 1);
    const uint32_t nLength = in.ConsumeIntegral<uint32_t>();
    FUZZ_CHECK(uint64_t{DelayCountFromLength(nLength)} * 4 <= nLength && nLength - DelayCountFromLength(nLength) * 4 < 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    View v;
    v.rcWork = ConsumeWorkArea(in);
    v.ptCenter = WorkAreaCenter(v.rcWork);
    v.LayoutView(true);  // start-up without a picture

    for (int nOp = 0; nOp < 200 && in.remaining_bytes() > 0; ++nOp) {
        switch (in.ConsumeIntegralInRange<int>(0, 21)) {
        case 0:
            v.ZoomIn();
            break;
        case 1:
            v.ZoomOut();
            break;
        case 2: {  // a key held down: many steps, one layout per step
            const uint16_t n = in.ConsumeIntegral<uint16_t>();
            const bool bIn = in.ConsumeBool();
            for (uint16_t i = 0; i < n && v.bHasImage; ++i) {
                if (bIn)
                    CheckZoomIn(v.fZoom);
                else
                    CheckZoomOut(v.fZoom);
                v.fZoom = bIn ? ZoomInStep(v.fZoom) : ZoomOutStep(v.fZoom);
            }
            v.nViewMode = 1;
            if (v.bHasImage)
                v.LayoutView(false);
            break;
        }
        case 3:  // any factor at all
            v.fZoom = ConsumePositiveZoom(in);
            CheckZoomIn(v.fZoom);
            CheckZoomOut(v.fZoom);
            v.nViewMode = 1;
            if (v.bHasImage)
                v.LayoutView(false);
            break;
        case 4:
            v.ActualSize();
            break;
        case 5:
            v.ScreenSize();
            break;
        case 6:
            if (v.bHasImage)
                v.FitMode(in.ConsumeBool() ? 2 : 1);
            break;
        case 7:  // a picture loaded
            v.bHasImage = true;
            v.sizeImage = {ConsumeExtent(in), ConsumeExtent(in)};
            v.LayoutView(true);
            break;
        case 8:  // a quarter turn
            if (v.bHasImage) {
                v.sizeImage = {v.sizeImage.cy, v.sizeImage.cx};
                v.LayoutView(false);
            }
            break;
        case 9:  // the work area changed (task bar moved, resolution changed)
            v.rcWork = ConsumeWorkArea(in);
            if (in.ConsumeBool())
                v.ptCenter = WorkAreaCenter(v.rcWork);
            break;
        case 10: {
            const int32_t dx = ConsumeCoord(in);
            v.Move(dx, ConsumeCoord(in));
            break;
        }
        case 11: {
            const int32_t cx = ConsumeCoord(in);
            v.Resize(cx, ConsumeCoord(in));
            break;
        }
        case 12: {
            static constexpr uint32_t kKeys[] = {VK_PRIOR, VK_NEXT, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, 0x20, 0x0D};
            v.ScrollByKey(in.PickValueInArray(kKeys));
            break;
        }
        case 13: {
            const CPoint ptStart{ConsumeCoord(in), ConsumeCoord(in)};
            const CPoint point{ConsumeCoord(in), ConsumeCoord(in)};
            v.Drag(ptStart, point);
            break;
        }
        case 14: {
            static constexpr int16_t kDeltas[] = {120, -120, 240, -240, 1, -1, 119, -119, INT16_MAX, INT16_MIN, 0};
            const int16_t z = in.ConsumeBool() ? in.PickValueInArray(kDeltas) : in.ConsumeIntegral<int16_t>();
            const bool bShift = in.ConsumeBool();
            v.Wheel(z, bShift, in.ConsumeBool());
            break;
        }
        case 15: {
            CRect clip;
            if (in.ConsumeBool()) {
                const int32_t l = in.ConsumeIntegralInRange<int32_t>(0, std::max(0, v.sizeClient.cx));
                const int32_t t = in.ConsumeIntegralInRange<int32_t>(0, std::max(0, v.sizeClient.cy));
                clip = {l, t, in.ConsumeIntegralInRange<int32_t>(l, std::max(l, v.sizeClient.cx)),
                        in.ConsumeIntegralInRange<int32_t>(t, std::max(t, v.sizeClient.cy))};
            } else {
                // A clip box is a part of the client area; these stay far from the int32 limits.
                auto coord = [&in] { return in.ConsumeIntegralInRange<int32_t>(-(1 << 29), 1 << 29); };
                clip = {coord(), coord(), coord(), coord()};
            }
            v.Paint(clip);
            const int32_t mode = GdiplusInterpolationMode(in.ConsumeIntegral<int32_t>());
            FUZZ_CHECK(mode == 0 || (mode >= 3 && mode <= 7));
            break;
        }
        case 16: {
            const int32_t cx = ConsumeCoord(in), cy = ConsumeCoord(in);
            CheckBackgroundCrop(v.sizeImage.cx, v.sizeImage.cy, cx, cy);
            const int32_t W = ConsumeCoord(in), H = ConsumeCoord(in);
            CheckBackgroundCrop(W, H, cx, cy);
            break;
        }
        case 17: {
            const int32_t w = in.ConsumeIntegralInRange<int32_t>(0, 4096);
            CheckTag(v, w, in.ConsumeIntegralInRange<int32_t>(0, 4096));
            break;
        }
        case 18:
            CheckFrameTiming(in);
            break;
        case 19: {  // where the pointer is over the window
            const CPoint pt{ConsumeCoord(in), ConsumeCoord(in)};
            const int32_t edge = ClassifySizingEdge(pt, v.sizeClient);
            FUZZ_CHECK(edge >= 0 && edge <= 8);
            FUZZ_CHECK((CursorForEdge(edge) == CursorShape::Arrow) == (edge == 0));
            break;
        }
        case 20:
            ProbeAnyLayout(in);
            break;
        default:  // every load failed, or start-up without a picture
            v.bHasImage = false;
            v.LayoutView(true);
            break;
        }
    }
    return 0;
}
