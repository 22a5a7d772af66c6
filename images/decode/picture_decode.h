#pragma once
// Making a picture file into a Bitmap ready to be shown: the file read whole into memory,
// decoded from there by Windows' imaging component (a still picture) or GDI+ (an animation, a
// metafile, an icon, whatever the first refuses), the guard against faults inside the
// decoders, and the turn upright. The user-interface thread and the read-ahead worker both decode through here,
// so their results are the same. No file stays open once a decode returns.
#include <cstdint>
#include <limits>
#include <string>

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus
struct IStream;

// Why a decode gave no picture. Only Rejected and Faulted are verdicts on the file's data;
// the others may pass, so nobody remembers them.
enum class DecodeStatus {
    Decoded,     // the picture is there
    Rejected,    // the decoder refused the data: not a picture, damaged, an unknown format
    Faulted,     // the decoder raised a hardware fault on it (contained)
    Unreadable,  // the file couldn't be opened or read: held by another program, denied, gone
    NoMemory,    // out of memory, or the decoded picture would exceed the caller's limit
};
// A picture too big for any bitmap (its rows would take more than 2^31 - 1 bytes in the
// format it is kept in) is Rejected; a copy into plain pixels that fails is never a picture.

struct DecodeResult {
    Gdiplus::Bitmap* pImage = nullptr;  // the caller's to delete; null unless Decoded
    DecodeStatus status = DecodeStatus::Rejected;
};

// The decoded picture, upright when bAutoRotate is set and it is a still picture. nMaxBytes
// is the memory the decode may hold: a file larger than that is not read, and a picture whose
// decoded pixels (width x height x 4) with the file's bytes exceed it is not made: NoMemory.
// A file no decoder claims by its first bytes is Rejected having cost one small read.
DecodeResult DecodePicture(const std::wstring& strPath, bool bAutoRotate,
                           uint64_t nMaxBytes = std::numeric_limits<uint64_t>::max());

// Lets the calling thread keep what every decode would make anew (its imaging factory) from
// now until ReleaseThreadDecoders, which it calls before it gives back its COM apartment.
// Threads that don't make a factory for each decode.
void KeepThreadDecoders();
void ReleaseThreadDecoders();

// The decoded picture, upright when bAutoRotate is set and it is a still picture; null when
// the file can't be decoded, the decoder faulted on it, or memory ran out.
Gdiplus::Bitmap* DecodePictureFile(const std::wstring& strPath, bool bAutoRotate);

// The call that makes GDI+'s decoder Bitmap from the file's bytes in memory
// (GdipCreateBitmapFromStreamICM); null for data GDI+ refuses, or when memory ran out. The Bitmap keeps a reference
// to the stream for its whole life. pszPath names the file the bytes came from. Tests put
// in one that faults on purpose; the previous one is returned.
using BitmapOpener = Gdiplus::Bitmap* (*)(IStream* pStream, const wchar_t* pszPath);
Gdiplus::Bitmap* OpenBitmapStream(IStream* pStream, const wchar_t* pszPath);
BitmapOpener SetBitmapOpenerForTesting(BitmapOpener pfnOpener);

// Asked inside the guard just before a still picture's pixels are copied into the bitmap that
// becomes it, by either decoder's path, with the file's path: a failure code (an HRESULT) is
// taken as the copy's own failure. Tests put in one that faults or runs out of memory on
// purpose; null takes it out. The previous one is returned.
using PixelCopyCheck = long (*)(const wchar_t* pszPath);
PixelCopyCheck SetPixelCopyCheckForTesting(PixelCopyCheck pfnCheck);
