// Files dropped on the main window, as Explorer drops them: a posted WM_DROPFILES carrying a
// DROPFILES block. The first file opens as the open dialog opens a chosen one (folder switched
// and listed, or the error box and nothing changed); the others are ignored; the drop's memory
// is released every time.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/ui_language.h"
#include "framework/ui_language_rules.h"
#include "tests/win/win_test_support.h"

namespace {

// A drop handle as the shell makes one: DROPFILES, then the wide paths, each ended by a NUL,
// and one more NUL.
HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    size_t chars = 1;
    for (const std::wstring& p : paths)
        chars += p.size() + 1;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    if (!h)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(h));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = POINT{10, 10};
    drop->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& p : paths) {
        p.copy(out, p.size());
        out += p.size() + 1;
    }
    ::GlobalUnlock(h);
    return static_cast<HDROP>(h);
}

struct BoxSeen {
    bool bShown = false;
    HWND hOwner = nullptr;
    std::wstring caption, text;
};

// The first visible message box of the thread, read and closed; none within the time.
BoxSeen CloseMessageBox(DWORD threadId, DWORD nMilliseconds)
{
    BoxSeen seen;
    const DWORD start = ::GetTickCount();
    while (!seen.bShown && ::GetTickCount() - start < nMilliseconds) {
        ::EnumThreadWindows(
            threadId,
            [](HWND hWnd, LPARAM l) -> BOOL {
                wchar_t cls[16] = {};
                ::GetClassNameW(hWnd, cls, 16);
                if (!::IsWindowVisible(hWnd) || wcscmp(cls, L"#32770") != 0)
                    return TRUE;
                auto* s = reinterpret_cast<BoxSeen*>(l);
                wchar_t text[256] = {};
                s->bShown = true;
                s->hOwner = ::GetWindow(hWnd, GW_OWNER);
                ::GetWindowTextW(hWnd, text, 256);
                s->caption = text;
                ::GetDlgItemTextW(hWnd, 0xFFFF, text, 256);
                s->text = text;
                ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&seen));
        ::Sleep(20);
    }
    return seen;
}

class DropFiles : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        m_folder = MakeScratchFolder(L"drop-start");
        m_other = MakeScratchFolder(L"drop-other");
        ASSERT_TRUE(WriteSolidPicture(m_folder + L"start.png", 40, 30, Gdiplus::Color(200, 0, 0)));
        ASSERT_TRUE(WriteSolidPicture(m_other + L"one.png", 50, 20, Gdiplus::Color(0, 0, 200)));
        ASSERT_TRUE(WriteSolidPicture(m_other + L"two.png", 60, 25, Gdiplus::Color(0, 200, 0)));
        ASSERT_TRUE(WriteTextFile(m_other + L"notes.jpg", "not a picture"));
        ASSERT_TRUE(m_frame->OpenFile(m_folder + L"start.png"));
        PumpMessages();
    }

    // Posts the drop as the shell does and lets the window handle it; a second thread notes
    // and closes the message box that may follow. True when the handle was released.
    bool Drop(const std::vector<std::wstring>& paths, BoxSeen& box)
    {
        HDROP hDrop = MakeDrop(paths);
        if (!hDrop)
            return false;
        const DWORD uiThread = ::GetCurrentThreadId();
        std::thread watcher([&box, uiThread] { box = CloseMessageBox(uiThread, 1500); });
        ::PostMessageW(m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
        PumpMessages();
        watcher.join();
        PumpMessages();
        // A released moveable handle is no longer a handle.
        return ::GlobalFlags(hDrop) == GMEM_INVALID_HANDLE;
    }

    std::wstring m_folder, m_other;
};

}  // namespace

TEST_F(DropFiles, ADroppedPictureOpensInItsFolder)
{
    BoxSeen box;
    EXPECT_TRUE(Drop({m_other + L"two.png"}, box));
    EXPECT_FALSE(box.bShown);
    EXPECT_EQ(m_frame->m_strFolder, m_other);
    EXPECT_EQ(m_frame->m_strFileName, L"two.png");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(60, 25));
    EXPECT_EQ(m_frame->GetWindowText(), L"two.png - Vistrel");
    // The new folder was listed: its three files, the one that isn't a picture included.
    EXPECT_EQ(m_frame->m_listFiles.size(), 3u);
    ASSERT_NE(m_frame->m_itCurrent, m_frame->m_listFiles.end());
    EXPECT_EQ(*m_frame->m_itCurrent, L"two.png");
}

TEST_F(DropFiles, ADroppedFileThatIsNoPictureGivesTheErrorBoxAndKeepsThePicture)
{
    Gdiplus::Bitmap* const image = m_frame->m_pImage;
    BoxSeen box;
    EXPECT_TRUE(Drop({m_other + L"notes.jpg"}, box));
    ASSERT_TRUE(box.bShown);
    EXPECT_EQ(box.hOwner, m_hWnd);
    EXPECT_EQ(box.caption, L"\u9519\u8BEF");                      // 错误
    EXPECT_EQ(box.text, L"\u6587\u4EF6\u4E0D\u80FD\u6253\u5F00");  // 文件不能打开
    EXPECT_EQ(m_frame->m_pImage, image);
    EXPECT_EQ(m_frame->m_strFolder, m_folder);
    EXPECT_EQ(m_frame->GetWindowText(), L"start.png - Vistrel");

    // The same box in English when that is the program's language.
    const LANGID saved = AfxGetUiLanguage();
    AfxSetUiLanguage(kUiLanguageEnglish);
    BoxSeen english;
    EXPECT_TRUE(Drop({m_other + L"notes.jpg"}, english));
    AfxSetUiLanguage(saved);
    EXPECT_EQ(english.caption, L"Error");
    EXPECT_EQ(english.text, L"The file cannot be opened.");
    EXPECT_EQ(m_frame->m_pImage, image);
}

TEST_F(DropFiles, OfTwoFilesOnlyTheFirstCounts)
{
    BoxSeen box;
    EXPECT_TRUE(Drop({m_other + L"one.png", m_other + L"two.png"}, box));
    EXPECT_FALSE(box.bShown);
    EXPECT_EQ(m_frame->m_strFileName, L"one.png");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(50, 20));

    // A first file that can't be shown: the box, and the picture after it is not tried.
    BoxSeen second;
    EXPECT_TRUE(Drop({m_other + L"notes.jpg", m_folder + L"start.png"}, second));
    EXPECT_TRUE(second.bShown);
    EXPECT_EQ(m_frame->m_strFileName, L"one.png");
    EXPECT_EQ(m_frame->m_strFolder, m_other);
}
