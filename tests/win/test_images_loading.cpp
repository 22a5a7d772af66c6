// Loading pictures by folder and name or by path, and the four walks through a real
// folder: what a load changes, what a failed load leaves alone, the wrap words and the
// entries that can't be decoded being dropped on the way.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "feedback/tag_wnd.h"
#include "framework/cmd_target.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

using Gdiplus::Color;

bool ReadBytes(const std::wstring& path, std::string& bytes)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bytes.assign(::GetFileSize(h, nullptr), '\0');
    DWORD read = 0;
    const BOOL ok = ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(h);
    return ok && read == bytes.size();
}

// A PNG cut off in the middle of its pixel data.
bool WriteTruncatedPng(const std::wstring& path)
{
    const std::wstring whole = path + L".whole";
    if (!WritePicture(whole, 64, 64, [](int x, int y) { return Color(255, BYTE(x * 4), BYTE(y * 4), BYTE(x ^ y)); }))
        return false;
    std::string bytes;
    if (!ReadBytes(whole, bytes))
        return false;
    ::DeleteFileW(whole.c_str());
    return WriteTextFile(path, bytes.substr(0, bytes.size() / 2));
}

class Loading : public MainFrameTest {
protected:
    std::vector<std::wstring> Names() const { return {m_frame->m_listFiles.begin(), m_frame->m_listFiles.end()}; }
    std::wstring Current() const
    {
        return m_frame->m_itCurrent == m_frame->m_listFiles.end() ? L"<end>" : *m_frame->m_itCurrent;
    }
    std::wstring TagText() const { return m_frame->m_pTagWnd ? m_frame->m_pTagWnd->m_strText : L"<no tag>"; }
    std::wstring Title() const { return m_frame->GetWindowText(); }

    // Opens by path and lets the posted rebuild run.
    bool Open(const std::wstring& path)
    {
        const bool ok = m_frame->OpenFile(path);
        PumpMessages();
        return ok;
    }

    // a.png, b.png, c.jpg, d.bmp decode; junk.jpg and notes.txt don't; sub is a folder.
    std::wstring MakeWalkFolder(const std::wstring& name)
    {
        const std::wstring folder = MakeScratchFolder(name);
        EXPECT_TRUE(WriteSolidPicture(folder + L"a.png", 40, 30, Color(255, 0, 0)));
        EXPECT_TRUE(WriteSolidPicture(folder + L"b.png", 41, 31, Color(0, 255, 0)));
        EXPECT_TRUE(WriteSolidPicture(folder + L"c.jpg", 42, 32, Color(0, 0, 255), L"image/jpeg"));
        EXPECT_TRUE(WriteSolidPicture(folder + L"d.bmp", 43, 33, Color(255, 255, 0), L"image/bmp"));
        EXPECT_TRUE(WriteTextFile(folder + L"junk.jpg", "not a picture"));
        EXPECT_TRUE(WriteTextFile(folder + L"notes.txt", "some notes"));
        EXPECT_TRUE(::CreateDirectoryW((folder + L"sub").c_str(), nullptr));
        return folder;
    }
};

TEST_F(Loading, ALoadReplacesPictureNameSizeTitleAndTag)
{
    const std::wstring folder = MakeScratchFolder(L"load-one");
    ASSERT_TRUE(WriteSolidPicture(folder + L"first.png", 64, 48, Color(10, 20, 30)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"second.png", 30, 70, Color(10, 20, 30)));

    ASSERT_EQ(m_frame->LoadPicture(folder, L"first.png", 0), 0);
    EXPECT_NE(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->m_strFileName, L"first.png");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(64, 48));
    EXPECT_LE(m_frame->m_nFrameCount, 1u);  // a still picture: no time frame or one, by platform
    EXPECT_EQ(m_frame->m_pFrameDelays, nullptr);
    EXPECT_EQ(Title(), L"first.png - Vistrel");
    EXPECT_EQ(TagText(), L"first.png (100%)");
    EXPECT_EQ(m_frame->m_strInfo, L"first.png (100%)");
    // Loading by folder and name leaves the folder and the list to the callers.
    EXPECT_TRUE(m_frame->m_strFolder.empty());
    EXPECT_TRUE(m_frame->m_listFiles.empty());

    ASSERT_EQ(m_frame->LoadPicture(folder, L"second.png", 0), 0);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(30, 70));
    EXPECT_EQ(Title(), L"second.png - Vistrel");
    EXPECT_EQ(TagText(), L"second.png (100%)");
}

