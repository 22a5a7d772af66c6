// The folder list built from a real folder: every file whatever its type, no folders,
// the documented order, and the current entry found without regard to ASCII case.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win/win_test_support.h"

namespace {

class FolderList : public MainFrameTest {
protected:
    std::vector<std::wstring> Names() const { return {m_frame->m_listFiles.begin(), m_frame->m_listFiles.end()}; }
    bool CurrentIsEnd() const { return m_frame->m_itCurrent == m_frame->m_listFiles.end(); }
    std::wstring Current() const { return CurrentIsEnd() ? L"<end>" : *m_frame->m_itCurrent; }

    // The rebuild as the program asks for it after an open.
    void Rescan(const std::wstring& folder, const std::wstring& current)
    {
        m_frame->m_strFolder = folder;
        m_frame->m_strFileName = current;
        ::SendMessageW(m_hWnd, WM_SCAN_FOLDER, SCAN_RESCAN, 0);
    }
};

TEST_F(FolderList, ListsEveryFileInOrderButNoFolders)
{
    const std::wstring folder = MakeScratchFolder(L"list-order");
    for (const wchar_t* name : {L"b.jpg", L"A.png", L"a.bmp", L"_c.gif", L"img10.jpg", L"img2.jpg", L"abc.jpg.bak",
                                L"abc.jpg", L"readme.txt", L".hidden"})
        ASSERT_TRUE(WriteTextFile(folder + name, "x"));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"sub").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"zz.png").c_str(), nullptr));  // a folder named like a picture
    ::SetFileAttributesW((folder + L"readme.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);

    Rescan(folder, L"a.PNG");

    const std::vector<std::wstring> expected = {L".hidden", L"_c.gif",  L"a.bmp",     L"A.png",    L"abc.jpg",
                                                L"abc.jpg.bak", L"b.jpg", L"img10.jpg", L"img2.jpg", L"readme.txt"};
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(Current(), L"A.png");
}

TEST_F(FolderList, ReplacesTheOldListAndItsPosition)
{
    const std::wstring first = MakeScratchFolder(L"list-first");
    const std::wstring second = MakeScratchFolder(L"list-second");
    ASSERT_TRUE(WriteTextFile(first + L"one.png", "x"));
    ASSERT_TRUE(WriteTextFile(first + L"two.png", "x"));
    ASSERT_TRUE(WriteTextFile(second + L"three.png", "x"));

    Rescan(first, L"two.png");
    ASSERT_EQ(Current(), L"two.png");
    Rescan(second, L"two.png");
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"three.png"});
    EXPECT_TRUE(CurrentIsEnd());
}

TEST_F(FolderList, AMissingFolderGivesAnEmptyList)
{
    const std::wstring folder = MakeScratchFolder(L"list-missing");
    ASSERT_TRUE(WriteTextFile(folder + L"a.png", "x"));
    Rescan(folder, L"a.png");
    ASSERT_EQ(Names().size(), 1u);

    Rescan(folder + L"gone\\", L"a.png");
    EXPECT_TRUE(Names().empty());
    EXPECT_TRUE(CurrentIsEnd());
}

TEST_F(FolderList, NonAsciiNamesKeepTheirCase)
{
    const std::wstring folder = MakeScratchFolder(L"list-unicode");
    // "Ete.png" with capital E acute, a CJK name and a plain one.
    ASSERT_TRUE(WriteTextFile(folder + L"\u00C9t\u00E9.png", "x"));
    ASSERT_TRUE(WriteTextFile(folder + L"\u56FE\u7247.png", "x"));
    ASSERT_TRUE(WriteTextFile(folder + L"z.png", "x"));

    // Small e acute does not match capital E acute: only A-Z are folded.
    Rescan(folder, L"\u00E9t\u00E9.png");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"z.png", L"\u00C9t\u00E9.png", L"\u56FE\u7247.png"}));
    EXPECT_TRUE(CurrentIsEnd());

    Rescan(folder, L"\u56FE\u7247.PNG");
    EXPECT_EQ(Current(), L"\u56FE\u7247.png");
}

TEST_F(FolderList, AnEmptyFolderGivesAnEmptyList)
{
    const std::wstring folder = MakeScratchFolder(L"list-empty");
    ASSERT_TRUE(::CreateDirectoryW((folder + L"only-a-folder").c_str(), nullptr));
    Rescan(folder, L"");
    EXPECT_TRUE(Names().empty());
    EXPECT_TRUE(CurrentIsEnd());
}

}  // namespace
