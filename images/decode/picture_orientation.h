#pragma once
// Standing a decoded picture upright by its Exif orientation.
#include <cstddef>
#include <cstdint>

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus
struct DecodeParts;

// The orientation the picture carries: GDI+'s property item 0x0112 where it has one,
// otherwise, for a JPEG, the Exif segment of the file's bytes in memory; 0 when there is none.
// The property's block is held in parts.pProperty while it is read.
int PictureOrientation(Gdiplus::Bitmap& image, const uint8_t* pFile, size_t nFileSize, DecodeParts& parts);

// Whether this GDI+ flips before it turns (see TurnUpright). Found out on the first call that
// needs it and remembered, without a lock, so a guarded decode may ask.
bool FlippedQuarterTurnsSwapped();

// Turns the picture upright for its orientation; true when it was turned.
bool TurnUpright(Gdiplus::Bitmap& image, int nOrientation);
