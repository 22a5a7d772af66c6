#include "images/decode/wic_decode.h"

#include <algorithm>
#include <cstdlib>

#include "images/decode/decode_guard.h"
#include "images/decode/decode_parts.h"
#include "images/decode/exif_orientation.h"
#include "images/decode/first_touch.h"
#include "images/decode/imaging_code.h"
#include "images/decode/picture_orientation.h"
#include "images/decode/plain_format_rules.h"

namespace {

// Slots of the interfaces' vtables: a method of the object's own, implemented by its codec.
constexpr size_t kDecoderGetFrame = 13;
constexpr size_t kFrameCopyPixels = 7;

// One imaging factory for each thread that said it keeps its apartment, made on its first
// decode; plain, as it is let go by the thread's owner and never by a destructor that may run
// after the apartment is gone.
thread_local bool t_bKeep = false;
thread_local IWICImagingFactory* t_pFactory = nullptr;

HRESULT MakeFactory(DecodeParts& parts)
{
    if (t_pFactory) {
        parts.pFactory = t_pFactory;
        parts.pFactory->AddRef();
        return S_OK;
    }
    const HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IWICImagingFactory, reinterpret_cast<void**>(&parts.pFactory));
    if (SUCCEEDED(hr) && t_bKeep) {
        t_pFactory = parts.pFactory;
        t_pFactory->AddRef();
    }
    return hr;
}

const void* VtableMethod(const void* pObject, size_t nSlot)
{
    return (*static_cast<const void* const* const*>(pObject))[nSlot];
}

template <class T>
void ReleaseCom(T*& p)
{
    T* pDone = p;
    p = nullptr;
    if (pDone)
        pDone->Release();
}

FramePixels FramePixelsOf(const WICPixelFormatGUID& format)
{
    if (format == GUID_WICPixelFormat8bppIndexed)
        return FramePixels::Indexed8;
    if (format == GUID_WICPixelFormat24bppBGR)
        return FramePixels::Bgr24;
    if (format == GUID_WICPixelFormat32bppBGR)
        return FramePixels::Bgr32;
    if (format == GUID_WICPixelFormat32bppBGRA)
        return FramePixels::Bgra32;
    if (format == GUID_WICPixelFormat32bppPBGRA)
        return FramePixels::Pbgra32;
    return FramePixels::Other;
}

const WICPixelFormatGUID& WicFormatOf(KeptPixels kept)
{
    switch (kept) {
    case KeptPixels::Indexed8:
        return GUID_WICPixelFormat8bppIndexed;
    case KeptPixels::Rgb24:
        return GUID_WICPixelFormat24bppBGR;
    case KeptPixels::Rgb32:
        return GUID_WICPixelFormat32bppBGR;
    case KeptPixels::Argb32:
        return GUID_WICPixelFormat32bppBGRA;
    case KeptPixels::Pargb32:
        break;
    }
    return GUID_WICPixelFormat32bppPBGRA;
}

Gdiplus::PixelFormat GdiplusFormatOf(KeptPixels kept)
{
    switch (kept) {
    case KeptPixels::Indexed8:
        return PixelFormat8bppIndexed;
    case KeptPixels::Rgb24:
        return PixelFormat24bppRGB;
    case KeptPixels::Rgb32:
        return PixelFormat32bppRGB;
    case KeptPixels::Argb32:
        return PixelFormat32bppARGB;
    case KeptPixels::Pargb32:
        break;
    }
    return PixelFormat32bppPARGB;
}

bool IsIndexed(const WICPixelFormatGUID& format)
{
    return format == GUID_WICPixelFormat1bppIndexed || format == GUID_WICPixelFormat2bppIndexed ||
           format == GUID_WICPixelFormat4bppIndexed || format == GUID_WICPixelFormat8bppIndexed;
}

bool IsCmyk(const WICPixelFormatGUID& format)
{
    return format == GUID_WICPixelFormat32bppCMYK || format == GUID_WICPixelFormat64bppCMYK ||
           format == GUID_WICPixelFormat40bppCMYKAlpha || format == GUID_WICPixelFormat80bppCMYKAlpha;
}

ContainerKind KindOf(const GUID& container)
{
    if (container == GUID_ContainerFormatGif)
        return ContainerKind::Gif;
    if (container == GUID_ContainerFormatIco)
        return ContainerKind::Icon;
    return ContainerKind::Other;
}

