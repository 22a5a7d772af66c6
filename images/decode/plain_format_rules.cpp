#include "images/decode/plain_format_rules.h"

#include <cstdint>
#include <limits>

namespace {

constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000EU);  // E_OUTOFMEMORY

}  // namespace

KeptPixels KeptPixelsFor(FramePixels frame, bool bMayBeTransparent)
{
    switch (frame) {
    case FramePixels::Indexed8:
        return KeptPixels::Indexed8;
    case FramePixels::Bgr24:
        return KeptPixels::Rgb24;
    case FramePixels::Bgr32:
        return KeptPixels::Rgb32;
    case FramePixels::Bgra32:
        return KeptPixels::Argb32;
    case FramePixels::Pbgra32:
        return KeptPixels::Pargb32;
    case FramePixels::Other:
        break;
    }
    return bMayBeTransparent ? KeptPixels::Argb32 : KeptPixels::Rgb24;
}

unsigned BitsPerPixel(KeptPixels kept)
{
    switch (kept) {
    case KeptPixels::Indexed8:
        return 8;
    case KeptPixels::Rgb24:
        return 24;
    case KeptPixels::Rgb32:
    case KeptPixels::Argb32:
    case KeptPixels::Pargb32:
        break;
    }
    return 32;
}

uint64_t KeptStride(uint32_t cx, KeptPixels kept)
{
    return (uint64_t{cx} * BitsPerPixel(kept) + 31) / 32 * 4;
}

bool FitsOneBitmap(uint32_t cx, uint32_t cy, KeptPixels kept)
{
    constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    return cx > 0 && cy > 0 && cx <= kMax && cy <= kMax && KeptStride(cx, kept) * cy <= kMax;
}

DecoderChoice ChooseDecoder(ContainerKind container, uint32_t nFrames, bool bCmyk)
{
    if (bCmyk || container == ContainerKind::Icon || (container == ContainerKind::Gif && nFrames > 1))
        return DecoderChoice::Gdiplus;
    return DecoderChoice::Wic;
}

DecodeStatus StatusOfFailure(int32_t hr)
{
    return hr == kOutOfMemory ? DecodeStatus::NoMemory : DecodeStatus::Rejected;
}
