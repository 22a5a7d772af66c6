#include <gtest/gtest.h>

#include <climits>

#include "integration/association_plan.h"
#include "integration/background_plan.h"
#include "integration/extension_list.h"

using Items = std::vector<std::wstring>;

TEST(ExtensionList, CleaningDropsSeparatorsWithoutReplacingThem)
{
    EXPECT_EQ(CleanExtensions(L"bmp; gif, .png|jpg"), L"bmpgif,pngjpg");
    EXPECT_EQ(CleanExtensions(L".JPG;.png"), L"JPGpng");
    EXPECT_EQ(CleanExtensions(L".JPG, .png"), L"JPG,png");
    EXPECT_EQ(CleanExtensions(L" .|; "), L"");
    EXPECT_EQ(CleanExtensions(L"a\tb,\u00E9"), L"a\tb,\u00E9");
}

TEST(ExtensionList, SplitFollowsCommas)
{
    EXPECT_EQ(SplitExtensionItems(L"bmp,gif,jpg,png,tif,jpeg"),
              (Items{L"bmp", L"gif", L"jpg", L"png", L"tif", L"jpeg"}));
    EXPECT_EQ(SplitExtensionItems(L"png"), (Items{L"png"}));
    EXPECT_EQ(SplitExtensionItems(L""), Items{});
    EXPECT_EQ(SplitExtensionItems(L"bmp,"), (Items{L"bmp"}));
    EXPECT_EQ(SplitExtensionItems(L",png"), (Items{L"", L"png"}));
    EXPECT_EQ(SplitExtensionItems(L"a,,b"), (Items{L"a", L"", L"b"}));
    EXPECT_EQ(SplitExtensionItems(L","), (Items{L""}));
    EXPECT_EQ(SplitExtensionItems(L"JPG, png"), (Items{L"JPG", L" png"}));
}

TEST(AssociationPlan, EntriesForModuleAndList)
{
    const AssociationPlan plan =
        PlanAssociations(L"C:\\Program Files\\Vistrel\\vistrel.exe", L"bmp,JPG,,tif,");
    ASSERT_TRUE(plan.bOk);
    EXPECT_EQ(plan.strProgramName, L"vistrel.exe");
    EXPECT_EQ(plan.strAppKey, L"Applications\\vistrel.exe\\shell\\open\\command");
    EXPECT_EQ(plan.strOpenCommand, L"\"C:\\Program Files\\Vistrel\\vistrel.exe\" \"%1\"");
    EXPECT_EQ(plan.strAppReference, L"Applications\\vistrel.exe");
    EXPECT_EQ(plan.extensionKeys, (Items{L".bmp", L".JPG", L".", L".tif"}));
}

TEST(AssociationPlan, EmptyListStillDescribesTheApplication)
{
    const AssociationPlan plan = PlanAssociations(L"D:\\v.exe", L"");
    ASSERT_TRUE(plan.bOk);
    EXPECT_EQ(plan.strAppKey, L"Applications\\v.exe\\shell\\open\\command");
    EXPECT_TRUE(plan.extensionKeys.empty());
}

TEST(AssociationPlan, NoProgramNameWithoutBackslash)
{
    EXPECT_FALSE(PlanAssociations(L"", L"png").bOk);
    const AssociationPlan plan = PlanAssociations(L"vistrel.exe", L"png");
    EXPECT_FALSE(plan.bOk);
    EXPECT_TRUE(plan.extensionKeys.empty());
}

namespace {

void ExpectCrop(const BackgroundCrop& crop, BackgroundSource source, int32_t x, int32_t w, int32_t h)
{
    EXPECT_EQ(crop.source, source);
    EXPECT_EQ(crop.x, x);
    EXPECT_EQ(crop.y, 0);
    EXPECT_EQ(crop.w, w);
    EXPECT_EQ(crop.h, h);
}

} // namespace

TEST(BackgroundCrop, CutToScreenShapeAndShrunkWhenLarger)
{
    // Wider than the screen: equal strips off the sides, then scaled down.
    ExpectCrop(PlanBackgroundCrop(3000, 2000, 1280, 1024), BackgroundSource::Scale, 250, 2500, 2000);
    // Taller than the screen: the top part is kept at its own size.
    ExpectCrop(PlanBackgroundCrop(1000, 1000, 1024, 768), BackgroundSource::Copy, 0, 1000, 750);
    ExpectCrop(PlanBackgroundCrop(600, 800, 1280, 1024), BackgroundSource::Copy, 0, 600, 480);
    // Odd strip goes to the right: 1001 - 800 = 201 pixels, 100 on the left.
    ExpectCrop(PlanBackgroundCrop(1001, 600, 4, 3), BackgroundSource::Scale, 100, 800, 600);
}

