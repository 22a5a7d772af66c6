// Read-ahead changes only how soon a picture is ready: the same walk over the same folder,
// once with it off and once with it on, must leave the window in the same state after every
// step, while the second walk really takes the pictures the worker prepared.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/win_app.h"
#include "images/ahead/read_ahead.h"
#include "images/ahead/read_ahead_plan.h"
#include "res/resource.h"
#include "tests/reliability/win_files.h"
#include "tests/win/test_view_fixture.h"

namespace {

using Gdiplus::Color;

// What a step shows the user, and the list it leaves behind.
struct StepState {
    std::wstring strFile, strTitle, strTag, strCurrent;
    std::vector<std::wstring> names;
    int32_t cx = 0, cy = 0, nViewCx = 0, nViewCy = 0;
    float fZoom = 0;
    uint32_t nFrames = 0, nCurrentFrame = 0, nDelayBytes = 0;
    RECT rcWindow{};

    bool operator==(const StepState& o) const
    {
        return strFile == o.strFile && strTitle == o.strTitle && strTag == o.strTag && strCurrent == o.strCurrent &&
               names == o.names && cx == o.cx && cy == o.cy && nViewCx == o.nViewCx && nViewCy == o.nViewCy &&
               fZoom == o.fZoom && (nFrames > 1) == (o.nFrames > 1) && nCurrentFrame == o.nCurrentFrame &&
               nDelayBytes == o.nDelayBytes && ::EqualRect(&rcWindow, &o.rcWindow);
    }
};

class ReadAheadWalk : public MainFrameTest {
protected:
    StepState State() const
    {
        StepState s;
        s.strFile = m_frame->m_strFileName;
        s.strTitle = m_frame->GetWindowText();
        s.strTag = TagText(m_frame);
        s.strCurrent = m_frame->m_itCurrent == m_frame->m_listFiles.end() ? L"<end>" : *m_frame->m_itCurrent;
        s.names.assign(m_frame->m_listFiles.begin(), m_frame->m_listFiles.end());
        s.cx = m_frame->m_sizeImage.cx;
        s.cy = m_frame->m_sizeImage.cy;
        s.nViewCx = m_frame->m_sizeView.cx;
        s.nViewCy = m_frame->m_sizeView.cy;
        s.fZoom = m_frame->m_fZoom;
        s.nFrames = m_frame->m_nFrameCount;
        s.nCurrentFrame = m_frame->m_nCurrentFrame;
        s.nDelayBytes = m_frame->m_pFrameDelays ? m_frame->m_pFrameDelays->length : 0;
        ::GetWindowRect(m_hWnd, &s.rcWindow);
        return s;
    }

    // The queue runs dry and the workers finish the plan the step made.
    void Idle()
    {
        PumpMessages();
        if (m_frame->m_pReadAhead)
            m_frame->m_pReadAhead->WaitUntilIdle();
    }

