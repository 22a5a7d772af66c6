#include <gtest/gtest.h>

#include <vector>

#include "app/dpi_awareness_rules.h"
#include "framework/dpi_scale.h"
#include "view/layout.h"
#include "view/monitor_rules.h"

namespace {

// The primary display, 1280 x 1024 with a taskbar along the bottom.
const MonitorArea kPrimary{{0, 0, 1280, 1024}, {0, 0, 1280, 984}};
// Right of the primary, smaller, its top aligned.
const MonitorArea kRight{{1280, 0, 2304, 768}, {1280, 0, 2304, 768}};
// Left of the primary: negative coordinates, taller.
const MonitorArea kLeft{{-1920, -56, 0, 1024}, {-1920, -56, 0, 1024}};
// Above the primary, with a taskbar at its bottom.
const MonitorArea kAbove{{0, -1024, 1280, 0}, {0, -1024, 1280, -40}};

}  // namespace

TEST(Monitors, NearestIsTheOneContainingThePointElseTheClosest)
{
    const std::vector<MonitorArea> row{kPrimary, kRight, kLeft};
    EXPECT_EQ(NearestMonitor(row, {640, 512}), 0u);
    EXPECT_EQ(NearestMonitor(row, {1280, 0}), 1u);   // right and bottom edges belong to the next
    EXPECT_EQ(NearestMonitor(row, {-1, 1000}), 2u);
    EXPECT_EQ(NearestMonitor(row, {1500, 900}), 1u);  // below the smaller monitor: 133 px to it, 221 to the primary
    EXPECT_EQ(NearestMonitor(row, {2000, 1000}), 1u);
    EXPECT_EQ(NearestMonitor(row, {-1000, -500}), 2u);
    const std::vector<MonitorArea> stacked{kPrimary, kAbove};
    EXPECT_EQ(NearestMonitor(stacked, {100, -1}), 1u);
    EXPECT_EQ(NearestMonitor(stacked, {100, 2000}), 0u);
    EXPECT_EQ(NearestMonitor({kPrimary}, {-5000, 9000}), 0u);
    EXPECT_EQ(NearestMonitor({}, {0, 0}), 0u);
}

TEST(Monitors, MovingCrossesToTheMonitorUnderTheCentreWhole)
{
    const std::vector<MonitorArea> two{kPrimary, kRight};
    // Centre still on the primary: held at its right edge, as on one monitor.
    EXPECT_EQ(ClampMovingRectAcross({1000, 100, 1400, 400}, two), CRect(880, 100, 1280, 400));
    // Centre past it: the window lies on the second monitor whole.
    EXPECT_EQ(ClampMovingRectAcross({1100, 100, 1500, 400}, two), CRect(1280, 100, 1680, 400));
    // Its smaller height holds the bottom; its right edge holds the right.
    EXPECT_EQ(ClampMovingRectAcross({2100, 600, 2500, 900}, two), CRect(1904, 468, 2304, 768));
    // A centre in the empty corner below the smaller monitor goes by the nearest one.
    EXPECT_EQ(ClampMovingRectAcross({1400, 800, 1800, 1100}, two), CRect(1400, 468, 1800, 768));

    const std::vector<MonitorArea> three{kPrimary, kRight, kLeft};
    EXPECT_EQ(ClampMovingRectAcross({-100, 100, 300, 400}, three), CRect(0, 100, 400, 400));
    EXPECT_EQ(ClampMovingRectAcross({-300, 100, 100, 400}, three), CRect(-400, 100, 0, 400));
    EXPECT_EQ(ClampMovingRectAcross({-2000, -100, -1600, 200}, three), CRect(-1920, -56, -1520, 244));

    const std::vector<MonitorArea> stacked{kPrimary, kAbove};
    EXPECT_EQ(ClampMovingRectAcross({100, -100, 500, 200}, stacked), CRect(100, 0, 500, 300));
    EXPECT_EQ(ClampMovingRectAcross({100, -200, 500, 100}, stacked), CRect(100, -340, 500, -40));
    EXPECT_EQ(ClampMovingRectAcross({100, -1100, 500, -800}, stacked), CRect(100, -1024, 500, -724));
    // One monitor: the single-display rule, left limit 0 over a taskbar on the left.
    EXPECT_EQ(ClampMovingRectAcross({-30, 100, 370, 400}, {{{0, 0, 1280, 1024}, {60, 0, 1280, 1024}}}),
              CRect(0, 100, 400, 400));
}

