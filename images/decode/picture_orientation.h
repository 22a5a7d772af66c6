#pragma once
// Standing a decoded picture upright by its Exif orientation.
#include <string>

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

// The orientation the picture carries: GDI+'s property item 0x0112 where it has one,
// otherwise, for a JPEG, the file's own Exif segment; 0 when there is none.
int PictureOrientation(Gdiplus::Bitmap& image, const std::wstring& strPath);

// Turns the picture upright for its orientation; true when it was turned.
bool TurnUpright(Gdiplus::Bitmap& image, int nOrientation);
