// Damaged pictures on a real main window: a folder of more than two hundred broken files
// (truncated at many offsets, flipped header bits, header bombs, empty, text and noise under
// picture names, GIFs without frames or with thousands) mixed with good pictures. Stepping
// through it must erase every file the decoder refuses and show every one it accepts;
// opening each must either show it or change nothing; animation must never read a delay
// the picture does not have.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "images/folder/file_order.h"
#include "res/resource.h"
#include "tests/reliability/win_reliability.h"

namespace {

using namespace reliability;

// The damage refused, when made or when drawn, must be most of the set.
constexpr size_t kMostDamage = 150;

// Good pictures, named so that the sort scatters them among the damaged ones.
struct Good {
    const wchar_t* name;
    const wchar_t* mime;  // null: our own GIF
    int cx, cy;
};
const Good kGood[] = {
    {L"a-good.png", L"image/png", 40, 30},   {L"c-good.jpg", L"image/jpeg", 50, 40},
    {L"fz-good.bmp", L"image/bmp", 60, 20},  {L"g-good.gif", nullptr, 20, 10},
    {L"m-good.tif", L"image/tiff", 30, 60},  {L"o-good.png", L"image/png", 70, 35},
    {L"tz-good.jpg", L"image/jpeg", 33, 44}, {L"zz-good.bmp", L"image/bmp", 45, 25},
};

class ReliabilityPictures : public MainFrameTest {
protected:
    // Writes the damaged set and the good pictures into a fresh folder. Each test has its
    // own: the decoder may keep a refused file open (Wine does, for some), so a folder is
    // not made twice in one process.
    void MakeFolder(const std::wstring& name)
    {
        m_folder = MakeScratchFolder(name);
        m_samples = damaged::MakeDamagedSet(MakeSeeds(m_folder));
        for (const damaged::Sample& s : m_samples)
            ASSERT_TRUE(WriteBytes(m_folder + Widen(s.name), s.bytes)) << s.name;
        for (const Good& g : kGood) {
            const std::wstring path = m_folder + g.name;
            if (g.mime)
                ASSERT_TRUE(WriteSolidPicture(path, g.cx, g.cy, Gdiplus::Color(0, 128, 255), g.mime));
            else
                ASSERT_TRUE(WriteBytes(path, damaged::MakeGif(static_cast<uint16_t>(g.cx), static_cast<uint16_t>(g.cy), 1, 0, 0)));
            ASSERT_TRUE(Decodes(path));
        }
    }

    // Every file of the folder the decoder accepts.
    std::set<std::wstring> Decodable() const
    {
        std::set<std::wstring> names;
        for (const damaged::Sample& s : m_samples)
            if (Decodes(m_folder + Widen(s.name)))
                names.insert(Widen(s.name));
        for (const Good& g : kGood)
            names.insert(g.name);
        return names;
    }

    // How many files of the damaged set GDI+ refuses, when made or when drawn.
    size_t CountRefused() const
    {
        size_t n = 0;
        for (const damaged::Sample& s : m_samples)
            n += Refused(m_folder + Widen(s.name)) ? 1 : 0;
        return n;
    }

    std::set<std::wstring> Listed() const { return {m_frame->m_listFiles.begin(), m_frame->m_listFiles.end()}; }

    // Steps with the command until the first picture comes back; the names shown on the way.
    std::set<std::wstring> Round(UINT nID, size_t nLimit)
    {
        std::set<std::wstring> shown;
        const std::wstring start = m_frame->m_strFileName;
        for (size_t i = 0; i < nLimit; ++i) {
            Command(nID);
            EXPECT_NE(m_frame->m_pImage, nullptr);
            shown.insert(m_frame->m_strFileName);
            EXPECT_EQ(m_frame->GetWindowText(), m_frame->m_strFileName + L" - Vistrel");
            ExpectSaneView(*m_frame, "after a step");
            if (m_frame->m_strFileName == start)
                break;
        }
        EXPECT_EQ(m_frame->m_strFileName, start) << "the round did not come back";
        return shown;
    }

