#include <gtest/gtest.h>

#include "feedback/menu_header_rules.h"

TEST(MenuHeader, GradientRunsFromOriginToItemCornerWithWidenedChannels)
{
    // 0x00BBGGRR: red 0x12, green 0x34, blue 0x56 on the left; red 0xFE, green 0x01, blue 0x80 on the right.
    const HeaderGradient g = PlanHeaderGradient(0x00563412u, 0x008001FEu, CRect(0, 0, 150, 19));
    EXPECT_EQ(g.from.x, 0);
    EXPECT_EQ(g.from.y, 0);
    EXPECT_EQ(g.from.red, 0x1200);
    EXPECT_EQ(g.from.green, 0x3400);
    EXPECT_EQ(g.from.blue, 0x5600);
    EXPECT_EQ(g.from.alpha, 0xFF00);
    EXPECT_EQ(g.to.x, 150);
    EXPECT_EQ(g.to.y, 19);
    EXPECT_EQ(g.to.red, 0xFE00);
    EXPECT_EQ(g.to.green, 0x0100);
    EXPECT_EQ(g.to.blue, 0x8000);
    EXPECT_EQ(g.to.alpha, 0xFF00);
}

TEST(MenuHeader, GradientIgnoresTheUnusedHighByteAndStartsAtTheOriginWhateverTheItemOffset)
{
    // Only the corner of the item moves the far vertex; the near one stays at the device origin.
    const HeaderGradient g = PlanHeaderGradient(0xFF0000FFu, 0xFFFFFFFFu, CRect(3, 4, 40, 30));
    EXPECT_EQ(g.from.x, 0);
    EXPECT_EQ(g.from.y, 0);
    EXPECT_EQ(g.from.red, 0xFF00);
    EXPECT_EQ(g.from.green, 0);
    EXPECT_EQ(g.from.blue, 0);
    EXPECT_EQ(g.to.x, 40);
    EXPECT_EQ(g.to.y, 30);
    EXPECT_EQ(g.to.red, 0xFF00);
    EXPECT_EQ(g.to.green, 0xFF00);
    EXPECT_EQ(g.to.blue, 0xFF00);
}

TEST(MenuHeader, ItemIsTheTextWidthAndFourPixelsTallerThanTheText)
{
    EXPECT_EQ(HeaderItemSize(CRect(0, 0, 33, 13)), CSize(33, 17));
    EXPECT_EQ(HeaderItemSize(CRect(0, 0, 0, 0)), CSize(0, 4));
    EXPECT_EQ(HeaderItemSize(CRect(2, 5, 10, 20)), CSize(8, 19));
}
