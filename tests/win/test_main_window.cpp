// The main window as the program creates it: a bare popup, its class, its
// first showing without a picture, and its private messages; the application
// object's start and end around it.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/vistrel_app.h"
#include "feedback/tag_wnd.h"
#include "integration/background.h"
#include "tests/win/win_test_support.h"

using MainWindow = MainFrameTest;

TEST_F(MainWindow, IsABarePopupWithoutMenuAndWithTheClassStyles)
{
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
              static_cast<DWORD>(WS_POPUP));
    // Accepting dropped files is the one extended style the program asks for itself.
    EXPECT_EQ(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & ~(WS_EX_LAYERED | WS_EX_ACCEPTFILES), 0);
    EXPECT_NE(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
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

namespace {

// The calling thread's apartment, asked without changing it: S_OK when it has none,
// S_FALSE when it is single-threaded, RPC_E_CHANGED_MODE when multi-threaded.
HRESULT ProbeApartment()
{
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hr))
        ::CoUninitialize();
    return hr;
}

// The apartment in force when /regext's registration looked up the program's path.
HRESULT g_apartmentAtRegistration = E_UNEXPECTED;
DWORD WINAPI ModulePathNotingTheApartment(HMODULE hModule, LPWSTR buffer, DWORD size)
{
    g_apartmentAtRegistration = ProbeApartment();
    return ::GetModuleFileNameW(hModule, buffer, size);
}

}  // namespace

// Each start on a thread of its own, so that no earlier test's apartment is in the way.
TEST(Application, ComIsASingleThreadedApartmentFromStartToExitAndOnlyOwnedOnesAreUndone)
{
    ClassesRootRedirect classes;  // /regext registers
    const CommandLineFn pfnCommandLine =
        std::exchange(g_pfnCommandLine, [] { return std::vector<std::wstring>{L"vistrel.exe", L"/regext"}; });
    g_pfnGetModuleFileName = &ModulePathNotingTheApartment;
    HRESULT before = E_UNEXPECTED, during = E_UNEXPECTED, after = E_UNEXPECTED;
    // /regext: the registration's shell notice runs inside the apartment; the exit undoes it.
    std::thread([&] { before = ProbeApartment(); AfxWinMain(theApp); after = ProbeApartment(); }).join();
    EXPECT_EQ(before, S_OK);
    EXPECT_EQ(g_apartmentAtRegistration, S_FALSE);
    EXPECT_EQ(after, S_OK);
    // Already multi-threaded: the refusal is not fatal and the thread's own apartment stays.
    std::thread([&] {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        AfxWinMain(theApp);
        after = ProbeApartment();
        ::CoUninitialize();
    }).join();
    EXPECT_EQ(g_apartmentAtRegistration, RPC_E_CHANGED_MODE);
    EXPECT_EQ(after, RPC_E_CHANGED_MODE);
    // A plain start: the main window is made inside the apartment, which lasts until the exit.
    g_pfnCommandLine = [] { return std::vector<std::wstring>{L"vistrel.exe"}; };
    std::thread([&] {
        during = theApp.InitInstance() ? ProbeApartment() : E_FAIL;
        if (theApp.m_pMainWnd && theApp.m_pMainWnd->m_hWnd)
            ::DestroyWindow(theApp.m_pMainWnd->m_hWnd);  // the frame deletes itself
        PumpMessages();
        theApp.ExitInstance();
        after = ProbeApartment();
    }).join();
    EXPECT_EQ(during, S_FALSE);
    EXPECT_EQ(after, S_OK);
    g_pfnCommandLine = pfnCommandLine;
    g_pfnGetModuleFileName = &::GetModuleFileNameW;
    theApp.m_strFile.clear();
    theApp.m_pMainWnd = nullptr;
}
