#include <gtest/gtest.h>

#include <cmath>

#include "feedback/tag_rules.h"
#include "view/layout.h"

namespace {

const CRect kWork{0, 0, 1280, 984};
const CPoint kWorkMiddle{640, 492};

LayoutInput Picture(CSize size, int32_t mode, float zoom, uint32_t maxArea, CPoint centre = kWorkMiddle,
                    CRect work = kWork)
{
    return {true, size, zoom, mode, maxArea, centre, work};
}

CSize SizeOf(const CRect& rc)
{
    return {rc.Width(), rc.Height()};
}

}  // namespace

TEST(LayoutFitMode, ScreenSizeShrinksToWorkArea)
{
    const LayoutResult r = ComputeLayout(Picture({3000, 2000}, 2, 1.0f, 0xFFFFFFFFu));
    EXPECT_EQ(r.fZoom, 0.42666668f);
    EXPECT_EQ(r.sizeView, CSize(1280, 853));
    EXPECT_EQ(r.rcWindow, CRect(0, 66, 1280, 919));
    EXPECT_EQ(r.nMaxArea, 0xFFFFFFFFu);
    EXPECT_EQ(ZoomPercent(r.fZoom), 42);
}

TEST(LayoutFitMode, AreaLimitShrinksBySquareRoot)
{
    const LayoutResult r =
        ComputeLayout(Picture({1000, 1000}, 2, 1.0f, 800u * 600u, {960, 540}, {0, 0, 1920, 1080}));
    EXPECT_EQ(r.fZoom, 0.69282031f);
    EXPECT_EQ(r.sizeView, CSize(692, 692));
    EXPECT_EQ(SizeOf(r.rcWindow), CSize(692, 692));
    EXPECT_EQ(r.nMaxArea, 480000u);
}

TEST(LayoutFitMode, PictureThatFitsKeepsItsOwnSizeWhateverTheFormerZoom)
{
    const LayoutResult r = ComputeLayout(Picture({800, 600}, 2, 0.25f, 0xFFFFFFFFu));
    EXPECT_EQ(r.fZoom, 1.0f);
    EXPECT_EQ(r.sizeView, CSize(800, 600));
    EXPECT_EQ(r.rcWindow, CRect(240, 192, 1040, 792));
}

TEST(LayoutFitMode, HugePicturesDoNotOverflow)
{
    // 1280 x 2000000 does not fit 32 bits: a wrapped product would skip the height fit.
    LayoutResult r = ComputeLayout(Picture({100000, 2000000}, 2, 1.0f, 0xFFFFFFFFu));
    EXPECT_EQ(r.fZoom, static_cast<float>(984.0 / 2000000.0));
    EXPECT_EQ(r.sizeView, CSize(49, 984));
    EXPECT_EQ(SizeOf(r.rcWindow), CSize(49, 984));

    // Picture area 10^10 against the limit: the quotient must use the true area.
    r = ComputeLayout(Picture({100000, 100000}, 2, 1.0f, 480000u));
    EXPECT_FLOAT_EQ(r.fZoom, 0.0069282032f);
    EXPECT_EQ(r.sizeView, CSize(692, 692));
}

TEST(LayoutFitMode, EmptyPictureSidesDoNotDivideByZero)
{
    LayoutResult r = ComputeLayout(Picture({0, 0}, 2, 1.0f, 100u));
    EXPECT_EQ(r.sizeView, CSize(0, 0));
    EXPECT_EQ(r.fZoom, 1.0f);
    EXPECT_EQ(r.rcWindow, CRect(640, 492, 640, 492));

    r = ComputeLayout(Picture({0, 5000}, 2, 1.0f, 100u));
    EXPECT_EQ(r.sizeView, CSize(0, 984));
    EXPECT_TRUE(std::isfinite(r.fZoom));

    r = ComputeLayout(Picture({5000, 0}, 1, 2.0f, 100u));
    EXPECT_EQ(r.sizeView, CSize(10000, 0));
    EXPECT_EQ(r.nMaxArea, 0u);
}

TEST(LayoutKeepZoom, LargePictureTakesTheWorkAreaAndStartsTopCentred)
{
    const LayoutResult r = ComputeLayout(Picture({2000, 1500}, 1, 1.0f, 5u));
    EXPECT_EQ(r.sizeView, CSize(2000, 1500));
    EXPECT_EQ(r.rcWindow, kWork);
    EXPECT_EQ(r.nMaxArea, 1280u * 984u);
    EXPECT_EQ(r.fZoom, 1.0f);

    const ScrollResult s = ComputeScroll(true, r.sizeView, SizeOf(r.rcWindow), {77, 77}, 0.1f, 0.9f);
    EXPECT_EQ(s.sizeScrollMax, CSize(720, 516));
    EXPECT_EQ(s.ptScroll, CPoint(360, 0));
}