TEST_F(Loading, EveryCommonFormatDecodes)
{
    const std::wstring folder = MakeScratchFolder(L"load-formats");
    struct Case {
        const wchar_t* name;
        const wchar_t* mime;
        int cx, cy;
    };
    // GIF has its own writer with the animation tests: GDI+'s GIF encoder can't be relied on
    // for a true-colour bitmap.
    const Case cases[] = {{L"p.png", L"image/png", 21, 11},
                          {L"j.jpg", L"image/jpeg", 22, 12},
                          {L"b.bmp", L"image/bmp", 23, 13},
                          {L"t.tif", L"image/tiff", 25, 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteSolidPicture(folder + c.name, c.cx, c.cy, Color(200, 100, 50), c.mime));
        ASSERT_EQ(m_frame->LoadPicture(folder, c.name, 0), 0);
        EXPECT_EQ(m_frame->m_sizeImage, CSize(c.cx, c.cy));
        EXPECT_LE(m_frame->m_nFrameCount, 1u);  // a still picture: no time frame or one, by platform
        EXPECT_EQ(Title(), std::wstring(c.name) + L" - Vistrel");
    }
}

TEST_F(Loading, FailedLoadsLeaveEverythingAsItWas)
{
    const std::wstring folder = MakeScratchFolder(L"load-failures");
    ASSERT_TRUE(WriteSolidPicture(folder + L"good.png", 50, 40, Color(0, 128, 0)));
    ASSERT_TRUE(WriteTextFile(folder + L"text.jpg", "plain text, not a picture"));
    ASSERT_TRUE(WriteTextFile(folder + L"empty.png", ""));
    ASSERT_TRUE(WriteTruncatedPng(folder + L"cut.png"));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"folder.png").c_str(), nullptr));
    ASSERT_TRUE(Open(folder + L"good.png"));

    Gdiplus::Bitmap* const image = m_frame->m_pImage;
    const std::vector<std::wstring> names = Names();
    const std::wstring tag = TagText();
    for (const wchar_t* name : {L"text.jpg", L"empty.png", L"folder.png", L"missing.png"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(m_frame->LoadPicture(folder, name, 2), -1);
        EXPECT_FALSE(m_frame->OpenFile(folder + name));
        EXPECT_EQ(m_frame->m_pImage, image);
        EXPECT_EQ(m_frame->m_strFileName, L"good.png");
        EXPECT_EQ(m_frame->m_sizeImage, CSize(50, 40));
        EXPECT_EQ(Title(), L"good.png - Vistrel");
        EXPECT_EQ(TagText(), tag);
        PumpMessages();  // no rebuild was asked for
        EXPECT_EQ(Names(), names);
        EXPECT_EQ(Current(), L"good.png");
    }

    // A cut file is refused when the bitmap is made (Wine) or may be taken and fail only when
    // drawn (Windows' GDI+ decodes lazily): the viewer follows the decoder, and draws safely.
    bool bTaken = false;
    {
        Gdiplus::Bitmap probe((folder + L"cut.png").c_str(), TRUE);
        bTaken = probe.GetLastStatus() == Gdiplus::Ok;
    }
    EXPECT_EQ(m_frame->LoadPicture(folder, L"cut.png", 2), bTaken ? 0 : -1);
    EXPECT_EQ(m_frame->m_strFileName, bTaken ? L"cut.png" : L"good.png");
    if (bTaken) {
        EXPECT_EQ(m_frame->m_sizeImage, CSize(64, 64));
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        ::UpdateWindow(m_hWnd);
        PumpMessages();
        EXPECT_TRUE(::IsWindow(m_hWnd));
    } else {
        EXPECT_EQ(m_frame->m_pImage, image);
        EXPECT_EQ(Title(), L"good.png - Vistrel");
    }
}

