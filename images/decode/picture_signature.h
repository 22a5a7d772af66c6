#pragma once
// The patterns by which the decoders of GDI+ and of Windows' imaging component (WIC) know
// the formats they read, so that a file none of them claims is never read whole.
#include <cstdint>
#include <memory>
#include <vector>

#include "images/decode/picture_signature_rules.h"

struct DecoderSignatures {
    std::vector<SignaturePattern> patterns;
    SignatureSpan span;          // how much of each end of a file the patterns look at
    bool bGdiplus = false;       // GDI+'s decoders were listed
    bool bWic = false;           // WIC's decoders were listed
};

// Every pattern of every decoder GDI+ and WIC offer. Gathered by the first call of the
// process, with COM initialised on its thread for the while, and kept from then on; while
// either list can't be read (GDI+ not started, memory short) each call gathers again. Null
// when memory ran out.
std::shared_ptr<const DecoderSignatures> KnownDecoderSignatures();

// Whether the file whose first and last bytes these are may be a picture: some decoder
// claims them, or no decoder's list could be read at all and the decoders must decide.
bool SomeDecoderClaims(const DecoderSignatures& signatures, uint64_t nFileSize, const uint8_t* pHead, size_t nHead,
                       const uint8_t* pTail, size_t nTail);
