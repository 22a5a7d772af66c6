#pragma once
// Making a picture file into a Bitmap ready to be shown: the file read whole into memory,
// the one GDI+ decode from there, the guard against faults inside the decoder, and the turn
// upright. The user-interface thread and the read-ahead worker both decode through here,
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

// The decoded picture, upright when bAutoRotate is set and it is a still picture; null when
// the file can't be decoded, the decoder faulted on it, or memory ran out.
Gdiplus::Bitmap* DecodePictureFile(const std::wstring& strPath, bool bAutoRotate);

// The call that makes the decoder's Bitmap from the file's bytes in memory
// (GdipCreateBitmapFromStreamICM); null for data GDI+ refuses. The Bitmap keeps a reference
// to the stream for its whole life. pszPath names the file the bytes came from. Tests put
// in one that faults on purpose; the previous one is returned.
using BitmapOpener = Gdiplus::Bitmap* (*)(IStream* pStream, const wchar_t* pszPath);
Gdiplus::Bitmap* OpenBitmapStream(IStream* pStream, const wchar_t* pszPath);
BitmapOpener SetBitmapOpenerForTesting(BitmapOpener pfnOpener);
