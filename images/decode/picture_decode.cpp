#include "images/decode/picture_decode.h"

#include <atomic>

#include "framework/gdiplus_sdk.h"
#include "images/decode/decode_guard.h"
#include "images/decode/decode_parts.h"
#include "images/decode/file_in_memory.h"
#include "images/decode/picture_orientation.h"
#include "images/decode/plain_bitmap.h"
#include "images/decode/plain_format_rules.h"
#include "images/decode/wic_decode.h"

namespace {

std::atomic<BitmapOpener> g_pfnOpener{&OpenBitmapStream};
std::atomic<PixelCopyCheck> g_pfnCheck{nullptr};

// Why this thread's last OpenBitmapStream gave no Bitmap; Ok when it gave one, or when a
// test's opener refused the data without asking GDI+.
thread_local Gdiplus::Status t_openFailure = Gdiplus::Ok;

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

// GDI+'s OutOfMemory is taken for what it says. Windows' GDI+ also answers it for data it
// doesn't recognise at all, which would then be decoded again at every step instead of being
// passed for good; that can't happen here, as a file no decoder's signature claims is never
// read for a decode.
DecodeStatus StatusOfOpenFailure(Gdiplus::Status status)
{
    return status == Gdiplus::OutOfMemory ? DecodeStatus::NoMemory : DecodeStatus::Rejected;
}

// The COM apartment a decode needs: the thread's own where it has one (the user-interface
// thread's, a worker's), else the process's multithreaded one for the decode's duration.
// An imaging factory is made for each decode, or kept by a thread that says how long its
// apartment lives (KeepThreadDecoders): one shared across apartments would have to be shown
// safe with every codec.
class ComForDecode {
public:
    ComForDecode() : m_hr(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComForDecode()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    ComForDecode(const ComForDecode&) = delete;
    ComForDecode& operator=(const ComForDecode&) = delete;

private:
    HRESULT m_hr;
};

// A metafile GDI+ won't make into a Bitmap itself (Wine's refuses every one) is played into
// 32-bit ARGB pixels of its own size, transparent where it draws nothing.
DecodeStatus PlayMetafile(DecodeParts& parts, const FileInMemory& file, const WicRequest& request)
{
    const LARGE_INTEGER start{};
    file.Stream()->Seek(start, STREAM_SEEK_SET, nullptr);
    parts.pMetafile = NewGdiplusObject<Gdiplus::Metafile>(file.Stream());
    if (!parts.pMetafile)
        return DecodeStatus::NoMemory;
    if (parts.pMetafile->GetLastStatus() != Gdiplus::Ok || parts.pMetafile->GetType() == Gdiplus::ImageTypeBitmap)
        return StatusOfOpenFailure(parts.pMetafile->GetLastStatus());
    const UINT cx = parts.pMetafile->GetWidth(), cy = parts.pMetafile->GetHeight();
    if (!FitsOneBitmap(cx, cy, KeptPixels::Argb32))
        return DecodeStatus::Rejected;
    if (uint64_t{cx} * cy * 4 > request.nMaxBytes)
        return DecodeStatus::NoMemory;
    parts.pPicture = NewGdiplusObject<Gdiplus::Bitmap>(static_cast<INT>(cx), static_cast<INT>(cy), PixelFormat32bppARGB);
    if (!parts.pPicture)
        return DecodeStatus::NoMemory;
    Gdiplus::Status status = parts.pPicture->GetLastStatus();
    if (status == Gdiplus::Ok) {
        parts.pGraphics = NewGdiplusObject<Gdiplus::Graphics>(parts.pPicture);
        status = !parts.pGraphics ? Gdiplus::OutOfMemory : parts.pGraphics->GetLastStatus();
    }
    if (status == Gdiplus::Ok)
        status = parts.pGraphics->DrawImage(parts.pMetafile, 0, 0, static_cast<INT>(cx), static_cast<INT>(cy));
    if (status != Gdiplus::Ok)
        return status == Gdiplus::OutOfMemory ? DecodeStatus::NoMemory : DecodeStatus::Rejected;
    return DecodeStatus::Decoded;
}

// GDI+'s decode: an animation keeps its decoder, a still picture leaves as plain pixels,
// already upright.
DecodeStatus DecodeWithGdiplus(DecodeParts& parts, const FileInMemory& file, const WicRequest& request,
                               BitmapOpener pfnOpen)
{
    t_openFailure = Gdiplus::Ok;
    parts.pDecoded = pfnOpen(file.Stream(), request.pszPath);
    if (!parts.pDecoded) {
        const DecodeStatus status = StatusOfOpenFailure(t_openFailure);
        return status == DecodeStatus::Rejected && pfnOpen == &OpenBitmapStream ? PlayMetafile(parts, file, request)
                                                                                 : status;
    }
    Gdiplus::Bitmap& decoded = *parts.pDecoded;
    if (decoded.GetFrameCount(&Gdiplus::FrameDimensionTime) > 1) {
        // GDI+ draws each frame in 32-bit ARGB.
        if (!FitsOneBitmap(decoded.GetWidth(), decoded.GetHeight(), KeptPixels::Argb32))
            return DecodeStatus::Rejected;
        if (uint64_t{decoded.GetWidth()} * decoded.GetHeight() * 4 > request.nMaxBytes)
            return DecodeStatus::NoMemory;
        parts.pPicture = parts.pDecoded;
        parts.pDecoded = nullptr;
        return DecodeStatus::Decoded;
    }
    const int nOrientation =
        request.bAutoRotate ? PictureOrientation(decoded, file.Data(), file.Size(), parts) : 0;
    const DecodeStatus status =
        CopyToPlainBitmap(decoded, parts, request.nMaxBytes, request.pfnCheck, request.pszPath);
    // The decoder goes before the turn, which makes one more picture's worth of pixels.
    ReleaseDecoders(parts);
    if (status == DecodeStatus::Decoded)
        TurnUpright(*parts.pPicture, nOrientation);
    return status;
}

}  // namespace

Gdiplus::Bitmap* OpenBitmapStream(IStream* pStream, const wchar_t*)
{
    StreamBitmap* pImage = NewGdiplusObject<StreamBitmap>(pStream);
    if (!pImage) {
        t_openFailure = Gdiplus::OutOfMemory;
        return nullptr;
    }
    if (pImage->GetLastStatus() != Gdiplus::Ok) {
        t_openFailure = pImage->GetLastStatus();
        delete pImage;
        return nullptr;
    }
    return pImage;
}

BitmapOpener SetBitmapOpenerForTesting(BitmapOpener pfnOpener)
{
    return g_pfnOpener.exchange(pfnOpener ? pfnOpener : &OpenBitmapStream);
}

PixelCopyCheck SetPixelCopyCheckForTesting(PixelCopyCheck pfnCheck)
{
    return g_pfnCheck.exchange(pfnCheck);
}

Gdiplus::Bitmap* DecodePictureFile(const std::wstring& strPath, bool bAutoRotate)
{
    return DecodePicture(strPath, bAutoRotate).pImage;
}

// The imaging component takes a still picture first; GDI+ what it leaves. Everything either
// makes is held in parts, outside the guard, and given back under it whatever happens.
DecodeResult DecodePicture(const std::wstring& strPath, bool bAutoRotate, uint64_t nMaxBytes)
{
    FileInMemory file;
    const FileRead read = file.Read(strPath, nMaxBytes);
    if (read != FileRead::Read)
        return {nullptr, StatusOf(read)};
    nMaxBytes -= file.Size();  // the bytes held count against the share too
    const ComForDecode com;
    WicRequest request;
    request.pStream = file.Stream();
    request.pFile = file.Data();
    request.nFileSize = file.Size();
    request.pszPath = strPath.c_str();
    request.bAutoRotate = bAutoRotate;
    request.nMaxBytes = nMaxBytes;
    request.pfnCheck = g_pfnCheck.load();
    const BitmapOpener pfnOpen = g_pfnOpener.load();

    DecodeParts parts;
    DecodeStatus status = DecodeStatus::Rejected;
    // Only the decoders and plain memory work run in here. Windows' GDI+ may decode lazily,
    // so any call after the first may be the one that runs the decoder.
    auto decode = [&] {
        const std::optional<DecodeStatus> wic = DecodeWithWic(parts, request);
        if (wic) {
            status = *wic;
        } else {
            ReleaseParts(parts);
            const LARGE_INTEGER start{};
            file.Stream()->Seek(start, STREAM_SEEK_SET, nullptr);
            status = DecodeWithGdiplus(parts, file, request, pfnOpen);
        }
        ReleaseDecoders(parts);
        if (status != DecodeStatus::Decoded)
            ReleaseParts(parts);
    };
    if (CallGuarded(decode))
        return {parts.pPicture, status == DecodeStatus::Decoded && !parts.pPicture ? DecodeStatus::Rejected : status};
    // A decoder faulted: the file is one more that can't be shown. What was made before the
    // fault is given back under the guard too, and left alone should that fault again.
    // The thread's factory may be what faulted: a new one is made for the next decode.
    auto release = [&] {
        ReleaseParts(parts);
        DropThreadFactory();
    };
    CallGuarded(release);
    return {nullptr, DecodeStatus::Faulted};
}
