#pragma once
// The least a viewer can do with Windows' imaging component, the second measure of the program:
// decode a file with WIC (the factory made by CoCreateInstance) straight into a 24-bit DIB
// section and show it with one blit, at its own size, into a bare popup of the viewer's size,
// showing the part the viewer shows first (top edge, horizontally centred). No GDI+ at all.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <string>

#include "bench/minimal_popup.h"

namespace bench {

class MinimalWicViewer : public MinimalPopup<MinimalWicViewer> {
public:
    static constexpr const wchar_t* kClassName = L"VistrelBenchMinimalWicViewer";
    static constexpr const wchar_t* kTitle = L"baseline-wic";

    ~MinimalWicViewer()
    {
        if (m_hBitmap)
            ::DeleteObject(m_hBitmap);
        if (m_pFactory)
            m_pFactory->Release();
    }

    // Decodes the file's first frame into a 24-bit top-down DIB section, which replaces the
    // shown one. False when WIC cannot decode it. COM must be initialised on the thread.
    bool Decode(const std::wstring& path)
    {
        if (!m_pFactory && FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                                     IID_IWICImagingFactory, reinterpret_cast<void**>(&m_pFactory))))
            return false;
        IWICBitmapDecoder* pDecoder = nullptr;
        IWICBitmapFrameDecode* pFrame = nullptr;
        IWICFormatConverter* pConverter = nullptr;
        HBITMAP hNew = nullptr;
        bool ok = SUCCEEDED(m_pFactory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                                  WICDecodeMetadataCacheOnDemand, &pDecoder)) &&
                  SUCCEEDED(pDecoder->GetFrame(0, &pFrame)) &&
                  SUCCEEDED(m_pFactory->CreateFormatConverter(&pConverter)) &&
                  SUCCEEDED(pConverter->Initialize(pFrame, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                                   nullptr, 0.0, WICBitmapPaletteTypeCustom));
        UINT w = 0, h = 0;
        ok = ok && SUCCEEDED(pConverter->GetSize(&w, &h)) && w > 0 && h > 0;
        if (ok) {
            BITMAPINFO bmi{};
            bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
            bmi.bmiHeader.biWidth = static_cast<LONG>(w);
            bmi.bmiHeader.biHeight = -static_cast<LONG>(h);
            bmi.bmiHeader.biPlanes = 1;
            bmi.bmiHeader.biBitCount = 24;
            bmi.bmiHeader.biCompression = BI_RGB;
            void* pBits = nullptr;
            hNew = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
            const UINT stride = (w * 3 + 3) & ~3u;
            ok = hNew && SUCCEEDED(pConverter->CopyPixels(nullptr, stride, stride * h, static_cast<BYTE*>(pBits)));
        }
        if (pConverter)
            pConverter->Release();
        if (pFrame)
            pFrame->Release();
        if (pDecoder)
            pDecoder->Release();
        if (!ok) {
            if (hNew)
                ::DeleteObject(hNew);
            return false;
        }
        if (m_hBitmap)
            ::DeleteObject(m_hBitmap);
        m_hBitmap = hNew;
        m_nWidth = static_cast<int>(w);
        m_nHeight = static_cast<int>(h);
        return true;
    }

private:
    friend class MinimalPopup<MinimalWicViewer>;

    void OnPaint()
    {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        if (m_hBitmap) {
            RECT rc;
            ::GetClientRect(m_hWnd, &rc);
            const int w = std::min<int>(rc.right, m_nWidth);
            const int h = std::min<int>(rc.bottom, m_nHeight);
            HDC mem = ::CreateCompatibleDC(dc);
            HGDIOBJ old = ::SelectObject(mem, m_hBitmap);
            ::BitBlt(dc, 0, 0, w, h, mem, (m_nWidth - w) / 2, 0, SRCCOPY);
            ::SelectObject(mem, old);
            ::DeleteDC(mem);
        }
        ::EndPaint(m_hWnd, &ps);
    }

    IWICImagingFactory* m_pFactory = nullptr;
    HBITMAP m_hBitmap = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

}  // namespace bench
