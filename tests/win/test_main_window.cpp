// The main window as the program creates it: a bare popup, its class, its
// first showing without a picture, and its private messages.
#include <windows.h>

#include "feedback/tag_wnd.h"
#include "tests/win/win_test_support.h"

using MainWindow = MainFrameTest;

TEST_F(MainWindow, IsABarePopupWithoutMenuAndWithTheClassStyles)
{
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
              static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & ~WS_EX_LAYERED, 0);
    EXPECT_EQ(::GetMenu(m_hWnd), nullptr);
    EXPECT_EQ(::GetClassLongPtrW(m_hWnd, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(::GetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND), 0u);
    EXPECT_NE(::GetClassLongPtrW(m_hWnd, GCLP_HICON), 0u);
    EXPECT_EQ(g_pMainFrame, m_frame);
}

TEST_F(MainWindow, StartsWithoutPictureTitledAfterTheProgram)
{
    EXPECT_EQ(m_frame->m_strInfo, L"\u65E0\u56FE\u7247");  // 无图片
    EXPECT_EQ(m_frame->GetWindowText(), L"Vistrel");
    EXPECT_EQ(m_frame->m_pImage, nullptr);
    EXPECT_TRUE(::IsWindowVisible(m_hWnd));
    EXPECT_EQ(m_frame->m_fZoom, 1.0f);
    EXPECT_EQ(m_frame->m_nViewMode, 1);
}

TEST_F(MainWindow, TagClosedNoticeOnlyCountsWithWParamOne)
{
    // A stand-in pointer: the frame only compares and clears it.
    auto* fake = reinterpret_cast<CTagWnd*>(static_cast<uintptr_t>(0x1000));
    m_frame->m_pTagWnd = fake;
    ::SendMessageW(m_hWnd, WM_TAGWND_CLOSED, 2, 0);
    EXPECT_EQ(m_frame->m_pTagWnd, fake);
    ::SendMessageW(m_hWnd, WM_TAGWND_CLOSED, 1, 0);
    EXPECT_EQ(m_frame->m_pTagWnd, nullptr);
}

TEST_F(MainWindow, ClosingWritesTheInterpolationEvenWhenUnchanged)
{
    m_frame->m_nInterpolation = 7;  // stored as read, even out of range
    ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Vistrel", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    DWORD type = 0, value = 0, size = sizeof(value);
    EXPECT_EQ(::RegQueryValueExW(hKey, L"Interpolation", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 7u);
}

TEST_F(MainWindow, UnknownScanRequestDoesNothing)
{
    const BOOL visible = ::IsWindowVisible(m_hWnd);
    EXPECT_EQ(::SendMessageW(m_hWnd, WM_SCAN_FOLDER, 12345, 0), 0);
    EXPECT_EQ(::IsWindowVisible(m_hWnd), visible);
    EXPECT_TRUE(m_frame->m_listFiles.empty());
}
