// Command-line picture paths: a relative or forward-slash path becomes the full path it
// names, so that opening by path (which splits at the last backslash) finds its folder.
#include <windows.h>

#include <string>

#include "images/folder/picture_path.h"
#include "tests/win/win_test_support.h"

namespace {

std::wstring Slashed(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'\\')
            c = L'/';
    return path;
}

TEST(PicturePath, OnlyFullBackslashPathsAreKeptAsGiven)
{
    for (const wchar_t* path : {L"C:\\pics\\a.png", L"z:\\a.png", L"\\\\server\\share\\a.png", L"\\\\?\\C:\\a/b.png"})
        EXPECT_TRUE(IsFullBackslashPath(path)) << path;
    for (const wchar_t* path : {L"a.png", L"pics\\a.png", L"..\\a.png", L"C:/pics/a.png", L"C:\\pics/a.png",
                                L"C:a.png", L"\\pics\\a.png", L"1:\\a.png", L"", L"C:"})
        EXPECT_FALSE(IsFullBackslashPath(path)) << path;
}

TEST(PicturePath, RelativeAndSlashedPathsBecomeFull)
{
    const std::wstring folder = MakeScratchFolder(L"picture-path");
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.c_str()));

    EXPECT_EQ(FullPicturePath(L"a.png"), folder + L"a.png");
    EXPECT_EQ(FullPicturePath(L"sub/b.png"), folder + L"sub\\b.png");
    EXPECT_EQ(FullPicturePath(L".\\sub\\..\\c.png"), folder + L"c.png");
    EXPECT_EQ(FullPicturePath(Slashed(folder + L"d.png")), folder + L"d.png");
    // Already in the shell's form: untouched, even with a ".." in it.
    EXPECT_EQ(FullPicturePath(folder + L"sub\\..\\e.png"), folder + L"sub\\..\\e.png");
    EXPECT_EQ(FullPicturePath(L""), L"");

    ::SetCurrentDirectoryW(saved);
}

class PicturePathOpen : public MainFrameTest {};

TEST_F(PicturePathOpen, ARelativeNameOpensWithItsFolder)
{
    const std::wstring folder = MakeScratchFolder(L"picture-path-open");
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.png", 20, 10, Gdiplus::Color(1, 2, 3)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"b.png", 20, 10, Gdiplus::Color(1, 2, 3)));
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.c_str()));

    EXPECT_FALSE(m_frame->OpenFile(L"a.png"));  // no backslash: not a path the viewer opens
    EXPECT_TRUE(m_frame->OpenFile(FullPicturePath(L"a.png")));
    PumpMessages();
    EXPECT_EQ(m_frame->m_strFolder, folder);
    EXPECT_EQ(m_frame->m_listFiles.size(), 2u);

    ::SetCurrentDirectoryW(saved);
}

}  // namespace