    // Every command of the burst queued at once, as keys held down pile up; the state is read
    // as each command's turn in the queue ends.
    void Burst(const std::vector<UINT>& ids, std::vector<StepState>& states)
    {
        constexpr UINT kRecord = WM_APP + 7;
        for (UINT nID : ids) {
            ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(nID, 1), 0);
            ::PostThreadMessageW(::GetCurrentThreadId(), kRecord, 0, 0);
        }
        size_t nLeft = ids.size();
        MSG msg;
        while (nLeft > 0 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == nullptr && msg.message == kRecord) {
                states.push_back(State());
                --nLeft;
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    std::vector<StepState> Walk(const std::wstring& folder, bool bReadAhead)
    {
        m_frame->m_bReadAhead = bReadAhead;
        EXPECT_TRUE(m_frame->OpenFile(folder + L"b.png"));
        std::vector<StepState> states;
        Idle();
        states.push_back(State());
        for (UINT nID : {ID_FILE_NEXT, ID_FILE_NEXT, ID_FILE_NEXT, ID_FILE_PREV, ID_FILE_PREV, ID_FILE_LAST,
                         ID_FILE_NEXT, ID_FILE_PREV, ID_FILE_FIRST, ID_FILE_PREV, ID_FILE_PREV, ID_FILE_NEXT,
                         ID_FILE_NEXT, ID_FILE_NEXT, ID_FILE_NEXT, ID_FILE_NEXT}) {
            Command(nID);
            Idle();
            states.push_back(State());
        }
        // The list read again, then a burst both ways over the undecodable files and round the ring.
        EXPECT_TRUE(m_frame->OpenFile(folder + L"e.jpg"));
        PumpMessages();
        Burst({ID_FILE_NEXT, ID_FILE_NEXT, ID_FILE_NEXT, ID_FILE_NEXT, ID_FILE_NEXT, ID_FILE_PREV, ID_FILE_PREV,
               ID_FILE_PREV, ID_FILE_PREV, ID_FILE_PREV, ID_FILE_PREV, ID_FILE_LAST, ID_FILE_NEXT, ID_FILE_FIRST,
               ID_FILE_PREV, ID_FILE_NEXT, ID_FILE_NEXT},
              states);
        Idle();
        return states;
    }
};

}  // namespace

TEST_F(ReadAheadWalk, EveryStepEndsAsWithoutItAndPreparedPicturesAreTaken)
{
    const std::wstring folder = MakeScratchFolder(L"read-ahead-walk");
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.png", 40, 30, Color(255, 0, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"b.png", 300, 200, Color(0, 255, 0)));
    ASSERT_TRUE(WriteTextFile(folder + L"c.jpg", "not a picture"));
    ASSERT_TRUE(reliability::WriteBytes(folder + L"d.gif", damaged::MakeGif(16, 12, 4, 4, 20)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"e.jpg", 900, 700, Color(0, 0, 255), L"image/jpeg"));
    ASSERT_TRUE(WriteTextFile(folder + L"f.txt", "notes"));
    ASSERT_TRUE(WriteTextFile(folder + L"g.png", ""));
    ASSERT_TRUE(WriteSolidPicture(folder + L"h.bmp", 64, 2000, Color(255, 255, 0), L"image/bmp"));

    const std::vector<StepState> off = Walk(folder, false);
    EXPECT_EQ(m_frame->m_pReadAhead, nullptr);
    const std::vector<StepState> on = Walk(folder, true);
    ASSERT_NE(m_frame->m_pReadAhead, nullptr);

    ASSERT_EQ(off.size(), on.size());
    for (size_t i = 0; i < off.size(); ++i) {
        EXPECT_TRUE(off[i] == on[i]) << "step " << i << ": " << std::string(off[i].strFile.begin(), off[i].strFile.end())
                                     << " without, " << std::string(on[i].strFile.begin(), on[i].strFile.end())
                                     << " with read-ahead";
    }
    // The walk crossed the undecodable files and wrapped both ways.
    EXPECT_EQ(off.back().names, (std::vector<std::wstring>{L"a.png", L"b.png", L"d.gif", L"e.jpg", L"h.bmp"}));
    EXPECT_NE(off[7].strTag.find(L"BoF"), std::wstring::npos);
    EXPECT_NE(off[18].strTag.find(L"BoF"), std::wstring::npos);
    const ReadAhead::Counts counts = m_frame->m_pReadAhead->GetCounts();
    EXPECT_GE(counts.nTaken, 10u);
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    EXPECT_LE(counts.nPictures, ReadAheadWorkerCount(info.dwNumberOfProcessors) + 2);

    // Closing the window stops the worker with whatever it holds.
    m_frame->StopReadAhead();
    EXPECT_EQ(m_frame->m_pReadAhead->GetCounts().nPictures, 0u);
}

// A file another program holds while the worker prepares it is not a verdict on the file:
// once it is let go, the step shows it and the list keeps it.
TEST_F(ReadAheadWalk, AFileHeldWhileTheWorkerPreparesItIsShownByTheStep)
{
    const std::wstring folder = MakeScratchFolder(L"read-ahead-held");
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.png", 40, 30, Color(255, 0, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"b.png", 50, 20, Color(0, 255, 0)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"c.png", 60, 10, Color(0, 0, 255)));
    m_frame->m_bReadAhead = true;
    const HANDLE hHeld =
        ::CreateFileW((folder + L"b.png").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.png"));
    Idle();
    ASSERT_NE(m_frame->m_pReadAhead, nullptr);
    EXPECT_GE(m_frame->m_pReadAhead->GetCounts().nDecodes, 1u);
    ::CloseHandle(hHeld);

    Command(ID_FILE_NEXT);
    EXPECT_EQ(m_frame->m_strFileName, L"b.png");
    EXPECT_EQ(m_frame->m_sizeImage.cx, 50);
    EXPECT_EQ(m_frame->m_listFiles.size(), 3u);
}

namespace {

// A file's times as the file system keeps them (the change time 0 where it keeps none), after
// its last-write time is set to *pWrite when given.
FILE_BASIC_INFO Times(const std::wstring& path, const LARGE_INTEGER* pWrite = nullptr)
{
    FILE_BASIC_INFO info{};
    const HANDLE hFile = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const FILETIME write = pWrite ? FILETIME{pWrite->LowPart, static_cast<DWORD>(pWrite->HighPart)} : FILETIME{};
    if (!pWrite || ::SetFileTime(hFile, nullptr, nullptr, &write))
        ::GetFileInformationByHandleEx(hFile, FileBasicInfo, &info, sizeof(info));
    ::CloseHandle(hFile);
    return info;
}

}  // namespace

// A prepared picture is shown only for the same file unchanged: one rewritten with the same
// size and its last-write time put back (as a tool that turns a photo losslessly leaves it)
// is decoded again by the step, where the file system keeps a change time (Wine keeps the
// Unix one); where it keeps none (FAT), nothing tells the two apart.
TEST_F(ReadAheadWalk, AFileRewrittenWithItsDatePutBackIsDecodedAgain)
{
    const std::wstring folder = MakeScratchFolder(L"read-ahead-rewritten");
    const std::wstring b = folder + L"b.bmp";
    ASSERT_TRUE(WriteSolidPicture(folder + L"a.bmp", 40, 30, Color(255, 0, 0), L"image/bmp"));
    ASSERT_TRUE(WriteSolidPicture(b, 50, 20, Color(0, 255, 0), L"image/bmp"));
    m_frame->m_bReadAhead = true;
    ASSERT_TRUE(m_frame->OpenFile(folder + L"a.bmp"));
    Idle();
    ASSERT_NE(m_frame->m_pReadAhead, nullptr);
    ASSERT_EQ(m_frame->m_pReadAhead->GetCounts().nPictures, 1u);  // b, the next and the previous

    const FILE_BASIC_INFO prepared = Times(b);
    ::Sleep(50);  // past a tick of the file system's clock
    ASSERT_TRUE(WriteSolidPicture(b, 50, 20, Color(255, 0, 255), L"image/bmp"));  // same size, other pixels
    const FILE_BASIC_INFO rewritten = Times(b, &prepared.LastWriteTime);
    ASSERT_EQ(rewritten.LastWriteTime.QuadPart, prepared.LastWriteTime.QuadPart);
    const bool bKeepsChangeTime = rewritten.ChangeTime.QuadPart != prepared.ChangeTime.QuadPart;
    Command(ID_FILE_NEXT);
    ASSERT_EQ(m_frame->m_strFileName, L"b.bmp");
    Gdiplus::Color shown;
    m_frame->m_pImage->GetPixel(1, 1, &shown);
    if (bKeepsChangeTime) {
        EXPECT_EQ(shown.GetValue(), Color(255, 0, 255).GetValue());
        EXPECT_EQ(m_frame->m_pReadAhead->GetCounts().nTaken, 0u);
    } else {
        const Gdiplus::ARGB argb = shown.GetValue();
        EXPECT_TRUE(argb == Color(255, 0, 255).GetValue() || argb == Color(0, 255, 0).GetValue());
    }
}
