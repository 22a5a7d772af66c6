#include <gtest/gtest.h>

#include <cmath>

#include "feedback/tag_rules.h"

TEST(TagPercent, TruncatedNotRounded)
{
    EXPECT_EQ(ZoomPercent(1.05f), 104);
    EXPECT_EQ(ZoomPercent(0.95f), 94);
    EXPECT_EQ(ZoomPercent(0.5f), 50);
    EXPECT_EQ(ZoomPercent(1.0f), 100);
    EXPECT_EQ(ZoomPercent(0.0099f), 0);
    EXPECT_EQ(ZoomPercent(0.001f), 0);
    EXPECT_EQ(ZoomPercent(64.0f), 6400);
}

TEST(TagPercent, HugeFactorsSaturate)
{
    EXPECT_EQ(ZoomPercent(3e7f), INT32_MAX);
    EXPECT_EQ(ZoomPercent(1e30f), INT32_MAX);
    EXPECT_EQ(ZoomPercent(-1e30f), INT32_MIN);
    EXPECT_EQ(ZoomPercent(NAN), 0);
}

TEST(TagText, InfoLineAndExtraWord)
{
    EXPECT_EQ(FormatInfo(L"photo.jpg", 0.5f), L"photo.jpg (50%)");
    EXPECT_EQ(FormatInfo(L"100%s.png", 1.05f), L"100%s.png (104%)");
    EXPECT_EQ(FormatInfo(L"风景.gif", 0.42666668f), L"风景.gif (42%)");
    EXPECT_EQ(FormatInfo(L"", 2.0f), L" (200%)");

    const std::wstring info = L"a.png (100%)";
    EXPECT_EQ(TagText(info, nullptr), info);
    EXPECT_EQ(TagText(info, L"放大"), L"a.png (100%) 放大");
    EXPECT_EQ(TagText(info, L"BoF"), L"a.png (100%) BoF");
    EXPECT_EQ(TagText(info, L""), L"a.png (100%) ");
}

TEST(TagPlacement, RightAlignedAboveAWideOwner)
{
    EXPECT_EQ(PlaceTag({100, 200, 500, 500}, {0, 0, 98, 20}), CRect(400, 180, 500, 200));
    // Exactly as wide as the label: still right-aligned, which is the owner's left too.
    EXPECT_EQ(PlaceTag({100, 200, 200, 500}, {0, 0, 98, 20}), CRect(100, 180, 200, 200));
}

TEST(TagPlacement, CentredOverANarrowOwnerAndNeverClampedSideways)
{
    // W 101 over 50: sticks out 25 (25.5 truncated) on the left.
    EXPECT_EQ(PlaceTag({100, 200, 150, 300}, {0, 0, 99, 16}), CRect(75, 184, 176, 200));
    EXPECT_EQ(PlaceTag({0, 300, 20, 400}, {0, 0, 99, 16}), CRect(-40, 284, 61, 300));
}

TEST(TagPlacement, TopOfTheScreenHoldsTheLabel)
{
    EXPECT_EQ(PlaceTag({100, 10, 500, 500}, {0, 0, 98, 20}), CRect(400, 0, 500, 20));
    EXPECT_EQ(PlaceTag({100, -50, 500, 500}, {0, 0, 98, 20}), CRect(400, 0, 500, 20));
}