    std::wstring m_folder;
    std::vector<damaged::Sample> m_samples;
};

TEST_F(ReliabilityPictures, SteppingErasesEveryFileTheDecoderRefusesAndShowsEveryOther)
{
    MakeFolder(L"rel-damaged-steps");
    ASSERT_GE(m_samples.size(), 200u);
    const std::set<std::wstring> decodable = Decodable();
    const size_t nFiles = m_samples.size() + std::size(kGood);
    // Most of the damage must really be damage, or the walk proves little.
    EXPECT_GT(CountRefused(), kMostDamage);

    ASSERT_TRUE(m_frame->OpenFile(m_folder + L"a-good.png"));
    PumpMessages();
    ASSERT_EQ(m_frame->m_listFiles.size(), nFiles);

    std::set<std::wstring> shown = Round(ID_FILE_NEXT, nFiles + 1);
    EXPECT_EQ(shown, decodable);
    EXPECT_EQ(Listed(), decodable);
    EXPECT_TRUE(std::is_sorted(m_frame->m_listFiles.begin(), m_frame->m_listFiles.end(),
                               [](const std::wstring& a, const std::wstring& b) { return FileNameLess(a, b); }));

    // Backwards nothing is left to erase, and every picture comes round again.
    shown = Round(ID_FILE_PREV, nFiles + 1);
    EXPECT_EQ(shown, decodable);
    EXPECT_EQ(Listed(), decodable);

    Command(ID_FILE_LAST);
    EXPECT_EQ(m_frame->m_strFileName, L"zz-good.bmp");
    Command(ID_FILE_FIRST);
    EXPECT_EQ(m_frame->m_strFileName, L"a-good.png");
    EXPECT_TRUE(Responds(m_hWnd));
}

TEST_F(ReliabilityPictures, OneStepOverNothingButDamageErasesItAllAndKeepsThePicture)
{
    // Only the refused files and one picture: a single Next has to cross the whole damage,
    // wrap, and come back to the picture shown without loading anything.
    MakeFolder(L"rel-damaged-one-step");
    for (const Good& g : kGood) {
        if (std::wstring(g.name) != L"m-good.tif") {
            ASSERT_TRUE(::DeleteFileW((m_folder + g.name).c_str()));
        }
    }
    size_t nRefused = 0;
    for (const damaged::Sample& s : m_samples) {
        const std::wstring path = m_folder + Widen(s.name);
        if (Decodes(path)) {
            ASSERT_TRUE(::DeleteFileW(path.c_str()));
        } else {
            ++nRefused;
        }
    }
    ASSERT_GT(nRefused, 0u);
    EXPECT_GT(CountRefused(), kMostDamage);
    ASSERT_TRUE(m_frame->OpenFile(m_folder + L"m-good.tif"));
    PumpMessages();
    ASSERT_EQ(m_frame->m_listFiles.size(), nRefused + 1);
    Gdiplus::Bitmap* const pShown = m_frame->m_pImage;

    Command(ID_FILE_NEXT);
    EXPECT_EQ(m_frame->m_pImage, pShown);
    EXPECT_EQ(m_frame->m_strFileName, L"m-good.tif");
    EXPECT_EQ(m_frame->GetWindowText(), L"m-good.tif - Vistrel");
    ASSERT_EQ(m_frame->m_listFiles.size(), 1u);
    EXPECT_EQ(m_frame->m_listFiles.front(), L"m-good.tif");
    EXPECT_TRUE(m_frame->m_itCurrent == m_frame->m_listFiles.begin());
    for (UINT nID : {ID_FILE_PREV, ID_FILE_FIRST, ID_FILE_LAST, ID_FILE_NEXT}) {
        Command(nID);
        EXPECT_EQ(m_frame->m_pImage, pShown);
    }
    ExpectSaneView(*m_frame, "after the walks");
    EXPECT_TRUE(Responds(m_hWnd));
}

TEST_F(ReliabilityPictures, OpeningEachFileEitherShowsItOrChangesNothing)
{
    MakeFolder(L"rel-damaged-opens");
    ASSERT_TRUE(m_frame->OpenFile(m_folder + L"o-good.png"));
    PumpMessages();
    size_t nRefused = 0;
    for (const damaged::Sample& s : m_samples) {
        SCOPED_TRACE(s.name);
        const std::wstring path = m_folder + Widen(s.name);
        const bool bDecodes = Decodes(path);
        Gdiplus::Bitmap* const pBefore = m_frame->m_pImage;
        const std::wstring titleBefore = m_frame->GetWindowText();
        const std::wstring nameBefore = m_frame->m_strFileName;
        const CSize sizeBefore = m_frame->m_sizeImage;

        EXPECT_EQ(m_frame->OpenFile(path), bDecodes);
        if (s.bMeantToDecode) {
            EXPECT_TRUE(bDecodes);
        }
        if (!bDecodes) {
            ++nRefused;
            EXPECT_EQ(m_frame->m_pImage, pBefore);
            EXPECT_EQ(m_frame->GetWindowText(), titleBefore);
            EXPECT_EQ(m_frame->m_strFileName, nameBefore);
            EXPECT_EQ(m_frame->m_sizeImage, sizeBefore);
        } else {
            EXPECT_EQ(m_frame->m_strFileName, Widen(s.name));
        }
        ExpectSaneView(*m_frame, "after an open");
        // Header bombs are the decoder's out-of-memory case, met when the bitmap is made or
        // when it is drawn; either way the view stays sane (checked above).
        if (s.name.rfind("bomb-", 0) == 0) {
            EXPECT_TRUE(Refused(path));
        }
    }
    PumpMessages();
    EXPECT_GT(nRefused, 0u);
    EXPECT_GT(CountRefused(), kMostDamage);
    EXPECT_TRUE(Responds(m_hWnd));
}

TEST_F(ReliabilityPictures, AGifWithThousandsOfFramesPlaysRoundToItsFirstFrame)
{
    const std::wstring folder = MakeScratchFolder(L"rel-gif-many");
    ASSERT_TRUE(WriteBytes(folder + L"many.gif", damaged::MakeGif(2, 2, 3000, 3000, 1)));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"many.gif"));
    EXPECT_EQ(m_frame->m_nFrameCount, 3000u);
    EXPECT_EQ(m_frame->m_nCurrentFrame, 0u);
    if (m_frame->m_pFrameDelays) {
        EXPECT_EQ(m_frame->m_pFrameDelays->length, 3000u * 4u);
    }
    for (int i = 0; i < 3000; ++i)
        ::SendMessageW(m_hWnd, WM_TIMER, kAnimationTimer, 0);
    EXPECT_EQ(m_frame->m_nCurrentFrame, 0u);
    ::SendMessageW(m_hWnd, WM_TIMER, kAnimationTimer, 0);
    EXPECT_EQ(m_frame->m_nCurrentFrame, 1u);
    PumpMessages(50);
    EXPECT_TRUE(Responds(m_hWnd));
}