TEST(LayoutKeepZoom, ProductsTruncateAndWindowStoresItsArea)
{
    LayoutResult r = ComputeLayout(Picture({641, 481}, 1, 0.5f, 0u));
    EXPECT_EQ(r.sizeView, CSize(320, 240));
    EXPECT_EQ(r.nMaxArea, 76800u);
    EXPECT_EQ(r.fZoom, 0.5f);

    // 3 x 1.04999995 = 3.1499998: truncated, not rounded.
    r = ComputeLayout(Picture({3, 19}, 1, 1.05f, 0u));
    EXPECT_EQ(r.sizeView, CSize(3, 19));
}

TEST(LayoutKeepZoom, DisplayedSizeSaturatesInsteadOfOverflowing)
{
    const LayoutResult r = ComputeLayout(Picture({2000000000, 3}, 1, kMaxZoom, 0u));
    EXPECT_EQ(r.sizeView, CSize(1 << 30, 192));
    EXPECT_EQ(SizeOf(r.rcWindow), CSize(1280, 192));
    EXPECT_EQ(r.nMaxArea, 1280u * 192u);
}

TEST(LayoutPlacement, NoPictureIs320By240AboutTheCentreAndTouchesNothing)
{
    const LayoutResult r = ComputeLayout({false, {4000, 3000}, 0.3f, 2, 1234u, kWorkMiddle, kWork});
    EXPECT_EQ(r.sizeView, CSize(320, 240));
    EXPECT_EQ(r.rcWindow, CRect(480, 372, 800, 612));
    EXPECT_EQ(r.fZoom, 0.3f);
    EXPECT_EQ(r.nMaxArea, 1234u);
}

TEST(LayoutPlacement, WindowNearAnEdgeIsShiftedButTheCentreStays)
{
    const CPoint centre{1200, 900};
    LayoutResult r = ComputeLayout(Picture({400, 300}, 1, 1.0f, 0u, centre));
    EXPECT_EQ(r.rcWindow, CRect(880, 684, 1280, 984));

    // The next, smaller picture is centred on the same remembered point again.
    r = ComputeLayout(Picture({100, 80}, 1, 1.0f, 0u, centre));
    EXPECT_EQ(r.rcWindow, CRect(1150, 860, 1250, 940));

    r = ComputeLayout(Picture({400, 300}, 1, 1.0f, 0u, {5, 5}));
    EXPECT_EQ(r.rcWindow, CRect(0, 0, 400, 300));
}

TEST(LayoutPlacement, LowerLimitIsCoordinateZeroNotTheWorkAreaEdge)
{
    const CRect work{60, 0, 1280, 1024};
    const LayoutResult r = ComputeLayout(Picture({400, 300}, 1, 1.0f, 0u, {100, 500}, work));
    EXPECT_EQ(r.rcWindow, CRect(0, 350, 400, 650));
}

TEST(LayoutPlacement, OddSizesUseTruncatingHalves)
{
    const LayoutResult r = ComputeLayout(Picture({301, 201}, 1, 1.0f, 0u, {500, 500}));
    EXPECT_EQ(r.rcWindow, CRect(350, 400, 651, 601));
}

TEST(LayoutScroll, KeepsTheMiddleSpotWithinLimits)
{
    const CSize view{2000, 1500};
    const CSize client{1000, 800};
    ScrollResult s = ComputeScroll(false, view, client, {0, 0}, 0.6f, 0.5f);
    EXPECT_EQ(s.sizeScrollMax, CSize(1000, 700));
    EXPECT_EQ(s.ptScroll, CPoint(700, 350));

    s = ComputeScroll(false, view, client, {0, 0}, 0.1f, 0.99f);
    EXPECT_EQ(s.ptScroll, CPoint(0, 700));

    // The half of the client is an integer half: 500 - 250, not 500 - 250.5.
    s = ComputeScroll(false, {1000, 100}, {501, 100}, {0, 0}, 0.5f, 0.5f);
    EXPECT_EQ(s.ptScroll, CPoint(250, 0));

    // Axes that cannot scroll sit at 0 whatever the spot, also a corrupt one.
    s = ComputeScroll(false, {500, 400}, {500, 400}, {9, 9}, NAN, 7.0f);
    EXPECT_EQ(s.sizeScrollMax, CSize(0, 0));
    EXPECT_EQ(s.ptScroll, CPoint(0, 0));
}

TEST(LayoutScroll, RecentreHalvesTheHorizontalRangeOnly)
{
    EXPECT_EQ(ComputeScroll(true, {1007, 900}, {1000, 400}, {}, 0.5f, 0.5f).ptScroll, CPoint(3, 0));
    EXPECT_EQ(ComputeScroll(true, {900, 900}, {1000, 400}, {}, 0.5f, 0.5f).ptScroll, CPoint(0, 0));
}

