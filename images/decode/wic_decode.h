#pragma once
// A still picture decoded by Windows' imaging component from the file's bytes in memory,
// its first frame converted into the format the program keeps (colour-managed to sRGB where
// it carries a profile) and copied straight into the locked pixels of the Bitmap that becomes
// the picture, then turned upright. Run under the guard.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "images/decode/picture_decode.h"

struct DecodeParts;
struct IStream;

struct WicRequest {
    IStream* pStream = nullptr;  // at its start
    const uint8_t* pFile = nullptr;
    size_t nFileSize = 0;
    const wchar_t* pszPath = nullptr;
    bool bAutoRotate = false;
    uint64_t nMaxBytes = 0;
    PixelCopyCheck pfnCheck = nullptr;
};

// Decoded with the picture in parts.pPicture, or why not; nullopt where the file is GDI+'s:
// the imaging component refused it or its pixels, or it is an animation or an icon. Every
// object made is left in parts.
std::optional<DecodeStatus> DecodeWithWic(DecodeParts& parts, const WicRequest& request);

// Lets go of the thread's kept imaging factory, if any (after a fault); the next decode makes
// one anew.
void DropThreadFactory();