TEST_F(Loading, FailedLoadsWithoutAPictureKeepTheEmptyWindow)
{
    const std::wstring folder = MakeScratchFolder(L"load-nothing");
    ASSERT_TRUE(WriteTextFile(folder + L"text.jpg", "plain text"));
    EXPECT_EQ(m_frame->LoadPicture(folder, L"text.jpg", 0), -1);
    EXPECT_FALSE(Open(folder + L"text.jpg"));
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);
    EXPECT_EQ(Title(), L"Vistrel");
    EXPECT_TRUE(m_frame->m_strFolder.empty());
    EXPECT_TRUE(m_frame->m_listFiles.empty());
}

TEST_F(Loading, OpenSwitchesFolderAndRebuildsTheListAfterTheCurrentMessage)
{
    const std::wstring folder = MakeWalkFolder(L"open-walk");
    ASSERT_TRUE(m_frame->OpenFile(folder + L"b.png"));
    EXPECT_EQ(m_frame->m_strFolder, folder);
    EXPECT_TRUE(m_frame->m_listFiles.empty());  // the rebuild is posted, not run inline
    PumpMessages();
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.png", L"b.png", L"c.jpg", L"d.bmp", L"junk.jpg", L"notes.txt"}));
    EXPECT_EQ(Current(), L"b.png");
    EXPECT_EQ(Title(), L"b.png - Vistrel");
    EXPECT_EQ(TagText(), L"b.png (100%)");
}

TEST_F(Loading, AFailedOpenElsewhereKeepsTheFolder)
{
    const std::wstring folder = MakeWalkFolder(L"open-keep");
    const std::wstring other = MakeScratchFolder(L"open-keep-other");
    ASSERT_TRUE(WriteTextFile(other + L"fake.png", "text"));
    ASSERT_TRUE(Open(folder + L"b.png"));
    EXPECT_FALSE(Open(other + L"fake.png"));
    EXPECT_EQ(m_frame->m_strFolder, folder);
    EXPECT_EQ(Names().size(), 6u);
    EXPECT_EQ(Current(), L"b.png");
}

TEST_F(Loading, OpenNeedsABackslash)
{
    const std::wstring folder = MakeWalkFolder(L"open-slash");
    std::wstring slashed = folder + L"a.png";
    for (wchar_t& c : slashed)
        if (c == L'\\')
            c = L'/';
    EXPECT_FALSE(Open(slashed));
    EXPECT_FALSE(Open(L"a.png"));
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_EQ(Title(), L"Vistrel");
}

TEST_F(Loading, OpenFindsTheEntryWhateverTheAsciiCase)
{
    const std::wstring folder = MakeScratchFolder(L"open-case");
    ASSERT_TRUE(WriteSolidPicture(folder + L"photo.jpg", 20, 20, Color(1, 2, 3), L"image/jpeg"));
    ASSERT_TRUE(WriteSolidPicture(folder + L"other.png", 20, 20, Color(1, 2, 3)));
    ASSERT_TRUE(Open(folder + L"Photo.JPG"));
    EXPECT_EQ(m_frame->m_strFileName, L"Photo.JPG");
    EXPECT_EQ(Current(), L"photo.jpg");
}

TEST_F(Loading, NonAsciiNamesLoadAndTitleTheWindow)
{
    const std::wstring folder = MakeScratchFolder(L"open-\u56FE");
    const std::wstring name = L"\u56FE\u7247 \u00E9t\u00E9.png";
    ASSERT_TRUE(WriteSolidPicture(folder + name, 33, 22, Color(9, 9, 9)));
    ASSERT_TRUE(Open(folder + name));
    EXPECT_EQ(Title(), name + L" - Vistrel");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(33, 22));
    EXPECT_EQ(Current(), name);
}

