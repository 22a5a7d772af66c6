#pragma once
// Whether any decoder claims a file, from its first and last bytes and the patterns the
// decoders name for the formats they read. Platform-free: the patterns come in as plain data.
#include <cstddef>
#include <cstdint>
#include <vector>

// One pattern of one decoder: the file's bytes at nPosition, each ANDed with its mask, equal
// the pattern. With bFromEnd, nPosition counts back from the file's end to the pattern's start.
struct SignaturePattern {
    uint64_t nPosition = 0;
    bool bFromEnd = false;
    std::vector<uint8_t> pattern;
    std::vector<uint8_t> mask;  // as long as the pattern
};

// No pattern is looked for beyond this many bytes from either end of a file.
constexpr size_t kSignatureReadLimit = 4096;

// How many of a file's first and last bytes the patterns look at, each at most nLimit.
struct SignatureSpan {
    size_t nHead = 0;
    size_t nTail = 0;
};
SignatureSpan SignatureBytesNeeded(const std::vector<SignaturePattern>& patterns,
                                   size_t nLimit = kSignatureReadLimit);

// The first nHead bytes of a file of nFileSize bytes, and its last nTail (either may be
// fewer than the span asked, for a short file): whether some pattern matches. A pattern that
// lies outside the file or outside the bytes given, or has no bytes, matches nothing.
bool MatchesAnySignature(const std::vector<SignaturePattern>& patterns, uint64_t nFileSize, const uint8_t* pHead,
                         size_t nHead, const uint8_t* pTail, size_t nTail);

// JPEG, PNG, GIF, TIFF and BMP, which GDI+ and WIC decode on every Windows: their marks claim a
// file without the decoders' lists being read, which the first picture of a start would wait for.
constexpr size_t kBuiltInSignatureBytes = 8;
bool HasBuiltInSignature(const uint8_t* pHead, size_t nHead);
