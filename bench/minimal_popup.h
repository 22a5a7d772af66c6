#pragma once
// The bare popup both minimal viewers show their picture in: made as the viewer's first window
// is (w by h, centred on the work area, not shown yet), painted by the viewer itself, and kept
// until the probe closes it. Viewer names its window class and title and paints in OnPaint.
#include <windows.h>

#include <algorithm>

namespace bench {

template <class Viewer>
class MinimalPopup {
public:
    MinimalPopup() = default;
    MinimalPopup(const MinimalPopup&) = delete;
    MinimalPopup& operator=(const MinimalPopup&) = delete;
    ~MinimalPopup()
    {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
    }

    bool Create(int w, int h)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &MinimalPopup::WndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = Viewer::kClassName;
        ::RegisterClassW(&wc);
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int x = std::max(0L, (work.left + work.right) / 2 - w / 2);
        const int y = std::max(0L, (work.top + work.bottom) / 2 - h / 2);
        m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, Viewer::kTitle, WS_POPUP, x, y, w, h, nullptr, nullptr,
                                   wc.hInstance, this);
        return m_hWnd != nullptr;
    }

    // Shown with its first paint, then kept until the probe closes it; a forgotten one goes
    // away by itself after a minute.
    void ShowUntilClosed()
    {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        ::UpdateWindow(m_hWnd);
        ::SetTimer(m_hWnd, 1, 60000, nullptr);
        MSG msg;
        while (m_hWnd && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_TIMER || msg.message == WM_CLOSE)
                ::DestroyWindow(m_hWnd);
            else
                ::DispatchMessageW(&msg);
        }
    }

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_NCCREATE)
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<MinimalPopup*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            if (self) {
                static_cast<Viewer*>(self)->OnPaint();
                return 0;
            }
            break;
        case WM_NCDESTROY:
            if (self)
                self->m_hWnd = nullptr;
            break;
        default:
            break;
        }
        return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    }
};

}  // namespace bench