TEST(Monitors, LayoutOnASecondMonitorStaysInItsWorkArea)
{
    LayoutInput in{true, {2000, 1500}, 1.0f, 1, kNoAreaLimit, {1800, 400}, kRight.rcWork, {1280, 0}};
    LayoutResult out = ComputeLayout(in);
    EXPECT_EQ(out.rcWindow, CRect(1280, 0, 2304, 768));
    in.nViewMode = 2;
    out = ComputeLayout(in);
    EXPECT_EQ(out.sizeView, CSize(1024, 768));
    EXPECT_EQ(out.rcWindow, CRect(1280, 0, 2304, 768));
    // Left of the primary: the monitor's own corner is the lower limit, not coordinate 0.
    in = {true, {400, 300}, 1.0f, 1, kNoAreaLimit, {-1900, 0}, kLeft.rcWork, {-1920, -56}};
    EXPECT_EQ(ComputeLayout(in).rcWindow, CRect(-1920, -56, -1520, 244));
    // The empty window takes the size it is given at the display's scale.
    in.bHasImage = false;
    in.sizeEmpty = DpiScale(CSize{kEmptyWindowWidth, kEmptyWindowHeight}, 144);
    EXPECT_EQ(ComputeLayout(in).sizeView, CSize(480, 360));
}

TEST(Dpi, MeasuresScaleAndRoundAsMulDiv)
{
    EXPECT_EQ(DpiScale(5, 96), 5);
    EXPECT_EQ(DpiScale(5, 0), 5);
    EXPECT_EQ(DpiScale(5, 144), 8);  // 7.5 rounds up
    EXPECT_EQ(DpiScale(1, 144), 2);
    EXPECT_EQ(DpiScale(2, 120), 3);  // 2.5
    EXPECT_EQ(DpiScale(1, 120), 1);
    EXPECT_EQ(DpiScale(60, 120), 75);
    EXPECT_EQ(DpiScale(-11, 144), -17);  // away from zero, as for negative font heights
    EXPECT_EQ(DpiScale(CSize{320, 240}, 192), CSize(640, 480));
    EXPECT_EQ(DpiScale(INT32_MAX, 192), INT32_MAX);
    // On a change of DPI a picture keeps its screen pixels; the empty window scales.
    EXPECT_EQ(DpiChangedWindowSize(true, {400, 300}, {320, 240}, 192), CSize(400, 300));
    EXPECT_EQ(DpiChangedWindowSize(false, {480, 360}, {320, 240}, 96), CSize(320, 240));
}

namespace {

std::vector<DpiAwareness> g_asked;
bool g_grantV2 = true;

bool RecordAndGrant(DpiAwareness level)
{
    g_asked.push_back(level);
    return level != DpiAwareness::PerMonitorV2 || g_grantV2;
}

bool RefuseAll(DpiAwareness level)
{
    g_asked.push_back(level);
    return false;
}

}  // namespace

TEST(Dpi, AwarenessAsksBestFirstAndNothingWhenOff)
{
    g_asked.clear();
    EXPECT_EQ(ChooseDpiAwareness(false, &RecordAndGrant), DpiAwareness::None);
    EXPECT_TRUE(g_asked.empty());
    EXPECT_EQ(ChooseDpiAwareness(true, &RecordAndGrant), DpiAwareness::PerMonitorV2);
    EXPECT_EQ(g_asked, std::vector<DpiAwareness>{DpiAwareness::PerMonitorV2});
    g_asked.clear();
    g_grantV2 = false;
    EXPECT_EQ(ChooseDpiAwareness(true, &RecordAndGrant), DpiAwareness::PerMonitor);
    EXPECT_EQ(g_asked, (std::vector<DpiAwareness>{DpiAwareness::PerMonitorV2, DpiAwareness::PerMonitor}));
    g_asked.clear();
    EXPECT_EQ(ChooseDpiAwareness(true, &RefuseAll), DpiAwareness::None);
    EXPECT_EQ(g_asked, (std::vector<DpiAwareness>{DpiAwareness::PerMonitorV2, DpiAwareness::PerMonitor,
                                                   DpiAwareness::System}));
}
