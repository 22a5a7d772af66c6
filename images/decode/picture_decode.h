#pragma once
// Making a picture file into a Bitmap ready to be shown: the one GDI+ decode, the guard
// against faults inside the decoder, and the turn upright. The user-interface thread and
// the read-ahead worker both decode through here, so their results are the same.
#include <string>

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

// The decoded picture, upright when bAutoRotate is set and it is a still picture; null when
// the file can't be decoded, the decoder faulted on it, or memory ran out.
Gdiplus::Bitmap* DecodePictureFile(const std::wstring& strPath, bool bAutoRotate);

// The call that makes the Bitmap from a file (GdipCreateBitmapFromFileICM); null for a file
// GDI+ refuses. Tests put in one that faults on purpose; the previous one is returned.
using BitmapOpener = Gdiplus::Bitmap* (*)(const wchar_t* pszPath);
Gdiplus::Bitmap* OpenBitmapFile(const wchar_t* pszPath);
BitmapOpener SetBitmapOpenerForTesting(BitmapOpener pfnOpener);
