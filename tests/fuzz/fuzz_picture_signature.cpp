// The decoders' pattern matcher on arbitrary patterns and files. Input: a count of patterns
// (first byte, at most 7), then each pattern as flags (bit 0: counted from the end), position,
// length (at most 15), its bytes and its mask; the rest is the file.
// Checks: the matcher stays inside the bytes it is given (the sanitizers, exact-size copies), and
// the file's first and last bytes as far as SignatureBytesNeeded says give the answer the whole
// file gives: reading only that much of a file never changes the verdict.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "images/decode/picture_signature_rules.h"

#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t at = 0;
    auto next = [&]() -> int { return at < size ? data[at++] : -1; };
    const int nCount = next();
    if (nCount < 0)
        return 0;
    std::vector<SignaturePattern> patterns;
    for (int i = 0; i < nCount % 8; ++i) {
        const int nFlags = next(), nPosition = next(), nLength = next();
        if (nLength < 0)
            return 0;
        SignaturePattern p;
        p.bFromEnd = (nFlags & 1) != 0;
        p.nPosition = static_cast<uint64_t>(nPosition);
        for (int k = 0; k < nLength % 16; ++k)
            p.pattern.push_back(static_cast<uint8_t>(next()));
        for (int k = 0; k < nLength % 16; ++k)
            p.mask.push_back(static_cast<uint8_t>(next()));
        patterns.push_back(std::move(p));
    }
    const std::vector<uint8_t> file(data + (at < size ? at : size), data + size);
    const bool bWhole = MatchesAnySignature(patterns, file.size(), file.data(), file.size(), file.data(), file.size());
    const SignatureSpan span = SignatureBytesNeeded(patterns);
    const size_t nHead = span.nHead < file.size() ? span.nHead : file.size();
    const size_t nTail = span.nTail < file.size() ? span.nTail : file.size();
    const std::vector<uint8_t> head(file.begin(), file.begin() + std::ptrdiff_t(nHead));
    const std::vector<uint8_t> tail(file.end() - std::ptrdiff_t(nTail), file.end());
    const bool bSpan = MatchesAnySignature(patterns, file.size(), head.data(), head.size(), tail.data(), tail.size());
    FUZZ_CHECK(bSpan == bWhole);
    return 0;
}