TEST(BackgroundCrop, ScreenShapedPictureIsSavedAsItIs)
{
    ExpectCrop(PlanBackgroundCrop(1024, 768, 1024, 768), BackgroundSource::Whole, 0, 1024, 768);
    ExpectCrop(PlanBackgroundCrop(800, 600, 1600, 1200), BackgroundSource::Whole, 0, 800, 600);
}

TEST(BackgroundCrop, DegenerateSizesGiveNothing)
{
    EXPECT_EQ(PlanBackgroundCrop(1, 1000, 1280, 1024).source, BackgroundSource::None);  // h = 0
    EXPECT_EQ(PlanBackgroundCrop(1000, 1, 1, 1280).source, BackgroundSource::None);     // w = 0
    EXPECT_EQ(PlanBackgroundCrop(800, 600, 0, 768).source, BackgroundSource::None);
    EXPECT_EQ(PlanBackgroundCrop(800, 600, 1024, 0).source, BackgroundSource::None);
    EXPECT_EQ(PlanBackgroundCrop(0, 600, 1024, 768).source, BackgroundSource::None);
    EXPECT_EQ(PlanBackgroundCrop(800, -1, 1024, 768).source, BackgroundSource::None);
}

TEST(BackgroundCrop, LargeProductsDoNotOverflow)
{
    // 100000 * 50000 does not fit 32 bits.
    ExpectCrop(PlanBackgroundCrop(100000, 100000, 30000, 50000), BackgroundSource::Scale, 20000, 60000, 100000);
    ExpectCrop(PlanBackgroundCrop(INT32_MAX, 1, 1920, 1080), BackgroundSource::Copy, (INT32_MAX - 1) / 2, 1, 1);
    ExpectCrop(PlanBackgroundCrop(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX), BackgroundSource::Whole, 0,
               INT32_MAX, INT32_MAX);
}

TEST(BackgroundPaths, FolderChainFromPositionThree)
{
    EXPECT_EQ(FolderChainPrefixes(L"C:\\Users\\me\\AppData\\Roaming\\Vistrel\\"),
              (Items{L"C:\\Users", L"C:\\Users\\me", L"C:\\Users\\me\\AppData", L"C:\\Users\\me\\AppData\\Roaming",
                     L"C:\\Users\\me\\AppData\\Roaming\\Vistrel"}));
    EXPECT_EQ(FolderChainPrefixes(L"c:\\"), Items{});
    EXPECT_EQ(FolderChainPrefixes(L"c:\\Vistrel"), Items{});
    EXPECT_EQ(FolderChainPrefixes(L""), Items{});
    EXPECT_EQ(FolderChainPrefixes(L"c:\\\\x\\"), (Items{L"c:\\", L"c:\\\\x"}));
}

TEST(BackgroundPaths, FolderAndTargets)
{
    EXPECT_EQ(BackgroundFolder(L"C:\\Users\\me\\AppData\\Roaming"), L"C:\\Users\\me\\AppData\\Roaming\\Vistrel\\");
    EXPECT_EQ(BackgroundFolder(L"C:\\Data\\"), L"C:\\Data\\Vistrel\\");

    const std::wstring folder = L"C:\\Data\\Vistrel\\";
    EXPECT_EQ(BackgroundTargetPath(folder, false, false), L"C:\\Data\\Vistrel\\Vistrel Wallpaper.bmp");
    EXPECT_EQ(BackgroundTargetPath(folder, false, true), L"C:\\Data\\Vistrel\\Vistrel Wallpaper1.bmp");
    EXPECT_EQ(BackgroundTargetPath(folder, true, false), L"C:\\Data\\Vistrel\\Vistrel Calendar.bmp");
    EXPECT_EQ(BackgroundTargetPath(folder, true, true), L"C:\\Data\\Vistrel\\Vistrel Calendar1.bmp");
    EXPECT_EQ(BackgroundTargetPath(kFallbackBackgroundFolder, false, false), L"c:\\Vistrel Wallpaper.bmp");
}