TEST_F(ReliabilityPictures, AGifWithoutFramesIsNeverAnimated)
{
    const std::wstring folder = MakeScratchFolder(L"rel-gif-none");
    ASSERT_TRUE(WriteSolidPicture(folder + L"before.png", 30, 20, Gdiplus::Color(255, 0, 0)));
    ASSERT_TRUE(WriteBytes(folder + L"none.gif", damaged::MakeGif(8, 8, 0, 0, 0)));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"before.png"));
    const bool bDecodes = Decodes(folder + L"none.gif");
    EXPECT_EQ(m_frame->OpenFile(folder + L"none.gif"), bDecodes);
    if (bDecodes) {
        EXPECT_LE(m_frame->m_nFrameCount, 1u);
        EXPECT_EQ(m_frame->m_pFrameDelays, nullptr);
    } else {
        EXPECT_EQ(m_frame->m_strFileName, L"before.png");
    }
    // A stray tick finds nothing to play and stops the timer.
    ::SendMessageW(m_hWnd, WM_TIMER, kAnimationTimer, 0);
    EXPECT_EQ(m_frame->m_nCurrentFrame, 0u);
}

// A frame-delay item whose last delay ends exactly where readable memory ends: one delay
// read too many faults at once instead of reading a neighbour's bytes.
class GuardedDelays {
public:
    explicit GuardedDelays(const std::vector<int32_t>& delays)
    {
        SYSTEM_INFO si{};
        ::GetSystemInfo(&si);
        m_nPage = si.dwPageSize;
        m_pBase = static_cast<BYTE*>(::VirtualAlloc(nullptr, 2 * m_nPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!m_pBase)
            return;
        DWORD old = 0;
        ::VirtualProtect(m_pBase + m_nPage, m_nPage, PAGE_NOACCESS, &old);
        const size_t bytes = delays.size() * sizeof(int32_t);
        BYTE* data = m_pBase + m_nPage - bytes;
        std::memcpy(data, delays.data(), bytes);
        // The header right before the data, as GDI+ lays out the buffer.
        m_pItem = reinterpret_cast<Gdiplus::PropertyItem*>(data - sizeof(Gdiplus::PropertyItem));
        m_pItem->id = 0x5100;
        m_pItem->length = static_cast<ULONG>(bytes);
        m_pItem->type = 4;
        m_pItem->value = data;
    }
    ~GuardedDelays()
    {
        if (m_pBase)
            ::VirtualFree(m_pBase, 0, MEM_RELEASE);
    }
    Gdiplus::PropertyItem* Item() const { return m_pItem; }

private:
    DWORD m_nPage = 0;
    BYTE* m_pBase = nullptr;
    Gdiplus::PropertyItem* m_pItem = nullptr;
};

TEST_F(ReliabilityPictures, FewerStoredDelaysThanFramesAreNeverReadPastTheirEnd)
{
    const std::wstring folder = MakeScratchFolder(L"rel-gif-short");
    ASSERT_TRUE(WriteBytes(folder + L"five.gif", damaged::MakeGif(4, 4, 5, 2, 3)));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"five.gif"));
    ASSERT_EQ(m_frame->m_nFrameCount, 5u);

    // The picture as the decoder gives it plays round without trouble.
    for (int i = 0; i < 12; ++i)
        ::SendMessageW(m_hWnd, WM_TIMER, kAnimationTimer, 0);
    EXPECT_EQ(m_frame->m_nCurrentFrame, 2u);

    // Two delays for five frames, fenced: frames 2 to 4 must take the default delay.
    GuardedDelays guarded({3, 7});
    ASSERT_NE(guarded.Item(), nullptr);
    Gdiplus::PropertyItem* const pOwn = m_frame->m_pFrameDelays;
    m_frame->m_pFrameDelays = guarded.Item();
    m_frame->m_nCurrentFrame = 0;
    m_frame->StartFrameTimer(true);
    for (int i = 0; i < 11; ++i)
        ::SendMessageW(m_hWnd, WM_TIMER, kAnimationTimer, 0);
    EXPECT_EQ(m_frame->m_nCurrentFrame, 1u);
    PumpMessages(100);
    m_frame->m_pFrameDelays = pOwn;
    EXPECT_TRUE(Responds(m_hWnd));
}

}  // namespace
