#include "images/decode/plain_bitmap.h"

#include "framework/gdiplus_sdk.h"

#include <algorithm>
#include <cstdlib>

#include "images/decode/decode_parts.h"
#include "images/decode/plain_format_rules.h"

namespace {

// The source's palette, in parts.pColors; null when it has none or it can't be read.
Gdiplus::ColorPalette* ReadPalette(Gdiplus::Bitmap& source, DecodeParts& parts)
{
    const INT nSize = source.GetPaletteSize();
    if (nSize < static_cast<INT>(sizeof(Gdiplus::ColorPalette)))
        return nullptr;
    parts.pColors = static_cast<Gdiplus::ColorPalette*>(std::malloc(static_cast<size_t>(nSize)));
    if (parts.pColors && source.GetPalette(parts.pColors, nSize) != Gdiplus::Ok) {
        std::free(parts.pColors);
        parts.pColors = nullptr;
    }
    // Never more entries than the block holds, whatever Count says.
    if (parts.pColors) {
        const size_t nRoom = (static_cast<size_t>(nSize) - sizeof(Gdiplus::ColorPalette)) / sizeof(Gdiplus::ARGB) + 1;
        parts.pColors->Count = static_cast<UINT>(std::min<size_t>(parts.pColors->Count, nRoom));
    }
    return parts.pColors;
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
Gdiplus::Status DrawInto(Gdiplus::Bitmap& source, Gdiplus::Bitmap& copy, DecodeParts& parts)
{
    parts.pGraphics = NewGdiplusObject<Gdiplus::Graphics>(&copy);
    if (!parts.pGraphics)
        return Gdiplus::OutOfMemory;
    Gdiplus::Graphics& graphics = *parts.pGraphics;
    if (graphics.GetLastStatus() != Gdiplus::Ok)
        return graphics.GetLastStatus();
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const INT cx = static_cast<INT>(copy.GetWidth()), cy = static_cast<INT>(copy.GetHeight());
    const Gdiplus::Status status = graphics.DrawImage(&source, Gdiplus::Rect(0, 0, cx, cy), 0, 0, cx, cy, Gdiplus::UnitPixel);
    Gdiplus::Graphics* pDone = parts.pGraphics;
    parts.pGraphics = nullptr;
    delete pDone;
    return status;
}

KeptPixels KeptPixelsOf(Gdiplus::PixelFormat format)
{
    switch (format) {
    case PixelFormat8bppIndexed:
        return KeptPixels::Indexed8;
    case PixelFormat24bppRGB:
        return KeptPixels::Rgb24;
    case PixelFormat32bppRGB:
        return KeptPixels::Rgb32;
    case PixelFormat32bppARGB:
        return KeptPixels::Argb32;
    default:
        break;
    }
    return KeptPixels::Pargb32;
}

}  // namespace

DecodeStatus CopyToPlainBitmap(Gdiplus::Bitmap& source, DecodeParts& parts, uint64_t nMaxBytes,
                               PixelCopyCheck pfnCheck, const wchar_t* pszPath)
{
    const Gdiplus::ColorPalette* pPalette = ReadPalette(source, parts);
    const Gdiplus::PixelFormat format = PlainFormat(source, pPalette);
    const UINT cx = source.GetWidth(), cy = source.GetHeight();
    if (!FitsOneBitmap(cx, cy, KeptPixelsOf(format)))
        return DecodeStatus::Rejected;
    if (uint64_t{cx} * cy * 4 > nMaxBytes)
        return DecodeStatus::NoMemory;
    parts.pPicture = NewGdiplusObject<Gdiplus::Bitmap>(static_cast<INT>(cx), static_cast<INT>(cy), format);
    if (!parts.pPicture)
        return DecodeStatus::NoMemory;
    Gdiplus::Bitmap& copy = *parts.pPicture;
    Gdiplus::Status status = copy.GetLastStatus();
    if (status == Gdiplus::Ok && Gdiplus::IsIndexedPixelFormat(format))
        status = pPalette ? copy.SetPalette(pPalette) : Gdiplus::InvalidParameter;
    const long hr = status == Gdiplus::Ok && pfnCheck ? pfnCheck(pszPath) : 0;
    if (hr < 0)
        status = StatusOfFailure(hr) == DecodeStatus::NoMemory ? Gdiplus::OutOfMemory : Gdiplus::GenericError;
    if (status == Gdiplus::Ok && ConvertInto(source, copy, format) != Gdiplus::Ok)
        status = DrawInto(source, copy, parts);
    if (status != Gdiplus::Ok) {
        Gdiplus::Bitmap* pDone = parts.pPicture;
        parts.pPicture = nullptr;
        delete pDone;
        return status == Gdiplus::OutOfMemory ? DecodeStatus::NoMemory : DecodeStatus::Rejected;
    }
    copy.SetResolution(source.GetHorizontalResolution(), source.GetVerticalResolution());
    return DecodeStatus::Decoded;
}
