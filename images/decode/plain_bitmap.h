#pragma once
// A still picture copied out of GDI+'s decoder into a Bitmap of plain pixels in memory, which
// draws, turns and saves with neither the decoder, nor its stream, nor its file.
#include <cstdint>

#include "images/decode/picture_decode.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus
struct DecodeParts;

// The copy goes to parts.pPicture, of the picture's size and resolution, in the decoder's
// format where GDI+ draws and turns it as it is (24- and 32-bit RGB, 32-bit ARGB, 8-bit
// indexed), otherwise in 32-bit ARGB for a picture that may have transparency and 24-bit RGB
// for one that can't. Decoded, or why not: Rejected for a picture no bitmap of that format
// can hold and for pixels GDI+ won't give, NoMemory when the copy can't be had or its
// width x height x 4 exceeds nMaxBytes. What it makes on the way is left in parts.
DecodeStatus CopyToPlainBitmap(Gdiplus::Bitmap& source, DecodeParts& parts, uint64_t nMaxBytes,
                               PixelCopyCheck pfnCheck, const wchar_t* pszPath);
