#pragma once
// The least a GDI+ viewer can do, the measure of the program: decode a file with
// GdipCreateBitmapFromFileICM (Gdiplus::Bitmap(path, TRUE)) and paint it once, at its own size,
// into a bare popup of the viewer's size, showing the part the viewer shows first (top edge,
// horizontally centred), with the same compositing and interpolation.
#include <windows.h>

#include "framework/gdiplus_sdk.h"

#include <algorithm>
#include <string>

#include "bench/bench_util.h"

namespace bench {

class MinimalViewer {
public:
    MinimalViewer() = default;
    MinimalViewer(const MinimalViewer&) = delete;
    MinimalViewer& operator=(const MinimalViewer&) = delete;
    ~MinimalViewer()
    {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
        delete m_pImage;
    }

    // A popup of w by h centred on the work area, like the viewer's first window; not shown yet.
    bool Create(int w, int h)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &MinimalViewer::WndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"VistrelBenchMinimalViewer";
        ::RegisterClassW(&wc);
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int x = std::max(0L, (work.left + work.right) / 2 - w / 2);
        const int y = std::max(0L, (work.top + work.bottom) / 2 - h / 2);
        m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"baseline", WS_POPUP, x, y, w, h, nullptr, nullptr,
                                   wc.hInstance, this);
        return m_hWnd != nullptr;
    }

    // Decodes the file; the decoded picture replaces the shown one (freed after the new one
    // decoded, as the viewer does). False when GDI+ cannot decode it.
    bool Decode(const std::wstring& path)
    {
        auto* pNew = new Gdiplus::Bitmap(path.c_str(), TRUE);
        if (pNew->GetLastStatus() != Gdiplus::Ok) {
            delete pNew;
            return false;
        }
        delete m_pImage;
        m_pImage = pNew;
        return true;
    }

    // One paint of the whole window, now.
    void Paint()
    {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        ::UpdateWindow(m_hWnd);
    }

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_NCCREATE)
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<MinimalViewer*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            if (self) {
                self->OnPaint();
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

    void OnPaint()
    {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        if (m_pImage) {
            RECT rc;
            ::GetClientRect(m_hWnd, &rc);
            const int pw = static_cast<int>(m_pImage->GetWidth());
            const int w = std::min<int>(rc.right, pw);
            const int h = std::min<int>(rc.bottom, static_cast<int>(m_pImage->GetHeight()));
            Gdiplus::Graphics graphics(dc);
            graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeDefault);
            graphics.DrawImage(m_pImage, Gdiplus::RectF(0, 0, static_cast<float>(w), static_cast<float>(h)),
                               static_cast<float>((pw - w) / 2), 0.0f, static_cast<float>(w), static_cast<float>(h),
                               Gdiplus::UnitPixel);
        }
        ::EndPaint(m_hWnd, &ps);
    }

    Gdiplus::Bitmap* m_pImage = nullptr;
};

}  // namespace bench
