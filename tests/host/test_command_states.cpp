#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "feedback/command_states.h"
#include "res/resource.h"
#include "view/layout.h"

namespace {

// The situations the menu is opened in.
const CommandSnapshot kNoPicture{false, true, 0, 1, 1.0f, 307200u, 0};
const CommandSnapshot kStill{true, false, 1, 1, 1.0f, 307200u, 3};
const CommandSnapshot kAnimated{true, false, 12, 1, 1.05f, 307200u, 5};
const CommandSnapshot kScreenSizeListPending{true, true, 0, 2, 0.42666668f, 0xFFFFFFFFu, 1};
const CommandSnapshot kFitWindowBadInterpolation{true, false, 1, 2, 1.0f, 480000u, 7};

// Expected calls, one cell per situation: "-" no rule at all; "e"/"d" Enable(true/false);
// "c0"/"c1" SetCheck; "r0"/"r1" SetRadio; a call that is not listed must not be made.
struct Row {
    uint32_t id;
    const char* cells[5];
};

const Row kRows[] = {
    {ID_FILE_OPEN, {"-", "-", "-", "-", "-"}},
    {ID_FILE_NEXT, {"d", "e", "e", "d", "e"}},
    {ID_FILE_PREV, {"d", "e", "e", "d", "e"}},
    {ID_FILE_FIRST, {"d", "e", "e", "d", "e"}},
    {ID_FILE_LAST, {"d", "e", "e", "d", "e"}},
    {ID_FILE_PROPERTIES, {"d", "e", "e", "e", "e"}},
    {ID_FILE_DELETE_KEY, {"d", "e", "e", "e", "e"}},
    {ID_EDIT_FLIP_HORIZONTAL, {"d", "e", "d", "e", "e"}},
    {ID_EDIT_FLIP_VERTICAL, {"d", "e", "d", "e", "e"}},
    {ID_EDIT_ROTATE_CW, {"d", "e", "d", "e", "e"}},
    {ID_EDIT_ROTATE_CCW, {"d", "e", "d", "e", "e"}},
    {ID_VIEW_ACTUAL_SIZE, {"d c1", "e c1", "e c0", "e c0", "e c0"}},
    {ID_VIEW_SCREEN_SIZE, {"d c0", "e c0", "e c0", "e c1", "e c0"}},
    {ID_VIEW_ZOOM_IN, {"d", "e", "e", "e", "e"}},
    {ID_VIEW_ZOOM_OUT, {"d", "e", "e", "e", "e"}},
    {ID_VIEW_BEST_FIT, {"d r1", "e r1", "e r1", "e r0", "e r0"}},
    {ID_VIEW_FIT_WINDOW, {"d r0", "e r0", "e r0", "e r1", "e r1"}},
    {ID_INTERP_DEFAULT, {"r1", "r0", "r0", "r0", "r0"}},
    {ID_INTERP_NEAREST, {"r0", "r0", "r0", "r1", "r0"}},
    {ID_INTERP_BILINEAR, {"r0", "r0", "r0", "r0", "r0"}},
    {ID_INTERP_HQ_BILINEAR, {"r0", "r1", "r0", "r0", "r0"}},
    {ID_INTERP_BICUBIC, {"r0", "r0", "r0", "r0", "r0"}},
    {ID_INTERP_HQ_BICUBIC, {"r0", "r0", "r1", "r0", "r0"}},
    {ID_TOOLS_SET_WALLPAPER, {"d", "e", "e", "e", "e"}},
    {ID_TOOLS_SET_CALENDAR_BKG, {"d", "e", "e", "e", "e"}},
    {ID_TOOLS_OPTIONS, {"-", "-", "-", "-", "-"}},
    {ID_HELP_ABOUT_PAGE, {"-", "-", "-", "-", "-"}},
    {ID_APP_EXIT, {"-", "-", "-", "-", "-"}},
};

bool Has(const std::string& cell, const char* token)
{
    return (" " + cell + " ").find(std::string(" ") + token + " ") != std::string::npos;
}

std::optional<bool> ExpectedEnable(const std::string& cell)
{
    if (Has(cell, "e"))
        return true;
    if (Has(cell, "d"))
        return false;
    return std::nullopt;
}

std::optional<int> ExpectedCheck(const std::string& cell)
{
    if (Has(cell, "c1"))
        return 1;
    if (Has(cell, "c0"))
        return 0;
    return std::nullopt;
}

std::optional<bool> ExpectedRadio(const std::string& cell)
{
    if (Has(cell, "r1"))
        return true;
    if (Has(cell, "r0"))
        return false;
    return std::nullopt;
}

}  // namespace

