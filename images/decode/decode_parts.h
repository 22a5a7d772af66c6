#pragma once
// Everything a decode makes on its way to a picture, held by the caller outside the guarded
// call: a fault unwinds the decoder's frames and the program's without running a destructor
// (GCC's frames run none on that way back), so what a guarded call makes is never held in a
// local of its own; the release after a fault finds it all here.
#include <windows.h>

#include <wincodec.h>

#include "framework/gdiplus_sdk.h"

struct DecodeParts {
    // The imaging component's decode
    IWICImagingFactory* pFactory = nullptr;
    IWICBitmapDecoder* pDecoder = nullptr;
    IWICBitmapFrameDecode* pFrame = nullptr;
    IWICComponentInfo* pFormatInfo = nullptr;
    IWICPixelFormatInfo2* pFormatInfo2 = nullptr;
    IWICPalette* pPalette = nullptr;
    IWICColorContext* pSourceContext = nullptr;
    IWICColorContext* pTargetContext = nullptr;
    IWICColorTransform* pTransform = nullptr;
    IWICFormatConverter* pConverter = nullptr;
    IWICMetadataQueryReader* pQuery = nullptr;
    PROPVARIANT value{};
    // GDI+'s
    Gdiplus::Bitmap* pDecoded = nullptr;       // GDI+'s decoder of the file
    Gdiplus::Metafile* pMetafile = nullptr;    // GDI+'s player of a metafile
    Gdiplus::Graphics* pGraphics = nullptr;    // a drawing into the picture
    Gdiplus::ColorPalette* pColors = nullptr;  // from malloc
    void* pProperty = nullptr;                 // from malloc
    // What becomes the picture; the caller takes it by setting this to null.
    Gdiplus::Bitmap* pPicture = nullptr;
};

// Lets the decoders and their objects go (everything but the picture). Callable at any point,
// twice included; call it under the guard, as any of them may fault on the way out.
void ReleaseDecoders(DecodeParts& parts);

// ReleaseDecoders, then the picture if it is still here.
void ReleaseParts(DecodeParts& parts);

// A new GDI+ object in a block of GdipAlloc's, checked first: GDI+'s operator new hands back
// GdipAlloc's null without throwing. Null when the block can't be had.
template <class T, class... Args>
T* NewGdiplusObject(Args&&... args)
{
    void* pBlock = Gdiplus::DllExports::GdipAlloc(sizeof(T));
    return pBlock ? ::new (pBlock) T(static_cast<Args&&>(args)...) : nullptr;
}
