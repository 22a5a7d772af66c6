// Loaded into the viewer by the soak driver's WH_GETMESSAGE hook. It notes the latest marker
// message the viewer's thread has taken from its queue, in memory shared with the driver, so
// the driver knows when everything it posted before the marker has been handled. The marker
// itself is turned into WM_NULL: the viewer never sees it.
#include <windows.h>

namespace {

constexpr UINT kMarker = WM_APP + 0x5A;

volatile LONG* SharedMarker()
{
    static volatile LONG* s_pMarker = nullptr;
    if (!s_pMarker) {
        if (HANDLE h = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"Local\\VistrelSoakMarker")) {
            s_pMarker = static_cast<volatile LONG*>(::MapViewOfFile(h, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
            ::CloseHandle(h);
        }
    }
    return s_pMarker;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK SoakGetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message == kMarker) {
            if (volatile LONG* p = SharedMarker())
                ::InterlockedExchange(p, static_cast<LONG>(msg->wParam));
            msg->message = WM_NULL;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
