#include "images/decode/picture_decode.h"

#include <atomic>

#include "framework/gdiplus_sdk.h"
#include "images/decode/decode_guard.h"
#include "images/decode/file_in_memory.h"
#include "images/decode/picture_orientation.h"
#include "images/decode/plain_bitmap.h"

namespace {

std::atomic<BitmapOpener> g_pfnOpener{&OpenBitmapStream};

// One reference to the stream the decoder reads from, for as long as the Bitmap lives.
struct StreamReference {
    explicit StreamReference(IStream* pStream) : m_pStream(pStream) { m_pStream->AddRef(); }
    ~StreamReference() { m_pStream->Release(); }
    StreamReference(const StreamReference&) = delete;
    StreamReference& operator=(const StreamReference&) = delete;
    IStream* m_pStream;
};

// Bases are destroyed in reverse order: the Bitmap is disposed before the stream is let go,
// whatever reference GDI+ itself takes or not.
class StreamBitmap : private StreamReference, public Gdiplus::Bitmap {
public:
    explicit StreamBitmap(IStream* pStream) : StreamReference(pStream), Gdiplus::Bitmap(pStream, TRUE) {}
};

// A file no decoder claims is a verdict like a decoder's refusal; a stopped read is nobody's.
DecodeStatus StatusOf(FileRead read)
{
    switch (read) {
    case FileRead::NotPicture:
        return DecodeStatus::Rejected;
    case FileRead::NoMemory:
        return DecodeStatus::NoMemory;
    default:
        return DecodeStatus::Unreadable;
    }
}

}  // namespace

// GDI+'s wrapper operator new hands back GdipAlloc's null without throwing, so the block is
// taken from GdipAlloc here and checked before the object is built in it (its operator
// delete gives it back with GdipFree).
Gdiplus::Bitmap* OpenBitmapStream(IStream* pStream, const wchar_t*)
{
    void* pBlock = Gdiplus::DllExports::GdipAlloc(sizeof(StreamBitmap));
    if (!pBlock)
        return nullptr;
    Gdiplus::Bitmap* pImage = ::new (pBlock) StreamBitmap(pStream);
    if (pImage->GetLastStatus() != Gdiplus::Ok) {
        delete pImage;
        return nullptr;
    }
    return pImage;
}

BitmapOpener SetBitmapOpenerForTesting(BitmapOpener pfnOpener)
{
    return g_pfnOpener.exchange(pfnOpener ? pfnOpener : &OpenBitmapStream);
}

Gdiplus::Bitmap* DecodePictureFile(const std::wstring& strPath, bool bAutoRotate)
{
    return DecodePicture(strPath, bAutoRotate).pImage;
}

// A still picture leaves the guard as plain pixels, already upright, with the decoder and the
// file's bytes let go; an animated one keeps its decoder, which holds the bytes in memory.
DecodeResult DecodePicture(const std::wstring& strPath, bool bAutoRotate, uint64_t nMaxBytes)
{
    FileInMemory file;
    const FileRead read = file.Read(strPath, nMaxBytes);
    if (read != FileRead::Read)
        return {nullptr, StatusOf(read)};
    nMaxBytes -= file.Size();  // the bytes held count against the share too
    // Asked before the guard: the first answer is a one-time start, which takes a lock.
    const bool bSwapped = bAutoRotate && FlippedQuarterTurnsSwapped();
    const BitmapOpener pfnOpen = g_pfnOpener.load();

    Gdiplus::Bitmap* pDecoded = nullptr;
    DecodeResult result;
    // Let go before the delete: a fault inside it must not have the Bitmap deleted twice.
    auto releaseDecoded = [&] {
        Gdiplus::Bitmap* pDone = pDecoded;
        pDecoded = nullptr;
        delete pDone;
    };
    // Only GDI+ and plain memory work run in here. Windows' GDI+ may decode lazily, so any
    // call after the first may be the one that runs the decoder.
    auto decode = [&] {
        pDecoded = pfnOpen(file.Stream(), strPath.c_str());
        if (!pDecoded)
            return;
        if (uint64_t{pDecoded->GetWidth()} * pDecoded->GetHeight() * 4 > nMaxBytes) {
            result.status = DecodeStatus::NoMemory;
        } else if (pDecoded->GetFrameCount(&Gdiplus::FrameDimensionTime) > 1) {
            result = {pDecoded, DecodeStatus::Decoded};
            pDecoded = nullptr;
            return;
        } else {
            const int nOrientation = bAutoRotate ? PictureOrientation(*pDecoded, file.Data(), file.Size()) : 0;
            PlainCopyFailure failure = PlainCopyFailure::None;
            result.pImage = CopyToPlainBitmap(*pDecoded, failure);
            if (failure == PlainCopyFailure::Unsupported) {
                // Pixels GDI+ can't convert are shown through the decoder, as it gave them.
                result.pImage = pDecoded;
                pDecoded = nullptr;
            }
            result.status = result.pImage ? DecodeStatus::Decoded : DecodeStatus::NoMemory;
            // The decoder goes before the turn, which makes one more picture's worth of pixels.
            releaseDecoded();
            if (result.pImage)
                TurnUpright(*result.pImage, nOrientation, bSwapped);
        }
        releaseDecoded();
    };
    if (CallGuarded(decode))
        return result;
    // The decoder faulted: the file is one more that can't be shown. What was made before the
    // fault is given back under the guard too, and left alone should that fault again.
    auto release = [&] {
        delete result.pImage;
        result.pImage = nullptr;
        delete pDecoded;
    };
    CallGuarded(release);
    return {nullptr, DecodeStatus::Faulted};
}
