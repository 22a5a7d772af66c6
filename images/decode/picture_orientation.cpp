#include "images/decode/picture_orientation.h"

#include "framework/gdiplus_sdk.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "images/decode/decode_parts.h"
#include "images/decode/exif_orientation.h"

namespace {

constexpr PROPID kOrientationTag = 0x0112;

// GDI+'s own reading of the tag, or -1 when it has none of type SHORT.
int PropertyOrientation(Gdiplus::Bitmap& image, DecodeParts& parts)
{
    const UINT nSize = image.GetPropertyItemSize(kOrientationTag);
    if (nSize < sizeof(Gdiplus::PropertyItem))
        return -1;
    parts.pProperty = std::malloc(nSize);
    auto* pItem = static_cast<Gdiplus::PropertyItem*>(parts.pProperty);
    int nValue = -1;
    if (pItem && image.GetPropertyItem(kOrientationTag, nSize, pItem) == Gdiplus::Ok &&
        pItem->type == PropertyTagTypeShort && pItem->length >= sizeof(uint16_t) && pItem->value) {
        uint16_t nShort = 0;
        std::memcpy(&nShort, pItem->value, sizeof(nShort));
        nValue = nShort;
    }
    std::free(parts.pProperty);
    parts.pProperty = nullptr;
    return nValue;
}

}  // namespace

// Windows' GDI+ turns before it flips, as documented, so Rotate90FlipX transposes; Wine's
// flips first, which swaps Rotate90FlipX and Rotate270FlipX. Which one transposes is asked
// of the library once, with a two-pixel bitmap; the documented answer stands if it can't say.
// Threads that ask at once each find the same answer, and a fault while finding out leaves no
// lock held, only the question open.
bool FlippedQuarterTurnsSwapped()
{
    static std::atomic<int> s_nAnswer{-1};
    const int nKnown = s_nAnswer.load(std::memory_order_acquire);
    if (nKnown >= 0)
        return nKnown != 0;
    Gdiplus::Bitmap probe(2, 1, PixelFormat24bppRGB);
    const Gdiplus::Color red(255, 0, 0);
    Gdiplus::Color top;
    const bool bSwapped = probe.SetPixel(0, 0, red) == Gdiplus::Ok &&
                          probe.SetPixel(1, 0, Gdiplus::Color(0, 0, 255)) == Gdiplus::Ok &&
                          probe.RotateFlip(Gdiplus::Rotate90FlipX) == Gdiplus::Ok && probe.GetHeight() == 2 &&
                          probe.GetPixel(0, 0, &top) == Gdiplus::Ok && top.GetValue() != red.GetValue();
    s_nAnswer.store(bSwapped ? 1 : 0, std::memory_order_release);
    return bSwapped;
}

// The bytes are read only for a picture that may be a JPEG: one GDI+ names as such, or one
// whose format it won't tell (the reader then checks the JPEG signature itself).
int PictureOrientation(Gdiplus::Bitmap& image, const uint8_t* pFile, size_t nFileSize, DecodeParts& parts)
{
    const int nOrientation = PropertyOrientation(image, parts);
    if (nOrientation >= 0)
        return nOrientation;
    GUID format{};
    if (image.GetRawFormat(&format) == Gdiplus::Ok && format != Gdiplus::ImageFormatJPEG)
        return 0;
    return pFile ? ReadJpegExifOrientation(pFile, std::min(nFileSize, kExifReadLimit)) : 0;
}

bool TurnUpright(Gdiplus::Bitmap& image, int nOrientation)
{
    int nTurn = UprightRotateFlip(nOrientation);
    if (nTurn < 0)
        return false;
    if ((nTurn == Gdiplus::Rotate90FlipX || nTurn == Gdiplus::Rotate270FlipX) && FlippedQuarterTurnsSwapped())
        nTurn = nTurn == Gdiplus::Rotate90FlipX ? Gdiplus::Rotate270FlipX : Gdiplus::Rotate90FlipX;
    return image.RotateFlip(static_cast<Gdiplus::RotateFlipType>(nTurn)) == Gdiplus::Ok;
}
