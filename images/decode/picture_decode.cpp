#include "images/decode/picture_decode.h"

#include <atomic>

#include "framework/gdiplus_sdk.h"
#include "images/decode/decode_guard.h"
#include "images/decode/file_in_memory.h"
#include "images/decode/picture_orientation.h"

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

DecodeStatus StatusOf(FileRead read)
{
    return read == FileRead::NoMemory ? DecodeStatus::NoMemory : DecodeStatus::Unreadable;
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

DecodeResult DecodePicture(const std::wstring& strPath, bool bAutoRotate, uint64_t nMaxBytes)
{
    FileInMemory file;
    const FileRead read = file.Read(strPath);
    if (read != FileRead::Read)
        return {nullptr, StatusOf(read)};
    // Asked before the guard: the first answer is a one-time start, which takes a lock.
    const bool bSwapped = bAutoRotate && FlippedQuarterTurnsSwapped();
    const BitmapOpener pfnOpen = g_pfnOpener.load();

    Gdiplus::Bitmap* pImage = nullptr;
    // Everything that may run the decoder is inside the guard: Windows' GDI+ may decode
    // lazily, so the frame count and the turn can be the first calls to touch the pixels.
    auto decode = [&] {
        pImage = pfnOpen(file.Stream(), strPath.c_str());
        if (pImage && bAutoRotate && pImage->GetFrameCount(&Gdiplus::FrameDimensionTime) <= 1)
            TurnUpright(*pImage, PictureOrientation(*pImage, file.Data(), file.Size()), bSwapped);
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