TEST_F(Loading, NextStepsForwardDropsUndecodableEntriesAndWrapsWithBoF)
{
    const std::wstring folder = MakeWalkFolder(L"walk-next");
    ASSERT_TRUE(Open(folder + L"b.png"));

    Command(ID_FILE_NEXT);
    EXPECT_EQ(Current(), L"c.jpg");
    EXPECT_EQ(TagText(), L"c.jpg (100%)");
    Command(ID_FILE_NEXT);
    EXPECT_EQ(Current(), L"d.bmp");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(43, 33));

    // junk.jpg and notes.txt fail and go; the walk goes round to a.png, marked.
    Command(ID_FILE_NEXT);
    EXPECT_EQ(Current(), L"a.png");
    EXPECT_EQ(m_frame->m_strFileName, L"a.png");
    EXPECT_EQ(Title(), L"a.png - Vistrel");
    EXPECT_EQ(TagText(), L"a.png (100%) BoF");
    EXPECT_EQ(m_frame->m_strInfo, L"a.png (100%)");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.png", L"b.png", L"c.jpg", L"d.bmp"}));

    Command(ID_FILE_NEXT);
    EXPECT_EQ(TagText(), L"b.png (100%)");
}

TEST_F(Loading, PrevStepsBackAndWrapsWithEoF)
{
    const std::wstring folder = MakeWalkFolder(L"walk-prev");
    ASSERT_TRUE(Open(folder + L"b.png"));

    Command(ID_FILE_PREV);
    EXPECT_EQ(Current(), L"a.png");
    EXPECT_EQ(TagText(), L"a.png (100%)");

    Command(ID_FILE_PREV);
    EXPECT_EQ(Current(), L"d.bmp");
    EXPECT_EQ(TagText(), L"d.bmp (100%) EoF");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.png", L"b.png", L"c.jpg", L"d.bmp"}));

    Command(ID_FILE_PREV);
    EXPECT_EQ(TagText(), L"c.jpg (100%)");
}

TEST_F(Loading, FirstAndLastJumpToTheEndsAndDoNothingThere)
{
    const std::wstring folder = MakeWalkFolder(L"walk-ends");
    ASSERT_TRUE(Open(folder + L"c.jpg"));

    Command(ID_FILE_FIRST);
    EXPECT_EQ(Current(), L"a.png");
    EXPECT_EQ(TagText(), L"a.png (100%)");
    Gdiplus::Bitmap* const first = m_frame->m_pImage;
    Command(ID_FILE_FIRST);
    EXPECT_EQ(m_frame->m_pImage, first);  // not loaded again

    Command(ID_FILE_LAST);
    EXPECT_EQ(Current(), L"d.bmp");
    EXPECT_EQ(TagText(), L"d.bmp (100%)");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.png", L"b.png", L"c.jpg", L"d.bmp"}));
    Gdiplus::Bitmap* const last = m_frame->m_pImage;
    Command(ID_FILE_LAST);
    EXPECT_EQ(m_frame->m_pImage, last);
}

TEST_F(Loading, AWalkOverNothingButUndecodableEntriesKeepsThePicture)
{
    const std::wstring folder = MakeScratchFolder(L"walk-alone");
    ASSERT_TRUE(WriteSolidPicture(folder + L"m.png", 20, 20, Color(5, 5, 5)));
    ASSERT_TRUE(WriteTextFile(folder + L"a.txt", "text"));
    ASSERT_TRUE(WriteTextFile(folder + L"z.jpg", "text"));
    ASSERT_TRUE(Open(folder + L"m.png"));
    Gdiplus::Bitmap* const image = m_frame->m_pImage;

    Command(ID_FILE_NEXT);
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"m.png"});
    EXPECT_EQ(Current(), L"m.png");
    EXPECT_EQ(m_frame->m_pImage, image);
    EXPECT_EQ(TagText(), L"m.png (100%)");

    // One entry: every walk is a no-op.
    for (UINT id : {ID_FILE_NEXT, ID_FILE_PREV, ID_FILE_FIRST, ID_FILE_LAST}) {
        Command(id);
        EXPECT_EQ(m_frame->m_pImage, image);
        EXPECT_EQ(TagText(), L"m.png (100%)");
    }
}

