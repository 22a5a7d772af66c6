#include "integration/background.h"

#include "framework/gdiplus_sdk.h"
#include <shlobj.h>

#include <cstdlib>
#include <cwchar>
#include <memory>

#include "app/vistrel_app.h"
#include "feedback/command_states.h"
#include "feedback/command_ui.h"
#include "integration/background_plan.h"
#include "mainframe/main_frame.h"
#include "res/resource.h"

GetSystemMetricsFn g_pfnGetSystemMetrics = &::GetSystemMetrics;
GetFolderPathFn g_pfnGetFolderPath = &::SHGetFolderPathW;
ObjectPropertiesFn g_pfnObjectProperties = nullptr;

int FindEncoderByMime(const wchar_t* mime, CLSID* pClsid)
{
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return -1;
    auto* codecs = static_cast<Gdiplus::ImageCodecInfo*>(std::malloc(size));
    if (!codecs)
        return -1;
    int found = -1;
    if (Gdiplus::GetImageEncoders(count, size, codecs) == Gdiplus::Ok) {
        for (UINT i = 0; i < count; ++i) {
            if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, mime) == 0) {
                *pClsid = codecs[i].Clsid;
                found = static_cast<int>(i);
                break;
            }
        }
    }
    std::free(codecs);
    return found;
}

namespace {

// SHObjectProperties has no name in shell32's export table, only its ordinal.
ObjectPropertiesFn ShellObjectProperties()
{
    HMODULE hShell = ::GetModuleHandleW(L"shell32.dll");
    if (!hShell)
        hShell = ::LoadLibraryW(L"shell32.dll");
    if (!hShell)
        return nullptr;
    const FARPROC proc = ::GetProcAddress(hShell, MAKEINTRESOURCEA(178));
    return reinterpret_cast<ObjectPropertiesFn>(reinterpret_cast<void (*)()>(proc));
}

// The crop drawn onto a bitmap of the screen's size; null when it can't be made.
std::unique_ptr<Gdiplus::Bitmap> ScaleToScreen(HWND hWnd, Gdiplus::Bitmap* pImage, const BackgroundCrop& crop,
                                               int cx, int cy)
{
    Gdiplus::Graphics window(hWnd);
    if (window.GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(cx, cy, &window);
    if (bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    Gdiplus::Graphics graphics(bitmap.get());
    if (graphics.GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    // A failed drawing would leave a blank wallpaper: treat it as no copy at all.
    if (graphics.DrawImage(pImage, Gdiplus::Rect(0, 0, cx, cy), crop.x, crop.y, crop.w, crop.h,
                           Gdiplus::UnitPixel) != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}

std::wstring BackgroundFolderOrFallback()
{
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(g_pfnGetFolderPath(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                     path))) {
        path[MAX_PATH - 1] = L'\0';
        std::wstring folder = BackgroundFolder(path);
        // The save shows whether the folder is usable.
        theApp.CreateFolderChain(folder);
        return folder;
    }
    return kFallbackBackgroundFolder;
}

void SetString(HKEY hKey, const wchar_t* name, const std::wstring& value)
{
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    ::RegSetValueExW(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

void SetDword(HKEY hKey, const wchar_t* name, DWORD value)
{
    ::RegSetValueExW(hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

// Stretched, not tiled; the style is always written before the wallpaper is set.
void SetDesktopWallpaper(const std::wstring& path)
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_WRITE, nullptr, &hKey, nullptr) == ERROR_SUCCESS) {
        SetString(hKey, L"WallpaperStyle", L"2");
        SetString(hKey, L"TileWallpaper", L"0");
        ::RegCloseKey(hKey);
    }
    ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(path.c_str()), SPIF_UPDATEINIFILE);
}

// Calyra's key is only opened: without Calyra installed nothing is written.
void SetCalendarBackground(const std::wstring& path)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Calyra", 0, KEY_WRITE, &hKey) != ERROR_SUCCESS)
        return;
    SetDword(hKey, L"CalWallpaper", 1);
    SetDword(hKey, L"CalBkgImgFit", 1);
    SetDword(hKey, L"CalBkgImgRetainRatio", 1);
    SetString(hKey, L"CalBkgImgFile", path);
    ::RegCloseKey(hKey);
}

}  // namespace

void CMainFrame::OnSetBackground(UINT nID)
{
    if (!m_pImage)
        return;
    const bool bCalendar = nID != ID_TOOLS_SET_WALLPAPER;
    const int cx = g_pfnGetSystemMetrics(SM_CXSCREEN);
    const int cy = g_pfnGetSystemMetrics(SM_CYSCREEN);
    const BackgroundCrop crop = PlanBackgroundCrop(m_sizeImage.cx, m_sizeImage.cy, cx, cy);

    // A bitmap made here is released on every way out.
    std::unique_ptr<Gdiplus::Bitmap> made;
    Gdiplus::Bitmap* pSave = nullptr;
    switch (crop.source) {
    case BackgroundSource::None:
        return;
    case BackgroundSource::Scale:
        made = ScaleToScreen(m_hWnd, m_pImage, crop, cx, cy);
        pSave = made.get();
        break;
    case BackgroundSource::Copy:
        made.reset(m_pImage->Clone(crop.x, crop.y, crop.w, crop.h, PixelFormatDontCare));
        pSave = made.get();
        break;
    case BackgroundSource::Whole:
        pSave = m_pImage;
        break;
    }
    if (!pSave)
        return;

    const std::wstring folder = BackgroundFolderOrFallback();
    CLSID clsid{};
    if (FindEncoderByMime(L"image/bmp", &clsid) < 0)
        return;
    std::wstring path = BackgroundTargetPath(folder, bCalendar, false);
    if (pSave->Save(path.c_str(), &clsid, nullptr) != Gdiplus::Ok) {
        path = BackgroundTargetPath(folder, bCalendar, true);
        if (pSave->Save(path.c_str(), &clsid, nullptr) != Gdiplus::Ok)
            return;
    }
    made.reset();

    if (bCalendar)
        SetCalendarBackground(path);
    else
        SetDesktopWallpaper(path);
}

void CMainFrame::OnUpdateSetBackground(CCmdUI* pCmdUI)
{
    ApplyCommandState(pCmdUI, UpdateSetBackgroundRule(Snapshot()));
}

void CMainFrame::OnFileProperties()
{
    if (!m_pImage)
        return;
    const CStringW path = m_strFolder + m_strFileName;
    const ObjectPropertiesFn show = g_pfnObjectProperties ? g_pfnObjectProperties : ShellObjectProperties();
    if (show)
        show(m_hWnd, SHOP_FILEPATH, path.c_str(), nullptr);
}

void CMainFrame::OnUpdateFileProperties(CCmdUI* pCmdUI)
{
    ApplyCommandState(pCmdUI, UpdateFilePropertiesRule(Snapshot()));
}
