#include "images/decode/plain_bitmap.h"

#include "framework/gdiplus_sdk.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using PalettePtr = std::unique_ptr<Gdiplus::ColorPalette, decltype(&std::free)>;

// The source's palette; null when it has none or it can't be read.
PalettePtr ReadPalette(Gdiplus::Bitmap& source)
{
    const INT nSize = source.GetPaletteSize();
    if (nSize < static_cast<INT>(sizeof(Gdiplus::ColorPalette)))
        return {nullptr, &std::free};
    PalettePtr pPalette(static_cast<Gdiplus::ColorPalette*>(std::malloc(static_cast<size_t>(nSize))), &std::free);
    if (pPalette && source.GetPalette(pPalette.get(), nSize) != Gdiplus::Ok)
        pPalette.reset();
    // Never more entries than the block holds, whatever Count says.
    if (pPalette) {
        const size_t nRoom = (static_cast<size_t>(nSize) - sizeof(Gdiplus::ColorPalette)) / sizeof(Gdiplus::ARGB) + 1;
        pPalette->Count = static_cast<UINT>(std::min<size_t>(pPalette->Count, nRoom));
    }
    return pPalette;
}

// A palette entry less than opaque: a GIF's transparent colour, say.
bool PaletteHasAlpha(const Gdiplus::ColorPalette& palette)
{
    if (palette.Flags & Gdiplus::PaletteFlagsHasAlpha)
        return true;
    for (UINT i = 0; i < palette.Count; ++i) {
        if ((palette.Entries[i] >> 24) != 0xFF)
            return true;
    }
    return false;
}

// Formats GDI+ draws and turns as they are are kept. Others become 32-bit ARGB where they
// may carry transparency, otherwise 24-bit RGB: a quarter less memory than 32-bit, and under
// Wine both draw as a plain blit at 100 % where ARGB and PARGB are converted at every paint.
Gdiplus::PixelFormat PlainFormat(Gdiplus::Bitmap& source, const Gdiplus::ColorPalette* pPalette)
{
    const Gdiplus::PixelFormat format = source.GetPixelFormat();
    switch (format) {
    case PixelFormat8bppIndexed:
    case PixelFormat24bppRGB:
    case PixelFormat32bppRGB:
    case PixelFormat32bppARGB:
    case PixelFormat32bppPARGB:
        return format;
    default:
        break;
    }
    const bool bAlpha = Gdiplus::IsAlphaPixelFormat(format) ||
                        (Gdiplus::IsIndexedPixelFormat(format) && (!pPalette || PaletteHasAlpha(*pPalette)));
    return bAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
}

// GDI+ converts straight into the copy's own pixels as it reads the source's.
Gdiplus::Status ConvertInto(Gdiplus::Bitmap& source, Gdiplus::Bitmap& copy, Gdiplus::PixelFormat format)
{
    const Gdiplus::Rect rect(0, 0, static_cast<INT>(copy.GetWidth()), static_cast<INT>(copy.GetHeight()));
    Gdiplus::BitmapData target{};
    Gdiplus::Status status = copy.LockBits(&rect, Gdiplus::ImageLockModeWrite, format, &target);
    if (status != Gdiplus::Ok)
        return status;
    Gdiplus::BitmapData read = target;
    status = source.LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, format, &read);
    if (status == Gdiplus::Ok)
        source.UnlockBits(&read);
    copy.UnlockBits(&target);
    return status;
}

// A pixel-for-pixel drawing, for a source whose pixels GDI+ won't convert by locking.
Gdiplus::Status DrawInto(Gdiplus::Bitmap& source, Gdiplus::Bitmap& copy)
{
    Gdiplus::Graphics graphics(&copy);
    if (graphics.GetLastStatus() != Gdiplus::Ok)
        return graphics.GetLastStatus();
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const INT cx = static_cast<INT>(copy.GetWidth()), cy = static_cast<INT>(copy.GetHeight());
    return graphics.DrawImage(&source, Gdiplus::Rect(0, 0, cx, cy), 0, 0, cx, cy, Gdiplus::UnitPixel);
}

}  // namespace

Gdiplus::Bitmap* CopyToPlainBitmap(Gdiplus::Bitmap& source, PlainCopyFailure& failure)
{
    failure = PlainCopyFailure::None;
    const PalettePtr pPalette = ReadPalette(source);
    const Gdiplus::PixelFormat format = PlainFormat(source, pPalette.get());
    const INT cx = static_cast<INT>(source.GetWidth()), cy = static_cast<INT>(source.GetHeight());
    // GDI+'s operator new gives GdipAlloc's null back unchecked: the block is checked first.
    void* pBlock = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Bitmap));
    if (!pBlock) {
        failure = PlainCopyFailure::NoMemory;
        return nullptr;
    }
    auto* pCopy = ::new (pBlock) Gdiplus::Bitmap(cx, cy, format);
    Gdiplus::Status status = pCopy->GetLastStatus();
    if (status == Gdiplus::Ok && Gdiplus::IsIndexedPixelFormat(format))
        status = pPalette ? pCopy->SetPalette(pPalette.get()) : Gdiplus::InvalidParameter;
    if (status == Gdiplus::Ok && ConvertInto(source, *pCopy, format) != Gdiplus::Ok)
        status = DrawInto(source, *pCopy);
    if (status != Gdiplus::Ok) {
        failure = status == Gdiplus::OutOfMemory ? PlainCopyFailure::NoMemory : PlainCopyFailure::Unsupported;
        delete pCopy;
        return nullptr;
    }
    pCopy->SetResolution(source.GetHorizontalResolution(), source.GetVerticalResolution());
    return pCopy;
}
