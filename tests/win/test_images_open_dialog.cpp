// The open dialog driven from a second thread, as a user would: the filters it offers, a
// chosen picture that becomes the current one, a chosen file that can't be shown and the
// error box that says so, and a cancel that changes nothing.
#include <windows.h>
#include <dlgs.h>

#include <string>
#include <thread>
#include <vector>

#include "mainframe/settings.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

std::wstring WindowText(HWND hWnd)
{
    wchar_t text[512] = {};
    ::GetWindowTextW(hWnd, text, 512);
    return text;
}

// The first visible dialog-class window of the thread, other than `except`.
HWND FindThreadDialog(DWORD threadId, HWND except = nullptr)
{
    struct Search {
        HWND except;
        HWND found;
    } search{except, nullptr};
    ::EnumThreadWindows(
        threadId,
        [](HWND hWnd, LPARAM l) -> BOOL {
            auto* s = reinterpret_cast<Search*>(l);
            wchar_t cls[32] = {};
            ::GetClassNameW(hWnd, cls, 32);
            if (hWnd != s->except && ::IsWindowVisible(hWnd) && wcscmp(cls, L"#32770") == 0) {
                s->found = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForThreadDialog(DWORD threadId, DWORD nMilliseconds, HWND except = nullptr)
{
    const DWORD start = ::GetTickCount();
    do {
        if (HWND hWnd = FindThreadDialog(threadId, except))
            return hWnd;
        ::Sleep(20);
    } while (::GetTickCount() - start < nMilliseconds);
    return nullptr;
}

// Texts of every descendant of a window of the given class.
std::vector<std::wstring> ChildTexts(HWND parent, const wchar_t* className)
{
    struct Collect {
        const wchar_t* cls;
        std::vector<std::wstring> texts;
    } collect{className, {}};
    ::EnumChildWindows(
        parent,
        [](HWND hWnd, LPARAM l) -> BOOL {
            auto* c = reinterpret_cast<Collect*>(l);
            wchar_t cls[64] = {};
            ::GetClassNameW(hWnd, cls, 64);
            if (_wcsicmp(cls, c->cls) == 0)
                c->texts.push_back(WindowText(hWnd));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&collect));
    return collect.texts;
}

// What the second thread saw of the dialog and of a message box after it.
struct DialogRun {
    bool bDialog = false;
    HWND hDialogOwner = nullptr;
    std::vector<std::wstring> filters;
    bool bMessageBox = false;
    HWND hMessageOwner = nullptr;
    std::wstring messageCaption;
    std::vector<std::wstring> messageTexts;
};

class OpenDialog : public MainFrameTest {
protected:
    // Runs ID_FILE_OPEN; a second thread chooses `path` (cancels when empty) and, when a
    // message box follows, reads and closes it.
    DialogRun RunOpen(const std::wstring& path)
    {
        DialogRun run;
        const DWORD uiThread = ::GetCurrentThreadId();
        std::thread driver([&run, uiThread, path] {
            HWND dlg = WaitForThreadDialog(uiThread, 20000);
            if (!dlg)
                return;
            run.bDialog = true;
            run.hDialogOwner = ::GetWindow(dlg, GW_OWNER);
            HWND edit = ::GetDlgItem(dlg, edt1) ? ::GetDlgItem(dlg, edt1) : ::GetDlgItem(dlg, cmb13);
            ::Sleep(300);
            if (HWND combo = ::GetDlgItem(dlg, cmb1)) {
                const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
                for (LRESULT i = 0; i < count; ++i) {
                    wchar_t text[256] = {};
                    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                    run.filters.push_back(text);
                }
            }
            if (path.empty()) {
                ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
            } else {
                ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
                ::PostMessageW(dlg, WM_COMMAND, IDOK, 0);
            }
            const DWORD start = ::GetTickCount();
            while (::IsWindow(dlg) && ::GetTickCount() - start < 10000)
                ::Sleep(20);
            if (::IsWindow(dlg)) {
                ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            if (HWND box = WaitForThreadDialog(uiThread, 1500)) {
                run.bMessageBox = true;
                run.hMessageOwner = ::GetWindow(box, GW_OWNER);
                run.messageCaption = WindowText(box);
                run.messageTexts = ChildTexts(box, L"Static");
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        });
        Command(ID_FILE_OPEN);
        driver.join();
        PumpMessages();
        return run;
    }

    static bool Contains(const std::vector<std::wstring>& v, const std::wstring& s)
    {
        for (const std::wstring& t : v)
            if (t == s)
                return true;
        return false;
    }
};

TEST_F(OpenDialog, OffersThePictureFilterFirstAndEverythingSecond)
{
    ASSERT_TRUE(WriteExtensionList(L"png"));
    const DialogRun run = RunOpen(L"");
    ASSERT_TRUE(run.bDialog);
    EXPECT_EQ(run.hDialogOwner, m_hWnd);
    EXPECT_EQ(run.filters, (std::vector<std::wstring>{L"\u76F8\u5173\u6587\u4EF6", L"\u6240\u6709\u6587\u4EF6"}));
    EXPECT_FALSE(run.bMessageBox);
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_EQ(m_frame->GetWindowText(), L"Vistrel");
}

TEST_F(OpenDialog, AChosenPictureBecomesCurrentInItsFolder)
{
    const std::wstring folder = MakeScratchFolder(L"dialog-choose");
    ASSERT_TRUE(WriteSolidPicture(folder + L"one.png", 20, 20, Gdiplus::Color(1, 2, 3)));
    ASSERT_TRUE(WriteSolidPicture(folder + L"two.tif", 30, 25, Gdiplus::Color(1, 2, 3), L"image/tiff"));

    // A type outside the stored list opens all the same.
    const DialogRun run = RunOpen(folder + L"two.tif");
    ASSERT_TRUE(run.bDialog);
    EXPECT_FALSE(run.bMessageBox);
    EXPECT_EQ(m_frame->m_strFolder, folder);
    EXPECT_EQ(m_frame->m_strFileName, L"two.tif");
    EXPECT_EQ(m_frame->m_sizeImage, CSize(30, 25));
    EXPECT_EQ(m_frame->GetWindowText(), L"two.tif - Vistrel");
    EXPECT_EQ(m_frame->m_listFiles.size(), 2u);
}

TEST_F(OpenDialog, AFileThatCannotBeShownGivesTheErrorBoxAndChangesNothing)
{
    const std::wstring folder = MakeScratchFolder(L"dialog-error");
    ASSERT_TRUE(WriteSolidPicture(folder + L"good.png", 20, 20, Gdiplus::Color(1, 2, 3)));
    ASSERT_TRUE(WriteTextFile(folder + L"text.jpg", "not a picture"));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"good.png"));
    PumpMessages();
    Gdiplus::Bitmap* const image = m_frame->m_pImage;

    const DialogRun run = RunOpen(folder + L"text.jpg");
    ASSERT_TRUE(run.bDialog);
    ASSERT_TRUE(run.bMessageBox);
    EXPECT_EQ(run.hMessageOwner, m_hWnd);
    EXPECT_EQ(run.messageCaption, L"\u9519\u8BEF");                            // 错误
    EXPECT_TRUE(Contains(run.messageTexts, L"\u6587\u4EF6\u4E0D\u80FD\u6253\u5F00"));  // 文件不能打开
    EXPECT_EQ(m_frame->m_pImage, image);
    EXPECT_EQ(m_frame->GetWindowText(), L"good.png - Vistrel");
    EXPECT_EQ(*m_frame->m_itCurrent, L"good.png");
}

TEST_F(OpenDialog, CancellingChangesNothing)
{
    const std::wstring folder = MakeScratchFolder(L"dialog-cancel");
    ASSERT_TRUE(WriteSolidPicture(folder + L"good.png", 20, 20, Gdiplus::Color(1, 2, 3)));
    ASSERT_TRUE(m_frame->OpenFile(folder + L"good.png"));
    PumpMessages();
    Gdiplus::Bitmap* const image = m_frame->m_pImage;

    const DialogRun run = RunOpen(L"");
    ASSERT_TRUE(run.bDialog);
    EXPECT_FALSE(run.bMessageBox);
    EXPECT_EQ(m_frame->m_pImage, image);
    EXPECT_EQ(m_frame->m_strFolder, folder);
    EXPECT_EQ(m_frame->GetWindowText(), L"good.png - Vistrel");
}

}  // namespace
