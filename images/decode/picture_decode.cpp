#include "images/decode/picture_decode.h"

#include <atomic>

#include "framework/gdiplus_sdk.h"
#include "images/decode/decode_guard.h"
#include "images/decode/picture_orientation.h"

namespace {

std::atomic<BitmapOpener> g_pfnOpener{&OpenBitmapFile};

}  // namespace

// GDI+'s wrapper operator new hands back GdipAlloc's null without throwing, so the block is
// taken from GdipAlloc here and checked before the object is built in it (its operator
// delete gives it back with GdipFree).
Gdiplus::Bitmap* OpenBitmapFile(const wchar_t* pszPath)
{
    void* pBlock = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Bitmap));
    if (!pBlock)
        return nullptr;
    auto* pImage = ::new (pBlock) Gdiplus::Bitmap(pszPath, TRUE);
    if (pImage->GetLastStatus() != Gdiplus::Ok) {
        delete pImage;
        return nullptr;
    }
    return pImage;
}

BitmapOpener SetBitmapOpenerForTesting(BitmapOpener pfnOpener)
{
    return g_pfnOpener.exchange(pfnOpener ? pfnOpener : &OpenBitmapFile);
}

Gdiplus::Bitmap* DecodePictureFile(const std::wstring& strPath, bool bAutoRotate)
{
    return DecodePicture(strPath, bAutoRotate).pImage;
}

DecodeResult DecodePicture(const std::wstring& strPath, bool bAutoRotate, uint64_t nMaxBytes)
{
    Gdiplus::Bitmap* pImage = nullptr;
    // Everything that may run the decoder is inside the guard: Windows' GDI+ may decode
    // lazily, so the frame count and the turn can be the first calls to touch the pixels.
    auto decode = [&] {
        pImage = g_pfnOpener.load()(strPath.c_str());
        if (pImage && bAutoRotate && pImage->GetFrameCount(&Gdiplus::FrameDimensionTime) <= 1)
            TurnUpright(*pImage, PictureOrientation(*pImage, strPath));
    };
    if (CallGuarded(decode)) {
        if (pImage && uint64_t{pImage->GetWidth()} * pImage->GetHeight() * 4 > nMaxBytes) {
            delete pImage;
            return {nullptr, DecodeStatus::NoMemory};
        }
        return {pImage, pImage ? DecodeStatus::Decoded : DecodeStatus::Rejected};
    }
    // The decoder faulted: the file is one more that can't be shown. A Bitmap it faulted in
    // is given back under the guard too, and left alone should that fault again.
    if (pImage) {
        auto release = [&] { delete pImage; };
        CallGuarded(release);
    }
    return {nullptr, DecodeStatus::Faulted};
}
