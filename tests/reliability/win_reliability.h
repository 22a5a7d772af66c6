#pragma once
// Win32 side of the reliability tests: byte vectors to and from files, the decoder's own
// verdict on a file (the viewer must agree with it), seeds made by the GDI+ encoders, and
// the view invariants that every layout must keep, whatever the picture.
#include <windows.h>

#include "framework/gdiplus_sdk.h"
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "framework/win_geometry.h"
#include "mainframe/main_frame.h"
#include "tests/reliability/damaged_pictures.h"
#include "tests/reliability/win_files.h"
#include "tests/win/win_test_support.h"
#include "view/layout.h"

namespace reliability {

inline std::wstring Widen(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

inline bool FileExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether GDI+ decodes the file as the viewer asks it to: the verdict navigation must follow.
inline bool Decodes(const std::wstring& path)
{
    Gdiplus::Bitmap bitmap(path.c_str(), TRUE);
    return bitmap.GetLastStatus() == Gdiplus::Ok;
}

// Whether GDI+ refuses the file at either point it may: when the bitmap is made (Wine, and
// Windows for a bad header) or only when it is drawn (Windows' GDI+ decodes lazily).
inline bool Refused(const std::wstring& path)
{
    Gdiplus::Bitmap bitmap(path.c_str(), TRUE);
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return true;
    Gdiplus::Bitmap target(16, 16, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(&target);
    return graphics.DrawImage(&bitmap, 0, 0, 16, 16) != Gdiplus::Ok;
}

// A 64 x 48 gradient through the encoder of `mime`, as the bytes of its file.
inline damaged::Bytes EncodeGradient(const std::wstring& scratchPath, const wchar_t* mime)
{
    const bool ok = WritePicture(
        scratchPath, 64, 48,
        [](int x, int y) {
            return Gdiplus::Color(255, static_cast<BYTE>(x * 4), static_cast<BYTE>(y * 5), static_cast<BYTE>(x ^ y));
        },
        mime);
    damaged::Bytes bytes = ok ? ReadBytes(scratchPath) : damaged::Bytes{};
    ::DeleteFileW(scratchPath.c_str());
    return bytes;
}

// The seeds of the damaged set: four formats from the system's encoders and a GIF of our
// own (the GIF encoder can't be relied on for a true-colour bitmap).
inline std::vector<damaged::Seed> MakeSeeds(const std::wstring& folder)
{
    return {{"png", EncodeGradient(folder + L"seed.png", L"image/png")},
            {"jpg", EncodeGradient(folder + L"seed.jpg", L"image/jpeg")},
            {"bmp", EncodeGradient(folder + L"seed.bmp", L"image/bmp")},
            {"tif", EncodeGradient(folder + L"seed.tif", L"image/tiff")},
            {"gif", damaged::MakeGif(16, 12, 2, 2, 10)}};
}

// What every layout must leave, for any picture and any zoom: sizes in range, a window on
// the work area no larger than it, the client size the view believes in, and a scroll
// position inside its limits.
inline void ExpectSaneView(CMainFrame& frame, const std::string& where)
{
    SCOPED_TRACE(where);
    EXPECT_TRUE(std::isfinite(frame.m_fZoom));
    EXPECT_GE(frame.m_fZoom, 0.0f);
    EXPECT_LE(frame.m_fZoom, kMaxZoom);
    EXPECT_TRUE(std::isfinite(frame.m_fCenterX));
    EXPECT_TRUE(std::isfinite(frame.m_fCenterY));
    EXPECT_GE(frame.m_sizeView.cx, 0);
    EXPECT_GE(frame.m_sizeView.cy, 0);
    EXPECT_LE(frame.m_sizeView.cx, kMaxDisplayedExtent);
    EXPECT_LE(frame.m_sizeView.cy, kMaxDisplayedExtent);

    const RECT work = ToRECT(::WorkArea());
    RECT rc{};
    ::GetWindowRect(frame.m_hWnd, &rc);
    EXPECT_GE(rc.right - rc.left, 0);
    EXPECT_GE(rc.bottom - rc.top, 0);
    EXPECT_LE(rc.right - rc.left, work.right - work.left);
    EXPECT_LE(rc.bottom - rc.top, work.bottom - work.top);
    EXPECT_GE(rc.left, 0);
    EXPECT_GE(rc.top, 0);
    EXPECT_LE(rc.right, work.right);
    EXPECT_LE(rc.bottom, work.bottom);

    RECT client{};
    ::GetClientRect(frame.m_hWnd, &client);
    EXPECT_EQ(frame.m_sizeClient, CSize(client.right, client.bottom));
    if (frame.m_nViewMode == 1 && frame.m_pImage) {
        EXPECT_EQ(client.right, std::min<LONG>(frame.m_sizeView.cx, work.right - work.left));
        EXPECT_EQ(client.bottom, std::min<LONG>(frame.m_sizeView.cy, work.bottom - work.top));
    }
    if (frame.m_pImage) {
        EXPECT_EQ(frame.m_sizeScrollMax.cx, frame.m_sizeView.cx - frame.m_sizeClient.cx);
        EXPECT_EQ(frame.m_sizeScrollMax.cy, frame.m_sizeView.cy - frame.m_sizeClient.cy);
        EXPECT_GE(frame.m_ptScroll.x, 0);
        EXPECT_GE(frame.m_ptScroll.y, 0);
        EXPECT_LE(frame.m_ptScroll.x, std::max(0, frame.m_sizeScrollMax.cx));
        EXPECT_LE(frame.m_ptScroll.y, std::max(0, frame.m_sizeScrollMax.cy));
        EXPECT_EQ(frame.m_sizeImage,
                  CSize(static_cast<int32_t>(frame.m_pImage->GetWidth()), static_cast<int32_t>(frame.m_pImage->GetHeight())));
    }
}

// Whether the window still answers a message within a few seconds.
inline bool Responds(HWND hWnd)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

}  // namespace reliability
