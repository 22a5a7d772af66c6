#include <gtest/gtest.h>

#include <cstdint>
#include <string>
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

// JPEG's two bytes, a TGA-like header whose mask frees byte 0 and bit 3 of byte 2, an
// 18-byte footer counted back from the end, and a pattern six bytes in.
const std::vector<SignaturePattern> kDecoders{At(0, {0xFF, 0xD8}), At(0, {0x00, 0x00, 0x02}, {0x00, 0xFF, 0xF7}),
                                              At(18, Bytes(18, 'T'), {}, true), At(6, {'x', 'y'})};

// A file given whole as its own head and tail.
bool Claims(const std::vector<SignaturePattern>& patterns, const Bytes& file)
{
    return MatchesAnySignature(patterns, file.size(), file.data(), file.size(), file.data(), file.size());
}

}  // namespace

TEST(PictureSignature, MasksShortFilesAndPatternsFromTheEnd)
{
    EXPECT_TRUE(Claims(kDecoders, {0xFF, 0xD8}));
    EXPECT_FALSE(Claims(kDecoders, {0xFF}));
    EXPECT_FALSE(Claims(kDecoders, {}));
    EXPECT_TRUE(Claims(kDecoders, {0x7F, 0x00, 0x0A}));
    EXPECT_FALSE(Claims(kDecoders, {0x00, 0x01, 0x02}));
    EXPECT_FALSE(Claims(kDecoders, {0x00, 0x00, 0x03}));
    EXPECT_FALSE(Claims({At(0, {0x0F}, {0xF0})}, {0x0F}));  // a pattern bit outside its mask
    EXPECT_FALSE(Claims(kDecoders, {0, 0, 0, 0x14, 'f', 't', 'y', 'p', 'q', 't', ' ', ' '}));  // QuickTime
    const Bytes far{1, 2, 3, 4, 5, 6, 'x', 'y'};
    EXPECT_TRUE(Claims(kDecoders, far));
    EXPECT_FALSE(MatchesAnySignature(kDecoders, far.size(), far.data(), 7, nullptr, 0));
    EXPECT_FALSE(MatchesAnySignature({At(1, {0})}, 1, far.data(), far.size(), nullptr, 0));  // head past the file

    // The last 18 bytes of a 3 GiB file, given alone.
    const Bytes tail(18, 'T');
    EXPECT_TRUE(MatchesAnySignature(kDecoders, 3ull << 30, nullptr, 0, tail.data(), tail.size()));
    EXPECT_FALSE(MatchesAnySignature(kDecoders, 3ull << 30, nullptr, 0, tail.data(), 17));
    EXPECT_FALSE(Claims(kDecoders, Bytes(17, 'T')));  // it would start before the file
    EXPECT_TRUE(Claims(kDecoders, Bytes(18, 'T')));
    EXPECT_FALSE(Claims({At(2, {'a', 'b', 'c'}, {}, true)}, {'a', 'b', 'c'}));  // past the end
    EXPECT_TRUE(Claims({At(3, {'a', 'b'}, {}, true)}, {'x', 'a', 'b', 'c'}));
}

TEST(PictureSignature, BrokenPatternsClaimNothingAndTheSpanStaysWithinItsLimit)
{
    EXPECT_FALSE(Claims({At(0, {})}, {1, 2, 3}));
    EXPECT_FALSE(Claims({SignaturePattern{0, false, {1}, {}}}, {1}));
    EXPECT_FALSE(Claims({At(~0ull, {1})}, {1}));
    EXPECT_FALSE(Claims({At(~0ull, {1}, {}, true)}, {1}));
    EXPECT_EQ(SignatureBytesNeeded(kDecoders).nHead, 8u);
    EXPECT_EQ(SignatureBytesNeeded(kDecoders).nTail, 18u);
    const SignatureSpan capped = SignatureBytesNeeded({At(4090, Bytes(10, 1)), At(5000, {1}, {}, true)}, 4096);
    EXPECT_EQ(capped.nHead + capped.nTail, 0u);
    EXPECT_EQ(SignatureBytesNeeded({At(~0ull, {1, 2})}).nHead, 0u);
}

// The marks that claim a file before the decoders' lists are read: whole marks only.
TEST(PictureSignature, BuiltInMarksClaimOnlyWholeMarks)
{
    using std::string;
    for (const string& mark : {string("\xFF\xD8\xFF"), string("\x89PNG\r\n\x1A\n"), string("GIF87a"), string("GIF89a"),
                               string("II*\0", 4), string("MM\0*", 4), string("BM")}) {
        const Bytes head(mark.begin(), mark.end());
        EXPECT_TRUE(HasBuiltInSignature(head.data(), head.size())) << mark;
        EXPECT_FALSE(HasBuiltInSignature(head.data(), head.size() - 1)) << mark;
    }
    const Bytes near{'G', 'I', 'F', '8', '8', 'a', 0, 0};
    EXPECT_FALSE(HasBuiltInSignature(near.data(), near.size()));
    EXPECT_FALSE(HasBuiltInSignature(nullptr, 8));
}
