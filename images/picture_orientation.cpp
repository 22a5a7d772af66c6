#include "images/picture_orientation.h"

#include "framework/gdiplus_sdk.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "images/exif_orientation.h"

namespace {

constexpr PROPID kOrientationTag = 0x0112;

// GDI+'s own reading of the tag, or -1 when it has none of type SHORT.
int PropertyOrientation(Gdiplus::Bitmap& image)
{
    const UINT nSize = image.GetPropertyItemSize(kOrientationTag);
    if (nSize < sizeof(Gdiplus::PropertyItem))
        return -1;
    std::unique_ptr<void, decltype(&std::free)> pBlock(std::malloc(nSize), &std::free);
    auto* pItem = static_cast<Gdiplus::PropertyItem*>(pBlock.get());
    if (!pItem || image.GetPropertyItem(kOrientationTag, nSize, pItem) != Gdiplus::Ok)
        return -1;
    if (pItem->type != PropertyTagTypeShort || pItem->length < sizeof(uint16_t) || !pItem->value)
        return -1;
    uint16_t nValue = 0;
    std::memcpy(&nValue, pItem->value, sizeof(nValue));
    return nValue;
}

// The orientation in the file's own Exif segment. GDI+ may still hold the file open, so
// every kind of sharing is allowed.
int FileOrientation(const std::wstring& strPath)
{
    std::unique_ptr<uint8_t[]> pBuffer(new (std::nothrow) uint8_t[kExifReadLimit]);
    if (!pBuffer)
        return 0;
    HANDLE hFile = ::CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return 0;
    size_t nRead = 0;
    while (nRead < kExifReadLimit) {
        DWORD nChunk = 0;
        if (!::ReadFile(hFile, pBuffer.get() + nRead, static_cast<DWORD>(kExifReadLimit - nRead), &nChunk, nullptr) ||
            nChunk == 0)
            break;
        nRead += nChunk;
    }
    ::CloseHandle(hFile);
    return ReadJpegExifOrientation(pBuffer.get(), nRead);
}

}  // namespace

// The file is read only for a picture that may be a JPEG: one GDI+ names as such, or one
// whose format it won't tell (the reader then checks the JPEG signature itself).
int PictureOrientation(Gdiplus::Bitmap& image, const std::wstring& strPath)
{
    const int nOrientation = PropertyOrientation(image);
    if (nOrientation >= 0)
        return nOrientation;
    GUID format{};
    if (image.GetRawFormat(&format) == Gdiplus::Ok && format != ImageFormatJPEG)
        return 0;
    return FileOrientation(strPath);
}

bool TurnUpright(Gdiplus::Bitmap& image, int nOrientation)
{
    const int nTurn = UprightRotateFlip(nOrientation);
    if (nTurn < 0)
        return false;
    return image.RotateFlip(static_cast<Gdiplus::RotateFlipType>(nTurn)) == Gdiplus::Ok;
}
