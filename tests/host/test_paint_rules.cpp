#include <gtest/gtest.h>

#include <cmath>

#include "view/paint_rules.h"

namespace {

void ExpectRect(const PaintRectF& r, float x, float y, float w, float h)
{
    EXPECT_EQ(r.X, x);
    EXPECT_EQ(r.Y, y);
    EXPECT_EQ(r.Width, w);
    EXPECT_EQ(r.Height, h);
}

}  // namespace

TEST(PaintRects, ClipBoxIsDrawnFromTheScrolledAndUnzoomedRegion)
{
    const CRect clip{10, 20, 210, 120};
    ExpectRect(PaintDestRect(clip), 10, 20, 200, 100);
    ExpectRect(PaintSourceRect(clip, {100, 40}, 0.5f), 220, 120, 400, 200);

    ExpectRect(PaintSourceRect({0, 0, 100, 50}, {0, 0}, 2.0f), 0, 0, 50, 25);
    ExpectRect(PaintSourceRect({5, 6, 7, 9}, {3, 4}, 1.0f), 8, 10, 2, 3);
}

TEST(PaintRects, FactorWithoutSizeGivesAFiniteSource)
{
    const PaintRectF r = PaintSourceRect({0, 0, 100, 50}, {10, 10}, 0.0f);
    EXPECT_TRUE(std::isfinite(r.X) && std::isfinite(r.Width));
}

TEST(PaintInterpolation, ChoicesMapToGdiplusModes)
{
    const int32_t expected[] = {0, 5, 3, 6, 4, 7};
    for (int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(GdiplusInterpolationMode(i), expected[i]) << "choice " << i;
    for (int32_t other : {-1, 6, 7, 9, INT32_MIN, INT32_MAX})
        EXPECT_EQ(GdiplusInterpolationMode(other), 0) << "choice " << other;
}
