#include "images/decode/picture_signature_rules.h"

#include <algorithm>

namespace {

bool MatchesAt(const SignaturePattern& p, const uint8_t* pBytes)
{
    for (size_t i = 0; i < p.pattern.size(); ++i) {
        if ((pBytes[i] & p.mask[i]) != p.pattern[i])
            return false;
    }
    return true;
}

// Where the pattern starts within the bytes given, or false when they don't hold all of it.
bool Locate(const SignaturePattern& p, uint64_t nFileSize, size_t nHead, size_t nTail, bool& bInTail, size_t& nAt)
{
    const uint64_t nLength = p.pattern.size();
    if (p.bFromEnd) {
        // Counted back from the end: it must start inside the file and end by its end.
        if (p.nPosition < nLength || p.nPosition > nFileSize || p.nPosition > nTail)
            return false;
        bInTail = true;
        nAt = nTail - static_cast<size_t>(p.nPosition);
        return true;
    }
    if (p.nPosition > nFileSize || nLength > nFileSize - p.nPosition || p.nPosition > nHead ||
        nLength > nHead - p.nPosition)
        return false;
    bInTail = false;
    nAt = static_cast<size_t>(p.nPosition);
    return true;
}

}  // namespace

SignatureSpan SignatureBytesNeeded(const std::vector<SignaturePattern>& patterns, size_t nLimit)
{
    SignatureSpan span;
    for (const SignaturePattern& p : patterns) {
        const uint64_t nLength = p.pattern.size();
        if (p.bFromEnd) {
            if (p.nPosition <= nLimit)
                span.nTail = std::max(span.nTail, static_cast<size_t>(p.nPosition));
        } else if (p.nPosition <= nLimit && nLength <= nLimit - p.nPosition) {
            span.nHead = std::max(span.nHead, static_cast<size_t>(p.nPosition + nLength));
        }
    }
    return span;
}

bool MatchesAnySignature(const std::vector<SignaturePattern>& patterns, uint64_t nFileSize, const uint8_t* pHead,
                         size_t nHead, const uint8_t* pTail, size_t nTail)
{
    // Bytes beyond the file's size can't be the file's.
    nHead = pHead ? static_cast<size_t>(std::min<uint64_t>(nHead, nFileSize)) : 0;
    nTail = pTail ? static_cast<size_t>(std::min<uint64_t>(nTail, nFileSize)) : 0;
    for (const SignaturePattern& p : patterns) {
        if (p.pattern.empty() || p.mask.size() != p.pattern.size())
            continue;
        bool bInTail = false;
        size_t nAt = 0;
        if (Locate(p, nFileSize, nHead, nTail, bInTail, nAt) && MatchesAt(p, (bInTail ? pTail : pHead) + nAt))
            return true;
    }
    return false;
}

bool HasBuiltInSignature(const uint8_t* pHead, size_t nHead)
{
    struct Mark {
        const char* pBytes;
        size_t nLength;
    };
    static constexpr Mark kMarks[] = {
        {"\xFF\xD8\xFF", 3}, {"\x89PNG\r\n\x1A\n", 8}, {"GIF87a", 6}, {"GIF89a", 6},
        {"II*\0", 4},          {"MM\0*", 4},                 {"BM", 2},
    };
    if (!pHead)
        return false;
    for (const Mark& mark : kMarks) {
        if (nHead >= mark.nLength && std::equal(pHead, pHead + mark.nLength, mark.pBytes,
                                                [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); }))
            return true;
    }
    return false;
}