// The frame's palette, the decoder's (a GIF's global one) where the frame has none of its own.
bool ReadPalette(DecodeParts& parts)
{
    return SUCCEEDED(parts.pFactory->CreatePalette(&parts.pPalette)) &&
           (SUCCEEDED(parts.pFrame->CopyPalette(parts.pPalette)) ||
            SUCCEEDED(parts.pDecoder->CopyPalette(parts.pPalette)));
}

// An indexed frame may be transparent when a palette entry is less than opaque (or there is no
// palette to say), any other where its format has an alpha channel.
bool MayBeTransparent(DecodeParts& parts, const WICPixelFormatGUID& format)
{
    if (IsIndexed(format)) {
        BOOL bAlpha = TRUE;
        return !parts.pPalette || FAILED(parts.pPalette->HasAlpha(&bAlpha)) || bAlpha;
    }
    BOOL bTransparent = FALSE;
    if (SUCCEEDED(parts.pFactory->CreateComponentInfo(format, &parts.pFormatInfo)) &&
        SUCCEEDED(parts.pFormatInfo->QueryInterface(IID_IWICPixelFormatInfo2,
                                                    reinterpret_cast<void**>(&parts.pFormatInfo2))) &&
        SUCCEEDED(parts.pFormatInfo2->SupportsTransparency(&bTransparent)))
        return bTransparent != FALSE;
    return false;
}

// The palette as GDI+ keeps it; false when the memory can't be had.
bool MakeColors(DecodeParts& parts)
{
    UINT nColors = 0;
    if (FAILED(parts.pPalette->GetColorCount(&nColors)) || nColors == 0)
        nColors = 1;
    nColors = std::min<UINT>(nColors, 256);
    const size_t nSize = sizeof(Gdiplus::ColorPalette) + (nColors - 1) * sizeof(Gdiplus::ARGB);
    parts.pColors = static_cast<Gdiplus::ColorPalette*>(std::calloc(1, nSize));
    if (!parts.pColors)
        return false;
    UINT nRead = 0;
    if (FAILED(parts.pPalette->GetColors(nColors, reinterpret_cast<WICColor*>(parts.pColors->Entries), &nRead)))
        nRead = 0;
    parts.pColors->Count = std::max<UINT>(nRead, 1);
    for (UINT i = 0; i < parts.pColors->Count; ++i) {
        if ((parts.pColors->Entries[i] >> 24) != 0xFF)
            parts.pColors->Flags |= Gdiplus::PaletteFlagsHasAlpha;
    }
    return true;
}

// The orientation tag as the format's own metadata or the photo property gives it, -1 if none.
int MetadataOrientation(DecodeParts& parts, ContainerKind kind, const GUID& container)
{
    if (kind != ContainerKind::Other || FAILED(parts.pFrame->GetMetadataQueryReader(&parts.pQuery)))
        return -1;
    const wchar_t* const names[] = {container == GUID_ContainerFormatJpeg   ? L"/app1/ifd/{ushort=274}"
                                    : container == GUID_ContainerFormatTiff ? L"/ifd/{ushort=274}"
                                                                            : nullptr,
                                    L"System.Photo.Orientation"};
    for (const wchar_t* pszName : names) {
        if (!pszName)
            continue;
        ::PropVariantInit(&parts.value);
        if (FAILED(parts.pQuery->GetMetadataByName(pszName, &parts.value)))
            continue;
        const int nOrientation = parts.value.vt == VT_UI2 ? parts.value.uiVal : -1;
        ::PropVariantClear(&parts.value);
        if (nOrientation >= 0)
            return nOrientation;
    }
    return -1;
}

int Orientation(DecodeParts& parts, const WicRequest& request, const GUID& container)
{
    const int nOrientation = MetadataOrientation(parts, KindOf(container), container);
    if (nOrientation >= 0)
        return nOrientation;
    if (container != GUID_ContainerFormatJpeg || !request.pFile)
        return 0;
    return ReadJpegExifOrientation(request.pFile, std::min(request.nFileSize, kExifReadLimit));
}

