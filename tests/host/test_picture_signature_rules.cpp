#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "images/decode/picture_signature_rules.h"

namespace {

using Bytes = std::vector<uint8_t>;

SignaturePattern At(uint64_t nPosition, Bytes pattern, Bytes mask = {}, bool bFromEnd = false)
{
    if (mask.empty())
        mask.assign(pattern.size(), 0xFF);
    return SignaturePattern{nPosition, bFromEnd, std::move(pattern), std::move(mask)};
}

// The decoders' own patterns as one set: PNG and JPEG at the start, a TGA-like header whose
// masks leave most bits free, a footer counted back from the end, and one far in.
std::vector<SignaturePattern> Decoders()
{
    return {At(0, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), At(0, {0xFF, 0xD8}),
            At(0, {0x00, 0x00, 0x02}, {0x00, 0xFF, 0xF7}), At(18, Bytes(18, 'T'), {}, true),
            At(6, {'x', 'y'})};
}

// A whole file given as its own head and tail, as a reader that got all of it would.
bool Claims(const std::vector<SignaturePattern>& patterns, const Bytes& file)
{
    return MatchesAnySignature(patterns, file.size(), file.data(), file.size(), file.data(), file.size());
}

}  // namespace

TEST(PictureSignature, HeadPatternsWithMasksAndShortFiles)
{
    const std::vector<SignaturePattern> patterns = Decoders();
    EXPECT_TRUE(Claims(patterns, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0}));
    EXPECT_TRUE(Claims(patterns, {0xFF, 0xD8}));
    EXPECT_FALSE(Claims(patterns, {0xFF}));                               // shorter than the pattern
    EXPECT_FALSE(Claims(patterns, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}));  // one byte short
    EXPECT_FALSE(Claims(patterns, {}));
    // The mask frees the first byte and bit 3 of the third: 0x02 and 0x0A both match.
    EXPECT_TRUE(Claims(patterns, {0x7F, 0x00, 0x02}));
    EXPECT_TRUE(Claims(patterns, {0x00, 0x00, 0x0A}));
    EXPECT_FALSE(Claims(patterns, {0x00, 0x01, 0x02}));
    EXPECT_FALSE(Claims(patterns, {0x00, 0x00, 0x03}));
    // A QuickTime movie: its box size, then 'ftypqt  '.
    EXPECT_FALSE(Claims(patterns, {0, 0, 0, 0x14, 'f', 't', 'y', 'p', 'q', 't', ' ', ' '}));
    // A pattern byte outside its own mask can never match, as in the decoders' own test.
    EXPECT_FALSE(Claims({At(0, {0x0F}, {0xF0})}, {0x0F}));
    // Inside the file: position 6 needs 8 bytes, and reads only the head given.
    const Bytes far{1, 2, 3, 4, 5, 6, 'x', 'y'};
    EXPECT_TRUE(Claims(patterns, far));
    EXPECT_FALSE(MatchesAnySignature(patterns, far.size(), far.data(), 7, nullptr, 0));
    // A head said longer than the file holds no more of it.
    EXPECT_FALSE(MatchesAnySignature({At(1, {0})}, 1, far.data(), far.size(), nullptr, 0));
}

TEST(PictureSignature, PatternsCountedFromTheEnd)
{
    const std::vector<SignaturePattern> patterns = Decoders();
    Bytes file(40, 0x11);
    std::fill(file.end() - 18, file.end(), 'T');
    EXPECT_TRUE(Claims(patterns, file));
    // Only the tail is given: the file's last 18 bytes, the file itself 3 GiB.
    const Bytes tail(18, 'T');
    EXPECT_TRUE(MatchesAnySignature(patterns, 3ull << 30, nullptr, 0, tail.data(), tail.size()));
    EXPECT_FALSE(MatchesAnySignature(patterns, 3ull << 30, nullptr, 0, tail.data(), 17));
    file.back() = 'U';
    EXPECT_FALSE(Claims(patterns, file));
    // Shorter than the distance back: the pattern would start before the file.
    EXPECT_FALSE(Claims(patterns, Bytes(17, 'T')));
    EXPECT_TRUE(Claims(patterns, Bytes(18, 'T')));
    // A distance back shorter than the pattern would read past the end: never a match.
    EXPECT_FALSE(Claims({At(2, {'a', 'b', 'c'}, {}, true)}, {'a', 'b', 'c'}));
    EXPECT_TRUE(Claims({At(3, {'a', 'b'}, {}, true)}, {'x', 'a', 'b', 'c'}));
}

TEST(PictureSignature, BrokenPatternsClaimNothingAndTheSpanStaysWithinItsLimit)
{
    // No bytes, or a mask of another length: nothing to match.
    EXPECT_FALSE(Claims({At(0, {})}, {1, 2, 3}));
    EXPECT_FALSE(Claims({SignaturePattern{0, false, {1}, {}}}, {1}));
    EXPECT_FALSE(Claims({At(~0ull, {1})}, {1}));
    EXPECT_FALSE(Claims({At(~0ull, {1}, {}, true)}, {1}));

    const SignatureSpan span = SignatureBytesNeeded(Decoders());
    EXPECT_EQ(span.nHead, 8u);
    EXPECT_EQ(span.nTail, 18u);
    // A pattern past the limit is not read for: it can't claim a file.
    const SignatureSpan capped = SignatureBytesNeeded({At(4090, Bytes(10, 1)), At(5000, {1}, {}, true)}, 4096);
    EXPECT_EQ(capped.nHead, 0u);
    EXPECT_EQ(capped.nTail, 0u);
    EXPECT_EQ(SignatureBytesNeeded({At(~0ull, {1, 2})}).nHead, 0u);
}