TEST(LayoutScroll, ZoomingInKeepsTheSamePicturePointInTheMiddle)
{
    const CSize client{1000, 800};
    const CPoint scroll{600, 300};
    const ViewCenter c = ComputeViewCenter(true, scroll, client, {2000, 1500});
    EXPECT_FLOAT_EQ(c.fX, 0.55f);

    const float zoom = ZoomInStep(1.0f);
    const LayoutResult r = ComputeLayout(Picture({2000, 1500}, 1, zoom, 0u));
    const ScrollResult s = ComputeScroll(false, r.sizeView, client, scroll, c.fX, c.fY);
    EXPECT_EQ(r.sizeView, CSize(2099, 1574));
    EXPECT_NEAR((s.ptScroll.x + client.cx / 2) / zoom, 1100.0, 1.0);
    EXPECT_NEAR((s.ptScroll.y + client.cy / 2) / zoom, 700.0, 1.0);
}

TEST(LayoutViewCenter, FractionOfTheDisplayedSize)
{
    ViewCenter c = ComputeViewCenter(true, {100, 0}, {640, 480}, {1280, 960});
    EXPECT_EQ(c.fX, 0.328125f);
    EXPECT_EQ(c.fY, 0.25f);

    c = ComputeViewCenter(true, {0, 0}, {641, 3}, {1282, 12});
    EXPECT_EQ(c.fX, 0.25f);
    EXPECT_EQ(c.fY, 0.125f);

    c = ComputeViewCenter(false, {100, 100}, {640, 480}, {1280, 960});
    EXPECT_EQ(c.fX, 0.5f);
    EXPECT_EQ(c.fY, 0.5f);

    // A picture zoomed out to nothing still yields a usable spot.
    c = ComputeViewCenter(true, {0, 0}, {0, 0}, {0, 0});
    EXPECT_EQ(c.fX, 0.5f);
    EXPECT_EQ(c.fY, 0.5f);
}

TEST(ZoomSteps, FourStepsEachWayFromOne)
{
    const float in[] = {1.04999995f, 1.10249984f, 1.15762484f, 1.21550608f};
    const float out[] = {0.94999999f, 0.90249997f, 0.85737497f, 0.81450623f};
    const int percentIn[] = {104, 110, 115, 121};
    const int percentOut[] = {94, 90, 85, 81};
    float zi = 1.0f;
    float zo = 1.0f;
    for (int i = 0; i < 4; ++i) {
        zi = ZoomInStep(zi);
        zo = ZoomOutStep(zo);
        EXPECT_EQ(zi, in[i]) << "step " << i + 1;
        EXPECT_EQ(zo, out[i]) << "step " << i + 1;
        EXPECT_EQ(ZoomPercent(zi), percentIn[i]);
        EXPECT_EQ(ZoomPercent(zo), percentOut[i]);
    }
}

TEST(ZoomSteps, SnapToOneNearOne)
{
    EXPECT_EQ(ZoomInStep(0.95f), 1.0f);
    EXPECT_EQ(ZoomOutStep(1.05f), 1.0f);
    EXPECT_EQ(ZoomOutStep(ZoomInStep(1.0f)), 1.0f);
    EXPECT_EQ(ZoomInStep(ZoomOutStep(1.0f)), 1.0f);
    // The bounds themselves are outside the snapping band.
    EXPECT_NE(ZoomInStep(0.94f), 1.0f);
    EXPECT_NE(ZoomOutStep(1.06f), 1.0f);
    EXPECT_FLOAT_EQ(ZoomInStep(0.94f), 0.987f);
    EXPECT_FLOAT_EQ(ZoomOutStep(1.06f), 1.007f);
}

TEST(ZoomSteps, ProductsInDoubleRoundedToFloat)
{
    // 0.945 to three places: the float factor 1.04999995 puts it one step below 0.945f.
    EXPECT_EQ(ZoomInStep(0.9f), 0.94499993f);
    EXPECT_FLOAT_EQ(ZoomInStep(0.9f), 0.945f);
    EXPECT_EQ(ZoomOutStep(1.1025f), 1.047375f);
}

TEST(ZoomSteps, LowerAndUpperEnds)
{
    EXPECT_EQ(ZoomOutStep(0.0f), 0.001f);
    EXPECT_GT(ZoomOutStep(1e-45f), 0.0f);
    // A zoom of 0 (fitting a zero area) or a subnormal one never leaves zoom in stuck.
    EXPECT_EQ(ZoomInStep(0.0f), 0.001f);
    EXPECT_EQ(ZoomInStep(1e-44f), 0.001f);
    float out = 1.0f;
    for (int i = 0; i < 3000; ++i)
        out = ZoomOutStep(out);
    EXPECT_GT(ZoomInStep(out), out);

    EXPECT_EQ(ZoomInStep(63.0f), kMaxZoom);
    EXPECT_EQ(ZoomInStep(kMaxZoom), kMaxZoom);
    float z = 1.0f;
    for (int i = 0; i < 500; ++i) {
        z = ZoomInStep(z);
        ASSERT_LE(z, kMaxZoom);
    }
    EXPECT_EQ(z, kMaxZoom);
    EXPECT_LT(ZoomOutStep(kMaxZoom), kMaxZoom);
}
