#include <gtest/gtest.h>

#include <vector>

#include "feedback/tag_rules.h"
#include "framework/dpi_scale.h"
#include "view/layout.h"
#include "view/monitor_rules.h"

namespace {

const MonitorArea kPrimary{{0, 0, 1280, 1024}, {0, 0, 1280, 984}};     // taskbar at the bottom
const MonitorArea kRight{{1280, 0, 2304, 768}, {1280, 0, 2304, 768}};  // smaller, tops aligned
const MonitorArea kLeft{{-1920, -56, 0, 1024}, {-1920, -56, 0, 1024}};  // negative origin, taller
const MonitorArea kAbove{{0, -1024, 1280, 0}, {0, -1024, 1280, -40}};

}  // namespace

TEST(Monitors, NearestIsTheOneContainingThePointElseTheClosest)
{
    const std::vector<MonitorArea> row{kPrimary, kRight, kLeft};
    EXPECT_EQ(NearestMonitor(row, {1279, 0}), 0u);
    EXPECT_EQ(NearestMonitor(row, {1280, 0}), 1u);
    EXPECT_EQ(NearestMonitor(row, {-1, 1000}), 2u);
    EXPECT_EQ(NearestMonitor(row, {1500, 900}), 1u);  // below the smaller one: 133 px to it, 221 to the primary
    EXPECT_EQ(NearestMonitor({kPrimary, kAbove}, {100, 2000}), 0u);
}

TEST(Monitors, MovingCrossesToTheMonitorUnderTheCentreWhole)
{
    const std::vector<MonitorArea> three{kPrimary, kRight, kLeft};
    EXPECT_EQ(ClampMovingRectAcross({1000, 100, 1400, 400}, three), CRect(880, 100, 1280, 400));
    EXPECT_EQ(ClampMovingRectAcross({1100, 100, 1500, 400}, three), CRect(1280, 100, 1680, 400));
    EXPECT_EQ(ClampMovingRectAcross({2100, 600, 2500, 900}, three), CRect(1904, 468, 2304, 768));
    EXPECT_EQ(ClampMovingRectAcross({1400, 800, 1800, 1100}, three), CRect(1400, 468, 1800, 768));
    // Held at the primary's edge while the pointer's centre has crossed: onto the second whole.
    EXPECT_EQ(ClampMovingRectAcross({1005, 362, 1405, 662}, three, {1390, 512}), CRect(1280, 362, 1680, 662));
    EXPECT_EQ(ClampMovingRectAcross({-300, 100, 100, 400}, three), CRect(-400, 100, 0, 400));
    EXPECT_EQ(ClampMovingRectAcross({-2000, -100, -1600, 200}, three), CRect(-1920, -56, -1520, 244));
    const std::vector<MonitorArea> stacked{kPrimary, kAbove};
    EXPECT_EQ(ClampMovingRectAcross({100, -100, 500, 200}, stacked), CRect(100, 0, 500, 300));
    EXPECT_EQ(ClampMovingRectAcross({100, -200, 500, 100}, stacked), CRect(100, -340, 500, -40));
    // One monitor: left limit 0 over a taskbar on the left, as ever.
    EXPECT_EQ(ClampMovingRectAcross({-30, 100, 370, 400}, {{{0, 0, 1280, 1024}, {60, 0, 1280, 1024}}}),
              CRect(0, 100, 400, 400));
}

TEST(Monitors, LayoutAndLabelStayOnTheWindowsMonitor)
{
    LayoutInput in{true, {2000, 1500}, 1.0f, 2, kNoAreaLimit, {1800, 400}, kRight.rcWork, {1280, 0}};
    EXPECT_EQ(ComputeLayout(in).rcWindow, CRect(1280, 0, 2304, 768));
    in = {false, {}, 1.0f, 1, kNoAreaLimit, {-1900, 0}, kLeft.rcWork, {-1920, -56}, DpiScale(CSize{320, 240}, 144)};
    EXPECT_EQ(ComputeLayout(in).rcWindow, CRect(-1920, -56, -1440, 304));
    EXPECT_EQ(PlaceTag({100, -1024, 500, -724}, {0, 0, 50, 20}, DpiScale(1, 144), kAbove.rcMonitor.top),
              CRect(446, -1024, 500, -1004));
}

TEST(Dpi, MeasuresScaleAndRoundAsMulDiv)
{
    EXPECT_EQ(DpiScale(5, 96), 5);
    EXPECT_EQ(DpiScale(5, 144), 8);  // 7.5 rounds up
    EXPECT_EQ(DpiScale(1, 120), 1);
    EXPECT_EQ(DpiScale(-11, 144), -17);  // away from zero
    EXPECT_EQ(DpiScale(INT32_MAX, 192), INT32_MAX);
    EXPECT_EQ(DpiChangedWindowSize(true, {400, 300}, {320, 240}, 192), CSize(400, 300));
    EXPECT_EQ(DpiChangedWindowSize(false, {480, 360}, {320, 240}, 96), CSize(320, 240));
}
