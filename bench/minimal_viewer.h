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
#include "bench/minimal_popup.h"

namespace bench {

class MinimalViewer : public MinimalPopup<MinimalViewer> {
public:
    static constexpr const wchar_t* kClassName = L"VistrelBenchMinimalViewer";
    static constexpr const wchar_t* kTitle = L"baseline";

    ~MinimalViewer()
    {
        delete m_pImage;
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

private:
    friend class MinimalPopup<MinimalViewer>;

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
