#include <gtest/gtest.h>

#include "images/folder/open_filter.h"

TEST(OpenFilter, SplitAtLastBackslashOnly)
{
    std::wstring folder, name;
    ASSERT_TRUE(SplitPicturePath(L"C:\\pics\\sub\\Photo.JPG", folder, name));
    EXPECT_EQ(folder, L"C:\\pics\\sub\\");
    EXPECT_EQ(name, L"Photo.JPG");

    ASSERT_TRUE(SplitPicturePath(L"C:\\pics/sub/a.png", folder, name));
    EXPECT_EQ(folder, L"C:\\");
    EXPECT_EQ(name, L"pics/sub/a.png");

    ASSERT_TRUE(SplitPicturePath(L"C:\\pics\\", folder, name));
    EXPECT_EQ(folder, L"C:\\pics\\");
    EXPECT_EQ(name, L"");
}

TEST(OpenFilter, NoBackslashFailsAndChangesNothing)
{
    std::wstring folder = L"keep\\", name = L"keep.png";
    EXPECT_FALSE(SplitPicturePath(L"C:/pics/a.png", folder, name));
    EXPECT_FALSE(SplitPicturePath(L"", folder, name));
    EXPECT_EQ(folder, L"keep\\");
    EXPECT_EQ(name, L"keep.png");
}

TEST(OpenFilter, PatternFromList)
{
    EXPECT_EQ(BuildOpenPattern(L"bmp,gif,jpg,png,tif,jpeg"), L"*.bmp;*.gif;*.jpg;*.png;*.tif;*.jpeg");
    EXPECT_EQ(BuildOpenPattern(L"png"), L"*.png");
    EXPECT_EQ(BuildOpenPattern(L""), L"*.");
    EXPECT_EQ(BuildOpenPattern(L"a,,b,"), L"*.a;*.;*.b;*.");
}

TEST(OpenFilter, FilterWithNulSeparators)
{
    const std::wstring filter = BuildOpenFilter(L"\u76F8\u5173\u6587\u4EF6", L"*.png;*.jpg", L"\u6240\u6709\u6587\u4EF6");
    EXPECT_EQ(filter, L"\u76F8\u5173\u6587\u4EF6|*.png;*.jpg|\u6240\u6709\u6587\u4EF6|*.*||");

    const std::wstring nul = FilterToNulSeparated(filter);
    const wchar_t expected[] = L"\u76F8\u5173\u6587\u4EF6\0*.png;*.jpg\0\u6240\u6709\u6587\u4EF6\0*.*\0";
    EXPECT_EQ(nul, std::wstring(expected, sizeof(expected) / sizeof(wchar_t)));
    // The system dialog reads pairs until an empty string: the text must end in two NULs.
    ASSERT_GE(nul.size(), 2u);
    EXPECT_EQ(nul[nul.size() - 1], L'\0');
    EXPECT_EQ(nul[nul.size() - 2], L'\0');
}