TEST(CommandRules, EveryMenuCommandInEverySituation)
{
    const CommandSnapshot* situations[] = {&kNoPicture, &kStill, &kAnimated, &kScreenSizeListPending,
                                           &kFitWindowBadInterpolation};
    for (const Row& row : kRows) {
        for (size_t i = 0; i < std::size(situations); ++i) {
            const std::string cell = row.cells[i];
            const CommandRuleEntry* entry = FindCommandRule(row.id);
            SCOPED_TRACE("command " + std::to_string(row.id) + ", situation " + std::to_string(i));
            if (cell == "-") {
                EXPECT_EQ(entry, nullptr);
                continue;
            }
            ASSERT_NE(entry, nullptr);
            const CommandState state = entry->rule(row.id, *situations[i]);
            EXPECT_EQ(state.enable, ExpectedEnable(cell));
            EXPECT_EQ(state.check, ExpectedCheck(cell));
            EXPECT_EQ(state.radio, ExpectedRadio(cell));
        }
    }
}

TEST(CommandRules, TableRangesAreDisjointAndMatchTheRegisteredRanges)
{
    const std::span<const CommandRuleEntry> table = CommandRuleTable();
    for (const CommandRuleEntry& entry : table) {
        EXPECT_LE(entry.idFirst, entry.idLast);
        EXPECT_NE(entry.rule, nullptr);
        EXPECT_EQ(FindCommandRule(entry.idFirst), &entry);
        EXPECT_EQ(FindCommandRule(entry.idLast), &entry);
    }
    // The navigation rule is registered for 32805-32809, which holds the unused 32807.
    EXPECT_EQ(FindCommandRule(32807), FindCommandRule(ID_FILE_NEXT));
    EXPECT_EQ(FindCommandRule(ID_FILE_NEXT - 1), FindCommandRule(ID_VIEW_SCREEN_SIZE));
    EXPECT_EQ(FindCommandRule(ID_VIEW_ZOOM_IN - 1), nullptr);  // 32813
    EXPECT_EQ(FindCommandRule(0), nullptr);
}

TEST(CommandRules, ActualSizeCheckReturnsAfterOneStepInAndOut)
{
    CommandSnapshot s = kStill;
    s.fZoom = ZoomInStep(s.fZoom);
    EXPECT_EQ(UpdateViewActualSizeRule(s).check, 0);
    s.fZoom = ZoomOutStep(s.fZoom);
    EXPECT_EQ(UpdateViewActualSizeRule(s).check, 1);

    s.fZoom = 1.0000001f;
    EXPECT_EQ(UpdateViewActualSizeRule(s).check, 0);
}

TEST(CommandRules, DirectRulesAgreeWithTheTable)
{
    EXPECT_EQ(UpdateRotateFlipRule(kAnimated).enable, false);
    EXPECT_EQ(UpdateFileNavRule(kScreenSizeListPending).enable, false);
    EXPECT_EQ(UpdateViewScreenSizeRule(kScreenSizeListPending).check, 1);
    EXPECT_EQ(UpdateViewFitModeRule(ID_VIEW_FIT_WINDOW, kScreenSizeListPending).radio, true);
    EXPECT_EQ(UpdateInterpolationRule(ID_INTERP_NEAREST, kScreenSizeListPending).radio, true);
    EXPECT_FALSE(UpdateInterpolationRule(ID_INTERP_NEAREST, kNoPicture).enable.has_value());
    EXPECT_EQ(UpdateSetBackgroundRule(kNoPicture).enable, false);
    EXPECT_EQ(UpdateFilePropertiesRule(kStill).enable, true);
    EXPECT_EQ(UpdateViewZoomRule(kNoPicture).enable, false);
}