TEST_F(Loading, ReopeningBringsErasedEntriesBack)
{
    const std::wstring folder = MakeWalkFolder(L"walk-reopen");
    ASSERT_TRUE(Open(folder + L"d.bmp"));
    Command(ID_FILE_NEXT);
    ASSERT_EQ(Names().size(), 4u);
    ASSERT_TRUE(Open(folder + L"b.png"));
    EXPECT_EQ(Names().size(), 6u);
    EXPECT_EQ(Current(), L"b.png");
}

TEST_F(Loading, NavigationIsEnabledOnlyWithAPictureAndAList)
{
    const std::wstring folder = MakeWalkFolder(L"walk-enabled");
    for (UINT id : {ID_FILE_NEXT, ID_FILE_PREV, ID_FILE_FIRST, ID_FILE_LAST})
        EXPECT_FALSE(Enabled(id)) << id;
    // A picture but no list yet.
    ASSERT_EQ(m_frame->LoadPicture(folder, L"a.png", 0), 0);
    EXPECT_FALSE(Enabled(ID_FILE_NEXT));
    Command(ID_FILE_NEXT);
    EXPECT_EQ(m_frame->m_strFileName, L"a.png");

    ASSERT_TRUE(Open(folder + L"a.png"));
    for (UINT id : {ID_FILE_NEXT, ID_FILE_PREV, ID_FILE_FIRST, ID_FILE_LAST})
        EXPECT_TRUE(Enabled(id)) << id;
}

// The picture shown has no entry (its name was not matched): the end position lies after
// the last entry and before the first, and no walk wraps past it.
TEST_F(Loading, WithoutACurrentEntryNextAndPrevStartAtTheEndsUnmarked)
{
    const std::wstring folder = MakeWalkFolder(L"walk-noentry");
    ASSERT_TRUE(Open(folder + L"b.png"));

    m_frame->m_itCurrent = m_frame->m_listFiles.end();
    Command(ID_FILE_NEXT);
    EXPECT_EQ(Current(), L"a.png");
    EXPECT_EQ(TagText(), L"a.png (100%)");

    m_frame->m_itCurrent = m_frame->m_listFiles.end();
    Command(ID_FILE_PREV);
    EXPECT_EQ(Current(), L"d.bmp");
    EXPECT_EQ(TagText(), L"d.bmp (100%)");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.png", L"b.png", L"c.jpg", L"d.bmp"}));
}

TEST_F(Loading, WithoutACurrentEntryWalksOverUndecodableEntriesStopAtTheEnd)
{
    const std::wstring folder = MakeScratchFolder(L"walk-noentry-fail");
    ASSERT_TRUE(WriteSolidPicture(folder + L"shown.png", 20, 20, Color(5, 5, 5)));
    ASSERT_TRUE(Open(folder + L"shown.png"));
    Gdiplus::Bitmap* const image = m_frame->m_pImage;

    // As if the folder had changed under the picture: only names that don't decode.
    for (UINT id : {ID_FILE_LAST, ID_FILE_NEXT}) {
        SCOPED_TRACE(id);
        m_frame->m_listFiles = {L"x.txt", L"y.jpg"};
        m_frame->m_itCurrent = m_frame->m_listFiles.end();
        Command(id);
        EXPECT_TRUE(m_frame->m_listFiles.empty());
        EXPECT_TRUE(m_frame->m_itCurrent == m_frame->m_listFiles.end());
        EXPECT_EQ(m_frame->m_pImage, image);
    }

    m_frame->m_listFiles = {L"only.txt"};
    m_frame->m_itCurrent = m_frame->m_listFiles.end();
    Command(ID_FILE_PREV);
    EXPECT_TRUE(m_frame->m_listFiles.empty());
    EXPECT_EQ(m_frame->m_pImage, image);
    EXPECT_EQ(Title(), L"shown.png - Vistrel");
}

}  // namespace
