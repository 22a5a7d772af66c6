#include <gtest/gtest.h>

#include <array>

#include "view/interaction.h"

namespace {

// Windows virtual-key codes, as the keyboard delivers them.
constexpr uint32_t kPageUp = 0x21;
constexpr uint32_t kPageDown = 0x22;
constexpr uint32_t kHome = 0x24;
constexpr uint32_t kLeft = 0x25;
constexpr uint32_t kUp = 0x26;
constexpr uint32_t kRight = 0x27;
constexpr uint32_t kDown = 0x28;

// How many client points fall on each edge code.
std::array<int, 9> CountEdges(CSize client)
{
    std::array<int, 9> counts{};
    for (int32_t y = 0; y < client.cy; ++y)
        for (int32_t x = 0; x < client.cx; ++x)
            ++counts.at(static_cast<size_t>(ClassifySizingEdge({x, y}, client)));
    return counts;
}

}  // namespace

TEST(SizingEdge, PointsOfA640By480Window)
{
    const CSize client{640, 480};
    struct Case {
        CPoint pt;
        int32_t edge;
    } cases[] = {
        {{3, 3}, 4},     {{4, 4}, 4},     {{5, 5}, 0},     {{0, 479}, 7},   {{2, 240}, 1},   {{4, 474}, 1},
        {{5, 474}, 0},   {{634, 3}, 3},   {{635, 3}, 5},   {{639, 479}, 8}, {{635, 240}, 2}, {{320, 0}, 3},
        {{320, 475}, 6}, {{320, 474}, 0}, {{-1, 100}, 1},  {{700, 100}, 2}, {{100, 100}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifySizingEdge(c.pt, client), c.edge) << c.pt.x << "," << c.pt.y;
}

TEST(SizingEdge, BandsAreFivePixelsOverTheWholeGrid)
{
    const std::array<int, 9> counts = CountEdges({640, 480});
    const std::array<int, 9> expected = {630 * 470, 5 * 470, 5 * 470, 630 * 5, 25, 25, 630 * 5, 25, 25};
    EXPECT_EQ(counts, expected);
}

TEST(SizingEdge, TinyWindowsPreferLeftAndTop)
{
    // 8 x 8: columns 0-4 are left, 5-7 right; rows 0-4 top, 5-7 bottom.
    EXPECT_EQ(CountEdges({8, 8}), (std::array<int, 9>{0, 0, 0, 0, 25, 15, 0, 15, 9}));
    EXPECT_EQ(ClassifySizingEdge({5, 5}, {6, 6}), 8);
    EXPECT_EQ(ClassifySizingEdge({3, 3}, {6, 6}), 4);
    EXPECT_EQ(ClassifySizingEdge({0, 0}, {0, 0}), 4);
    EXPECT_EQ(ClassifySizingEdge({7, 0}, {1, 1}), 5);
}

TEST(SizingEdge, CursorsOfEdgesAndCorners)
{
    const CursorShape expected[] = {CursorShape::Arrow,    CursorShape::SizeWE,   CursorShape::SizeWE,
                                    CursorShape::SizeNS,   CursorShape::SizeNWSE, CursorShape::SizeNESW,
                                    CursorShape::SizeNS,   CursorShape::SizeNESW, CursorShape::SizeNWSE};
    for (int32_t edge = 0; edge < 9; ++edge)
        EXPECT_EQ(CursorForEdge(edge), expected[edge]) << "edge " << edge;
    EXPECT_EQ(CursorForEdge(9), CursorShape::Arrow);
    EXPECT_EQ(CursorForEdge(-1), CursorShape::Arrow);
}

TEST(PanState, LargerPictureWithoutShiftPans)
{
    EXPECT_TRUE(ComputeCanPan(true, {640, 480}, false));  // 1280x960 in 640x480
    EXPECT_FALSE(ComputeCanPan(true, {640, 480}, true));
    EXPECT_TRUE(ComputeCanPan(true, {0, 1}, false));
    EXPECT_TRUE(ComputeCanPan(true, {1, -5}, false));
    EXPECT_FALSE(ComputeCanPan(true, {0, 0}, false));
    EXPECT_FALSE(ComputeCanPan(true, {-3, 0}, false));
    EXPECT_FALSE(ComputeCanPan(false, {640, 480}, false));
}

TEST(DragPan, PictureFollowsThePointerWithinTheRange)
{
    EXPECT_EQ(DragScrollTarget({250, 260}, {300, 200}, {100, 100}, {1000, 1000}), CPoint(150, 40));
    EXPECT_EQ(DragScrollTarget({250, 260}, {300, 200}, {100, 100}, {120, 30}), CPoint(120, 30));
    EXPECT_EQ(DragScrollTarget({900, 900}, {300, 200}, {100, 100}, {1000, 1000}), CPoint(0, 0));
    // A negative range (axis that cannot scroll) ends at the lower limit 0.
    EXPECT_EQ(DragScrollTarget({0, 0}, {300, 200}, {0, 0}, {-10, -10}), CPoint(0, 0));
}

TEST(KeyPan, StepIsLimitedByTheRoomLeft)
{
    const CSize view{1000, 1000};
    const CSize client{640, 480};
    KeyScroll k = ComputeKeyScroll(kRight, view, {335, 0}, client);
    EXPECT_TRUE(k.bMoved);
    EXPECT_EQ(k.ptScroll, CPoint(360, 0));
    EXPECT_EQ(k.scrollBy, CSize(-25, 0));

    k = ComputeKeyScroll(kRight, view, k.ptScroll, client);
    EXPECT_FALSE(k.bMoved);
    EXPECT_EQ(k.ptScroll, CPoint(360, 0));
    EXPECT_EQ(k.scrollBy, CSize(0, 0));

    k = ComputeKeyScroll(kLeft, view, {100, 7}, client);
    EXPECT_EQ(k.ptScroll, CPoint(40, 7));
    EXPECT_EQ(k.scrollBy, CSize(60, 0));
    k = ComputeKeyScroll(kLeft, view, k.ptScroll, client);
    EXPECT_EQ(k.ptScroll, CPoint(0, 7));
    EXPECT_EQ(k.scrollBy, CSize(40, 0));
    EXPECT_FALSE(ComputeKeyScroll(kLeft, view, k.ptScroll, client).bMoved);

    k = ComputeKeyScroll(kDown, view, {5, 0}, client);
    EXPECT_EQ(k.ptScroll, CPoint(5, 60));
    EXPECT_EQ(k.scrollBy, CSize(0, -60));
    k = ComputeKeyScroll(kUp, view, {5, 30}, client);
    EXPECT_EQ(k.ptScroll, CPoint(5, 0));
    EXPECT_EQ(k.scrollBy, CSize(0, 30));
}

TEST(KeyPan, PagesAreOneClientHeight)
{
    const CSize client{640, 480};
    const CSize view{640, 1480};
    KeyScroll k = ComputeKeyScroll(kPageDown, view, {0, 0}, client);
    EXPECT_EQ(k.ptScroll, CPoint(0, 480));
    EXPECT_EQ(k.scrollBy, CSize(0, -480));
    k = ComputeKeyScroll(kPageDown, view, {0, 900}, client);
    EXPECT_EQ(k.ptScroll, CPoint(0, 1000));
    EXPECT_EQ(k.scrollBy, CSize(0, -100));
    k = ComputeKeyScroll(kPageUp, view, {0, 1000}, client);
    EXPECT_EQ(k.ptScroll, CPoint(0, 520));
    EXPECT_EQ(k.scrollBy, CSize(0, 480));
    k = ComputeKeyScroll(kPageUp, view, {0, 100}, client);
    EXPECT_EQ(k.ptScroll, CPoint(0, 0));
    EXPECT_EQ(k.scrollBy, CSize(0, 100));
}

TEST(KeyPan, OtherKeysDoNothing)
{
    for (uint32_t vk : {kHome, 0x23u, 0x20u, 0x0Du, 0x41u}) {
        const KeyScroll k = ComputeKeyScroll(vk, {2000, 2000}, {100, 100}, {640, 480});
        EXPECT_FALSE(k.bMoved) << vk;
        EXPECT_EQ(k.ptScroll, CPoint(100, 100));
        EXPECT_EQ(k.scrollBy, CSize(0, 0));
    }
}

TEST(Wheel, SmallDeltasGatherUntilANotch)
{
    const CSize tall{0, 500};
    WheelOutcome w = AccumulateWheel(0, 40, false, true, false, tall);
    EXPECT_EQ(w.action, WheelAction::None);
    EXPECT_EQ(w.nWheelDelta, 40);
    w = AccumulateWheel(w.nWheelDelta, 40, false, true, false, tall);
    EXPECT_EQ(w.action, WheelAction::None);
    EXPECT_EQ(w.nWheelDelta, 80);
    w = AccumulateWheel(w.nWheelDelta, 40, false, true, false, tall);
    EXPECT_EQ(w.action, WheelAction::Pan);
    EXPECT_EQ(w.vkPan, kUp);
    EXPECT_EQ(w.nWheelDelta, 0);

    w = AccumulateWheel(-100, -19, false, true, false, tall);
    EXPECT_EQ(w.action, WheelAction::None);
    EXPECT_EQ(w.nWheelDelta, -119);
}

TEST(Wheel, ALargeDeltaActsOnceAndIsDropped)
{
    const WheelOutcome w = AccumulateWheel(0, 240, false, true, false, {0, 500});
    EXPECT_EQ(w.action, WheelAction::Pan);
    EXPECT_EQ(w.nWheelDelta, 0);
}

TEST(Wheel, PanDirectionFollowsTheScrollableAxis)
{
    EXPECT_EQ(AccumulateWheel(0, 120, false, true, false, {300, 1}).vkPan, kUp);
    EXPECT_EQ(AccumulateWheel(0, -120, false, true, false, {300, 1}).vkPan, kDown);
    EXPECT_EQ(AccumulateWheel(0, 120, false, true, false, {300, 0}).vkPan, kLeft);
    EXPECT_EQ(AccumulateWheel(0, -120, false, true, false, {300, -4}).vkPan, kRight);
}

TEST(Wheel, ShiftZoomsAndOtherwiseNothingButTheResetHappens)
{
    EXPECT_EQ(AccumulateWheel(0, 120, true, true, false, {9, 9}).action, WheelAction::ZoomIn);
    EXPECT_EQ(AccumulateWheel(0, -120, true, false, true, {0, 0}).action, WheelAction::ZoomOut);

    WheelOutcome w = AccumulateWheel(60, 60, false, false, false, {9, 9});
    EXPECT_EQ(w.action, WheelAction::None);
    EXPECT_EQ(w.nWheelDelta, 0);
    w = AccumulateWheel(0, 120, false, true, true, {9, 9});
    EXPECT_EQ(w.action, WheelAction::None);
    EXPECT_EQ(w.nWheelDelta, 0);
}

TEST(Wheel, ExtremeDeltasKeepTheirDirection)
{
    EXPECT_EQ(AccumulateWheel(100, 32767, true, false, false, {}).action, WheelAction::ZoomIn);
    EXPECT_EQ(AccumulateWheel(119, 32767, true, false, false, {}).action, WheelAction::ZoomIn);
    EXPECT_EQ(AccumulateWheel(-100, -32768, true, false, false, {}).action, WheelAction::ZoomOut);
    EXPECT_EQ(AccumulateWheel(-119, -32768, false, true, false, {0, 5}).vkPan, kDown);
}

TEST(ResizeScroll, OnlyTheUpperLimitApplies)
{
    EXPECT_EQ(ClampScrollToMax({300, 50}, {200, 100}), CPoint(200, 50));
    EXPECT_EQ(ClampScrollToMax({10, 10}, {-5, 0}), CPoint(-5, 0));
    EXPECT_EQ(ClampScrollToMax({10, 10}, {40, 40}), CPoint(10, 10));
}
