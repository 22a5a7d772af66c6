#include "framework/win_dpi.h"

namespace {

using DpiForWindowFn = UINT(WINAPI*)(HWND);
using DpiForSystemFn = UINT(WINAPI*)();

// Looked up at run time: Windows 10 1607 has these, Windows 7 does not.
template <typename Fn>
Fn User32(const char* name)
{
    const HMODULE h = ::GetModuleHandleW(L"user32.dll");
    return h ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(h, name))) : nullptr;
}

}  // namespace

uint32_t WindowDpi(HWND hWnd)
{
    static const auto pfn = User32<DpiForWindowFn>("GetDpiForWindow");
    if (pfn && hWnd) {
        if (const UINT dpi = pfn(hWnd))
            return dpi;
    }
    return SystemDpi();
}

uint32_t SystemDpi()
{
    static const auto pfn = User32<DpiForSystemFn>("GetDpiForSystem");
    if (pfn) {
        if (const UINT dpi = pfn())
            return dpi;
    }
    UINT dpi = 0;
    if (const HDC hdc = ::GetDC(nullptr)) {
        dpi = static_cast<UINT>(::GetDeviceCaps(hdc, LOGPIXELSY));
        ::ReleaseDC(nullptr, hdc);
    }
    return dpi ? dpi : 96;
}