// An embedded profile converts the frame to sRGB; the frame as it is where there is none, it
// is sRGB already, or the transform can't be made for the format.
IWICBitmapSource* ColourManaged(DecodeParts& parts, const WICPixelFormatGUID& target)
{
    UINT nContexts = 0;
    if (FAILED(parts.pFrame->GetColorContexts(0, nullptr, &nContexts)) || nContexts == 0)
        return parts.pFrame;
    if (FAILED(parts.pFactory->CreateColorContext(&parts.pSourceContext)) ||
        FAILED(parts.pFrame->GetColorContexts(1, &parts.pSourceContext, &nContexts)) || nContexts == 0)
        return parts.pFrame;
    WICColorContextType type = WICColorContextUninitialized;
    UINT nSpace = 0;
    if (FAILED(parts.pSourceContext->GetType(&type)) || type == WICColorContextUninitialized ||
        (type == WICColorContextExifColorSpace && SUCCEEDED(parts.pSourceContext->GetExifColorSpace(&nSpace)) &&
         nSpace == 1))
        return parts.pFrame;
    if (FAILED(parts.pFactory->CreateColorContext(&parts.pTargetContext)) ||
        FAILED(parts.pTargetContext->InitializeFromExifColorSpace(1)) ||
        FAILED(parts.pFactory->CreateColorTransformer(&parts.pTransform)) ||
        FAILED(parts.pTransform->Initialize(parts.pFrame, parts.pSourceContext, parts.pTargetContext, target)))
        return parts.pFrame;
    return parts.pTransform;
}

}  // namespace

std::optional<DecodeStatus> DecodeWithWic(DecodeParts& parts, const WicRequest& request)
{
    // Memory that runs out is worth another try; any other refusal passes the file to GDI+.
    auto refused = [](HRESULT hr) -> std::optional<DecodeStatus> {
        if (StatusOfFailure(hr) == DecodeStatus::NoMemory)
            return DecodeStatus::NoMemory;
        return std::nullopt;
    };
    HRESULT hr = MakeFactory(parts);
    if (FAILED(hr))
        return refused(hr);
    hr = parts.pFactory->CreateDecoderFromStream(request.pStream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                 &parts.pDecoder);
    if (FAILED(hr))
        return refused(hr);
    CountModuleAsImagingCode(VtableMethod(parts.pDecoder, kDecoderGetFrame));
    GUID container{};
    UINT nFrames = 0;
    if (FAILED(hr = parts.pDecoder->GetContainerFormat(&container)) ||
        FAILED(hr = parts.pDecoder->GetFrameCount(&nFrames)))
        return refused(hr);
    if (nFrames == 0 || ChooseDecoder(KindOf(container), nFrames) == DecoderChoice::Gdiplus)
        return std::nullopt;
    if (FAILED(hr = parts.pDecoder->GetFrame(0, &parts.pFrame)))
        return refused(hr);
    CountModuleAsImagingCode(VtableMethod(parts.pFrame, kFrameCopyPixels));

    UINT cx = 0, cy = 0;
    WICPixelFormatGUID format{};
    if (FAILED(hr = parts.pFrame->GetSize(&cx, &cy)) || FAILED(hr = parts.pFrame->GetPixelFormat(&format)))
        return refused(hr);
    if (ChooseDecoder(KindOf(container), nFrames, IsCmyk(format)) == DecoderChoice::Gdiplus)
        return std::nullopt;
    if (IsIndexed(format) && !ReadPalette(parts))
        ReleaseCom(parts.pPalette);
    const KeptPixels kept = KeptPixelsFor(FramePixelsOf(format), MayBeTransparent(parts, format));
    // Too big for any bitmap is the file's own fault; over the share of the moment is not.
    if (!FitsOneBitmap(cx, cy, kept))
        return DecodeStatus::Rejected;
    if (uint64_t{cx} * cy * 4 > request.nMaxBytes)
        return DecodeStatus::NoMemory;
    if (kept == KeptPixels::Indexed8 && !parts.pPalette)
        return std::nullopt;
    const int nOrientation = request.bAutoRotate ? Orientation(parts, request, container) : 0;

    const WICPixelFormatGUID& target = WicFormatOf(kept);
    IWICBitmapSource* pSource = kept == KeptPixels::Indexed8 ? parts.pFrame : ColourManaged(parts, target);
    WICPixelFormatGUID given{};
    if (FAILED(hr = pSource->GetPixelFormat(&given)))
        return refused(hr);
    if (given != target) {
        if (FAILED(hr = parts.pFactory->CreateFormatConverter(&parts.pConverter)) ||
            FAILED(hr = parts.pConverter->Initialize(pSource, target, WICBitmapDitherTypeNone, nullptr, 0.0,
                                                     WICBitmapPaletteTypeCustom)))
            return refused(hr);
        pSource = parts.pConverter;
    }

    parts.pPicture = NewGdiplusObject<Gdiplus::Bitmap>(static_cast<INT>(cx), static_cast<INT>(cy), GdiplusFormatOf(kept));
    if (!parts.pPicture)
        return DecodeStatus::NoMemory;
    Gdiplus::Status status = parts.pPicture->GetLastStatus();
    if (status == Gdiplus::Ok && kept == KeptPixels::Indexed8)
        status = MakeColors(parts) ? parts.pPicture->SetPalette(parts.pColors) : Gdiplus::OutOfMemory;
    if (status != Gdiplus::Ok)
        return status == Gdiplus::OutOfMemory ? DecodeStatus::NoMemory : DecodeStatus::Rejected;
    hr = request.pfnCheck ? request.pfnCheck(request.pszPath) : S_OK;
    // Locked in its own format, the Bitmap hands out its own pixels: the frame's are written there.
    const Gdiplus::Rect rect(0, 0, static_cast<INT>(cx), static_cast<INT>(cy));
    Gdiplus::BitmapData data{};
    if (SUCCEEDED(hr)) {
        status = parts.pPicture->LockBits(&rect, Gdiplus::ImageLockModeWrite, GdiplusFormatOf(kept), &data);
        if (status != Gdiplus::Ok)
            return status == Gdiplus::OutOfMemory ? DecodeStatus::NoMemory : DecodeStatus::Rejected;
        // Its pages are faulted in first, on two threads: the copy then runs at memory speed.
        if (data.Stride > 0)
            TouchPages(static_cast<uint8_t*>(data.Scan0), static_cast<size_t>(data.Stride) * cy);
        hr = data.Stride > 0 ? pSource->CopyPixels(nullptr, static_cast<UINT>(data.Stride),
                                                   static_cast<UINT>(data.Stride) * cy, static_cast<BYTE*>(data.Scan0))
                             : E_UNEXPECTED;
        parts.pPicture->UnlockBits(&data);
    }
    if (FAILED(hr)) {
        // Pixels the decoder won't give are never a picture; GDI+ may yet read them.
        Gdiplus::Bitmap* pDone = parts.pPicture;
        parts.pPicture = nullptr;
        delete pDone;
        return refused(hr);
    }
    double xDpi = 0, yDpi = 0;
    if (SUCCEEDED(parts.pFrame->GetResolution(&xDpi, &yDpi)) && xDpi > 0 && yDpi > 0)
        parts.pPicture->SetResolution(static_cast<Gdiplus::REAL>(xDpi), static_cast<Gdiplus::REAL>(yDpi));
    // The decoder goes before the turn, which makes one more picture's worth of pixels.
    ReleaseDecoders(parts);
    TurnUpright(*parts.pPicture, nOrientation);
    return DecodeStatus::Decoded;
}

