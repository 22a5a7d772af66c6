#pragma once
// Which decoder takes a file, the pixel format a still picture is kept in, whether a bitmap of
// that format can be made at all, and what a failed step means for the file. No platform calls.
#include <cstdint>

#include "images/decode/picture_decode.h"

// The pixels a decoder's first frame gives, as far as the kept format depends on them.
enum class FramePixels {
    Indexed8,  // 8-bit indexes into a palette
    Bgr24,
    Bgr32,     // the fourth byte unused
    Bgra32,    // straight alpha
    Pbgra32,   // premultiplied alpha
    Other,     // anything else: converted
};

// The formats a still picture is kept in, as GDI+ draws them (byte order B, G, R, A).
enum class KeptPixels { Indexed8, Rgb24, Rgb32, Argb32, Pargb32 };

// Formats GDI+ draws and turns as they are stay; any other becomes 32-bit ARGB where it may be
// transparent (an indexed frame whose palette has a colour less than opaque, say) and 24-bit
// RGB where it can't.
KeptPixels KeptPixelsFor(FramePixels frame, bool bMayBeTransparent);

unsigned BitsPerPixel(KeptPixels kept);

// The bytes of one row as GDI+ lays them out (rounded up to four bytes).
uint64_t KeptStride(uint32_t cx, KeptPixels kept);

// Whether one bitmap of the format can hold the picture: no platform makes one whose rows
// take more than 2^31 - 1 bytes together.
bool FitsOneBitmap(uint32_t cx, uint32_t cy, KeptPixels kept);

// Which decoder a file goes to once the imaging component has opened it.
enum class ContainerKind { Gif, Icon, Other };
enum class DecoderChoice {
    Wic,      // a still picture: the imaging component's first frame
    Gdiplus,  // an animation (GDI+ plays it), an icon (GDI+ chooses its image as it always
              // did), or CMYK pixels (GDI+ turns them into RGB as it always did)
};
DecoderChoice ChooseDecoder(ContainerKind container, uint32_t nFrames, bool bCmyk = false);

// What a failed call of a decoder's or converter's means: memory that ran out is worth trying
// again, anything else is the decoder's word on the data.
DecodeStatus StatusOfFailure(int32_t hr);
