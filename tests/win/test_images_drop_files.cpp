// Files dropped on the main window as Explorer drops them: a posted WM_DROPFILES carrying a
// DROPFILES block. The first file opens as a file chosen in the open dialog opens (folder switched
// and listed, or the error box and nothing changed); the others are ignored; the handle is released.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <thread>
#include <vector>

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
    auto* drop = h ? static_cast<DROPFILES*>(::GlobalLock(h)) : nullptr;
    if (!drop)
        return nullptr;
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& p : paths)
        out += p.copy(out, p.size()) + 1;
    ::GlobalUnlock(h);
    return static_cast<HDROP>(h);
}

// The caption of the first visible message box the thread shows, which is then closed; empty
// when none comes within the time.
std::wstring CloseMessageBox(DWORD threadId, DWORD nMilliseconds)
{
    wchar_t caption[64] = {};
    for (const DWORD start = ::GetTickCount(); !caption[0] && ::GetTickCount() - start < nMilliseconds; ::Sleep(20))
        ::EnumThreadWindows(
            threadId,
            [](HWND hWnd, LPARAM l) -> BOOL {
                wchar_t cls[16] = {};
                ::GetClassNameW(hWnd, cls, 16);
                if (!::IsWindowVisible(hWnd) || wcscmp(cls, L"#32770") != 0)
                    return TRUE;
                ::GetWindowTextW(hWnd, reinterpret_cast<wchar_t*>(l), 64);
                ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
                return FALSE;
            },
            reinterpret_cast<LPARAM>(caption));
    return caption;
}

class DropFiles : public MainFrameTest {
protected:
    // Posts the drop as the shell does and lets the window handle it, while a second thread
    // notes in m_box and closes the message box that may follow. True when the handle was released.
    bool Drop(const std::vector<std::wstring>& paths)
    {
        HDROP hDrop = MakeDrop(paths);
        const DWORD uiThread = ::GetCurrentThreadId();
        std::thread watcher([this, uiThread] { m_box = CloseMessageBox(uiThread, 1500); });
        ::PostMessageW(m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
        PumpMessages();
        watcher.join();
        PumpMessages();
        // A released moveable handle is no longer a handle.
        return hDrop && ::GlobalFlags(hDrop) == GMEM_INVALID_HANDLE;
    }

    std::wstring m_box;
};

}  // namespace

TEST_F(DropFiles, TheFirstFileDroppedOpensAsAChosenFileDoesAndTheHandleIsReleased)
{
    const std::wstring start = MakeScratchFolder(L"drop-start"), other = MakeScratchFolder(L"drop-other");
    ASSERT_TRUE(WriteSolidPicture(start + L"start.png", 40, 30, Gdiplus::Color(200, 0, 0)));
    ASSERT_TRUE(WriteSolidPicture(other + L"one.png", 50, 20, Gdiplus::Color(0, 0, 200)));
    ASSERT_TRUE(WriteTextFile(other + L"notes.jpg", "not a picture"));
    ASSERT_TRUE(m_frame->OpenFile(start + L"start.png"));
    PumpMessages();
    Gdiplus::Bitmap* const image = m_frame->m_pImage;

    // A file that isn't a picture, alone or before a picture: the error box, nothing changed, and
    // the picture after it not tried.
    for (const auto& paths : {std::vector<std::wstring>{other + L"notes.jpg"},
                              std::vector<std::wstring>{other + L"notes.jpg", other + L"one.png"}}) {
        EXPECT_TRUE(Drop(paths)) << paths.size();
        EXPECT_EQ(m_box, L"\u9519\u8BEF");  // 错误
        EXPECT_EQ(m_frame->m_pImage, image);
        EXPECT_EQ(m_frame->m_strFolder, start);
        EXPECT_EQ(m_frame->GetWindowText(), L"start.png - Vistrel");
    }

    // A picture: its folder switched to and listed, the file that isn't a picture included.
    EXPECT_TRUE(Drop({other + L"one.png"}));
    EXPECT_EQ(m_box, L"");
    EXPECT_EQ(m_frame->m_strFolder, other);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(50, 20));
    EXPECT_EQ(m_frame->GetWindowText(), L"one.png - Vistrel");
    EXPECT_EQ(m_frame->m_listFiles.size(), 2u);
}