// The factory is made at once, so the imaging DLLs are loaded before the thread's first file.
void KeepThreadDecoders()
{
    t_bKeep = true;
    DecodeParts parts;
    auto make = [&] {
        if (SUCCEEDED(MakeFactory(parts)))
            ReleaseCom(parts.pFactory);
    };
    if (!CallGuarded(make))
        t_pFactory = nullptr;  // whatever faulted is let go unreleased
}

void DropThreadFactory()
{
    IWICImagingFactory* pFactory = t_pFactory;
    t_pFactory = nullptr;
    if (pFactory)
        pFactory->Release();
}

void ReleaseThreadDecoders()
{
    t_bKeep = false;
    DropThreadFactory();
}

void ReleaseDecoders(DecodeParts& parts)
{
    ::PropVariantClear(&parts.value);
    ReleaseCom(parts.pQuery);
    ReleaseCom(parts.pConverter);
    ReleaseCom(parts.pTransform);
    ReleaseCom(parts.pTargetContext);
    ReleaseCom(parts.pSourceContext);
    ReleaseCom(parts.pPalette);
    ReleaseCom(parts.pFormatInfo2);
    ReleaseCom(parts.pFormatInfo);
    ReleaseCom(parts.pFrame);
    ReleaseCom(parts.pDecoder);
    ReleaseCom(parts.pFactory);
    Gdiplus::Graphics* pGraphics = parts.pGraphics;
    parts.pGraphics = nullptr;
    delete pGraphics;
    Gdiplus::Metafile* pMetafile = parts.pMetafile;
    parts.pMetafile = nullptr;
    delete pMetafile;
    Gdiplus::Bitmap* pDecoded = parts.pDecoded;
    parts.pDecoded = nullptr;
    delete pDecoded;
    std::free(parts.pColors);
    parts.pColors = nullptr;
    std::free(parts.pProperty);
    parts.pProperty = nullptr;
}

void ReleaseParts(DecodeParts& parts)
{
    ReleaseDecoders(parts);
    Gdiplus::Bitmap* pPicture = parts.pPicture;
    parts.pPicture = nullptr;
    delete pPicture;
}
