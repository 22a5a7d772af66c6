#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "mainframe/settings_rules.h"

namespace {
const wchar_t kDefault[] = L"bmp,gif,jpg,png,tif,jpeg";
}

TEST(SettingsRules, ExtensionListIsTextUpToNul)
{
    const wchar_t stored[260] = L"png,jpg";
    EXPECT_EQ(ExtensionListFromQuery(true, stored, 260, kDefault), L"png,jpg");

    const wchar_t empty[260] = L"";
    EXPECT_EQ(ExtensionListFromQuery(true, empty, 260, kDefault), L"");
}

TEST(SettingsRules, ExtensionListWithoutTerminatorStopsAtBufferEnd)
{
    // A 520-byte value with no NUL: the vector is exactly 260 units, so ASan catches any read past it.
    std::vector<wchar_t> full(260, L'x');
    full[0] = L'a';
    full[259] = L'z';
    const std::wstring list = ExtensionListFromQuery(true, full.data(), full.size(), kDefault);
    ASSERT_EQ(list.size(), 260u);
    EXPECT_EQ(list.front(), L'a');
    EXPECT_EQ(list.back(), L'z');
}

TEST(SettingsRules, FailedExtensionQueryGivesDefault)
{
    const wchar_t stale[260] = L"leftover";
    EXPECT_EQ(ExtensionListFromQuery(false, stale, 260, kDefault), kDefault);
    EXPECT_EQ(ExtensionListFromQuery(true, nullptr, 0, kDefault), kDefault);
}

TEST(SettingsRules, InterpolationAsReadOrZero)
{
    EXPECT_EQ(InterpolationFromQuery(true, 5), 5);
    EXPECT_EQ(InterpolationFromQuery(true, 7), 7);  // out of range, kept as read
    EXPECT_EQ(InterpolationFromQuery(true, 0xFFFFFFFFu), -1);
    EXPECT_EQ(InterpolationFromQuery(false, 3), 0);
}

TEST(SettingsRules, WorkAreaCenterTruncatesHalves)
{
    EXPECT_EQ(WorkAreaCenter(CRect(0, 0, 1280, 984)), CPoint(640, 492));
    EXPECT_EQ(WorkAreaCenter(CRect(0, 0, 1023, 767)), CPoint(511, 383));
    // A work area on a monitor left of the primary: halves truncate toward zero, not down.
    EXPECT_EQ(WorkAreaCenter(CRect(-1279, -3, 0, 0)), CPoint(-639, -1));
    EXPECT_EQ(WorkAreaCenter(CRect(INT32_MAX - 2, 0, INT32_MAX, 10)), CPoint(INT32_MAX - 1, 5));
}

TEST(SettingsRules, SwitchesAreOnUnlessAStoredDwordSaysZero)
{
    constexpr uint32_t kDword = 4, kString = 1;
    EXPECT_FALSE(SwitchFromQuery(true, kDword, 4, 0, true));
    EXPECT_TRUE(SwitchFromQuery(true, kDword, 4, 7, false));
    EXPECT_TRUE(SwitchFromQuery(false, kDword, 4, 0, true));   // missing
    EXPECT_TRUE(SwitchFromQuery(true, kString, 4, 0, true));   // "0" as text is not a setting
    EXPECT_TRUE(SwitchFromQuery(true, kDword, 2, 0, true));    // a short value is not either
}
