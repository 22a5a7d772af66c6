#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "images/folder/file_order.h"

namespace {

struct Entry {
    std::wstring name;
    bool bDirectory = false;
};

// Plays back a folder listing the way the find-file loop delivers it.
class FakeFolder {
public:
    explicit FakeFolder(std::vector<Entry> entries) : m_entries(std::move(entries)) {}
    bool operator()(std::wstring& name, bool& bDirectory)
    {
        if (m_next == m_entries.size())
            return false;
        name = m_entries[m_next].name;
        bDirectory = m_entries[m_next].bDirectory;
        ++m_next;
        return true;
    }

private:
    std::vector<Entry> m_entries;
    size_t m_next = 0;
};

std::vector<std::wstring> Names(const std::list<std::wstring>& list)
{
    return {list.begin(), list.end()};
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const std::wstring& a, const std::wstring& b) { return FileNameLess(a, b); });
    return names;
}

} // namespace

TEST(FileOrder, AsciiCaseFoldedToLowerBeforeComparing)
{
    // '_' (0x5F) lies between 'Z' and 'a': folding to lower case puts it first.
    EXPECT_EQ(Sorted({L"b.jpg", L"A.png", L"a.bmp", L"_c.gif"}),
              (std::vector<std::wstring>{L"_c.gif", L"a.bmp", L"A.png", L"b.jpg"}));
    EXPECT_LT(CompareFileNames(L"[x", L"Ax"), 0);
    EXPECT_EQ(CompareFileNames(L"Photo.JPG", L"photo.jpg"), 0);
    EXPECT_TRUE(FileNamesEqualNoCase(L"Photo.JPG", L"pHOTO.jpg"));
    EXPECT_FALSE(FileNamesEqualNoCase(L"photo.jpg", L"photo.jpeg"));
}

TEST(FileOrder, CodeUnitOrderWithPrefixFirst)
{
    EXPECT_LT(CompareFileNames(L"img10.jpg", L"img2.jpg"), 0);
    EXPECT_GT(CompareFileNames(L"img2.jpg", L"img10.jpg"), 0);
    EXPECT_LT(CompareFileNames(L"abc.jpg", L"abc.jpg.bak"), 0);
    EXPECT_GT(CompareFileNames(L"ABC.JPG.bak", L"abc.jpg"), 0);
    EXPECT_LT(CompareFileNames(L"", L"a"), 0);
    EXPECT_EQ(CompareFileNames(L"", L""), 0);
}

TEST(FileOrder, NonAsciiIsNotFolded)
{
    EXPECT_LT(CompareFileNames(L"\u00C9t\u00E9.png", L"\u00E9t\u00E9.png"), 0);
    EXPECT_FALSE(FileNamesEqualNoCase(L"\u00C9.png", L"\u00E9.png"));
    EXPECT_GT(CompareFileNames(L"\u00E9", L"z"), 0);
}

TEST(FileOrder, SupplementaryPlaneSortsAsSurrogatePairs)
{
    // In UTF-16 the pair of U+1F600 starts with 0xD83D, below U+E000..U+FFFF, above U+D7FF.
    EXPECT_LT(CompareFileNames(L"\U0001F600.png", L"\uFF21.png"), 0);
    EXPECT_LT(CompareFileNames(L"\U0001F600.png", L"\uE000.png"), 0);
    EXPECT_GT(CompareFileNames(L"\U0001F600.png", L"\uD7FF.png"), 0);
    EXPECT_LT(CompareFileNames(L"\U0001F600", L"\U0001F601"), 0);
}

TEST(FileOrder, RebuildListsFilesOnlyAndFindsCurrent)
{
    std::list<std::wstring> list{L"stale.png"};
    auto it = list.begin();
    FakeFolder folder({{L".", true}, {L"..", true}, {L"readme.txt"}, {L"Sub", true},
                       {L"photo.jpg"}, {L"a.png"}});
    RebuildFileList(list, it, L"Photo.JPG", folder);

    EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"a.png", L"photo.jpg", L"readme.txt"}));
    ASSERT_NE(it, list.end());
    EXPECT_EQ(*it, L"photo.jpg");
    EXPECT_EQ(std::distance(list.begin(), it), 1);
}

TEST(FileOrder, RebuildWithoutMatchOrEntries)
{
    std::list<std::wstring> list{L"old.png"};
    auto it = list.begin();
    RebuildFileList(list, it, L"PHOTO~1.JPG", FakeFolder({{L"photo.jpeg"}, {L"b.png"}}));
    EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"b.png", L"photo.jpeg"}));
    EXPECT_EQ(it, list.end());

    RebuildFileList(list, it, L"a.png", FakeFolder({{L".", true}}));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(it, list.end());
}

TEST(FileOrder, EqualNamesKeepEnumerationOrderAndFirstMatchIsCurrent)
{
    std::list<std::wstring> list;
    auto it = list.end();
    RebuildFileList(list, it, L"x.png",
                    FakeFolder({{L"z.png"}, {L"X.PNG"}, {L"b.png"}, {L"x.png"}, {L"X.png"}, {L"a.png"}}));

    EXPECT_EQ(Names(list),
              (std::vector<std::wstring>{L"a.png", L"b.png", L"X.PNG", L"x.png", L"X.png", L"z.png"}));
    ASSERT_NE(it, list.end());
    EXPECT_EQ(*it, L"X.PNG");  // the first listed of the equal names, not the exact-case one
    EXPECT_EQ(std::distance(list.begin(), it), 2);
}

TEST(FileOrder, LargeFolderSortedWithCurrentKept)
{
    // 100,000 names delivered in a scrambled order by a callable that can only be moved,
    // so the rebuild must take it by reference.
    constexpr size_t kCount = 100000;
    auto calls = std::make_unique<size_t>(0);
    size_t* pCalls = calls.get();
    auto next = [calls = std::move(calls)](std::wstring& name, bool& bDirectory) {
        const size_t i = (*calls)++;
        if (i == kCount)
            return false;
        const size_t k = (i * 7919) % kCount;  // 7919 is prime, so every k appears once
        name = (k % 2 ? L"IMG_" : L"img_") + std::to_wstring(k) + L".jpg";
        bDirectory = false;
        return true;
    };

    std::list<std::wstring> list;
    auto it = list.end();
    RebuildFileList(list, it, L"IMG_4242.JPG", next);

    EXPECT_EQ(*pCalls, kCount + 1);
    ASSERT_EQ(list.size(), kCount);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end(),
                               [](const std::wstring& a, const std::wstring& b) { return FileNameLess(a, b); }));
    ASSERT_NE(it, list.end());
    EXPECT_EQ(*it, L"img_4242.jpg");
    EXPECT_EQ(*std::prev(it), L"IMG_42419.jpg");
    EXPECT_EQ(*std::next(it), L"img_42420.jpg");
}
