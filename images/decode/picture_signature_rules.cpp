#include "images/decode/picture_signature_rules.h"

#include <algorithm>
#include <cstring>
#include <string_view>

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
    using namespace std::string_view_literals;
    static constexpr std::string_view kMarks[] = {"\xFF\xD8\xFF"sv, "\x89PNG\r\n\x1A\n"sv, "GIF87a"sv, "GIF89a"sv,
                                                  "II*\0"sv, "MM\0*"sv, "BM"sv};
    if (!pHead)
        return false;
    for (const std::string_view mark : kMarks) {
        if (nHead >= mark.size() && std::memcmp(pHead, mark.data(), mark.size()) == 0)
            return true;
    }
    return false;
}
