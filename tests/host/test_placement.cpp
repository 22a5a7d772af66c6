#include <gtest/gtest.h>

#include "view/placement.h"

TEST(MovingClamp, RectanglesArePulledBackInside)
{
    const CRect work{0, 0, 1280, 984};
    CRect rc = ClampMovingRect({1000, 800, 1400, 1100}, work);
    EXPECT_EQ(rc, CRect(880, 684, 1280, 984));
    EXPECT_EQ(RectCenter(rc), CPoint(1080, 834));

    rc = ClampMovingRect({-50, -20, 350, 280}, work);
    EXPECT_EQ(rc, CRect(0, 0, 400, 300));
    EXPECT_EQ(RectCenter(rc), CPoint(200, 150));

    EXPECT_EQ(ClampMovingRect({100, 100, 500, 400}, work), CRect(100, 100, 500, 400));
}

TEST(MovingClamp, LeftLimitIsZeroEvenWithATaskbarOnTheLeft)
{
    const CRect work{60, 0, 1280, 1024};
    EXPECT_EQ(ClampMovingRect({-30, 100, 370, 400}, work), CRect(0, 100, 400, 400));
    EXPECT_EQ(ClampMovingRect({10, 100, 410, 400}, work), CRect(10, 100, 410, 400));
}

TEST(MovingClamp, TopLeftWinsForAWindowLargerThanTheRoom)
{
    EXPECT_EQ(ClampMovingRect({0, 0, 1400, 1100}, {0, 0, 1280, 984}), CRect(0, 0, 1400, 1100));
    EXPECT_EQ(ClampMovingRect({50, 50, 1450, 1150}, {0, 0, 1280, 984}), CRect(0, 0, 1400, 1100));
}

TEST(RectGeometry, CentreRoundsHalvesDown)
{
    EXPECT_EQ(RectCenter({0, 0, 5, 7}), CPoint(2, 3));
    EXPECT_EQ(RectCenter({-3, -5, 0, 0}), CPoint(-2, -3));
    // A 401-wide window laid out about x = -100 (left -100 - 200) gives its centre back.
    EXPECT_EQ(RectCenter({-300, -1, 101, 0}), CPoint(-100, -1));
    EXPECT_EQ(RectCenter({2000000000, 2000000000, 2100000000, 2100000000}), CPoint(2050000000, 2050000000));
}

TEST(RectGeometry, MaxTrackSizeIsThePictureWithinTheWorkArea)
{
    EXPECT_EQ(MaxTrackSize({0, 0, 1280, 984}, {2000, 500}), CSize(1280, 500));
    EXPECT_EQ(MaxTrackSize({0, 0, 1280, 984}, {320, 240}), CSize(320, 240));
    EXPECT_EQ(MaxTrackSize({60, 20, 1280, 1024}, {5000, 5000}), CSize(1220, 1004));
}

TEST(RectGeometry, AreaSaturatesAtNoLimit)
{
    EXPECT_EQ(RectArea({100, 100, 900, 700}), 480000u);
    EXPECT_EQ(RectArea({0, 0, 70000, 70000}), 0xFFFFFFFFu);
    EXPECT_EQ(RectArea({0, 0, 65536, 65535}), 65536u * 65535u);
    EXPECT_EQ(RectArea({10, 10, 5, 20}), 0u);
}
