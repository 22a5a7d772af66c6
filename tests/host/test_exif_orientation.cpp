// The Exif orientation reader over JPEG byte strings made by a small builder, and the turn
// that stands each orientation upright.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "images/exif_orientation.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kOrientation = 0x0112;
constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;

struct Entry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t value;  // a SHORT goes into the first two bytes of the field, the rest is padding
};

// Writes integers in one byte order.
struct Writer {
    bool bBigEndian;
    Bytes bytes;

    void U16(uint32_t v)
    {
        const uint8_t hi = uint8_t(v >> 8), lo = uint8_t(v);
        bytes.insert(bytes.end(), bBigEndian ? std::initializer_list<uint8_t>{hi, lo} : std::initializer_list<uint8_t>{lo, hi});
    }
    void U32(uint32_t v)
    {
        if (bBigEndian) {
            U16(v >> 16);
            U16(v & 0xFFFF);
        } else {
            U16(v & 0xFFFF);
            U16(v >> 16);
        }
    }
};

struct TiffOptions {
    bool bBigEndian = false;
    uint32_t nIfdOffset = 8;
    int nEntryCount = -1;  // the count written, -1: the entries' own
    uint16_t nMagic = 42;
};

// "II"/"MM", 42, the IFD0 offset, then (at offset 8) the entry count and the entries.
Bytes Tiff(const std::vector<Entry>& entries, const TiffOptions& o = {})
{
    Writer w{o.bBigEndian, {}};
    w.bytes = o.bBigEndian ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
    w.U16(o.nMagic);
    w.U32(o.nIfdOffset);
    w.U16(o.nEntryCount < 0 ? uint32_t(entries.size()) : uint32_t(o.nEntryCount));
    for (const Entry& e : entries) {
        w.U16(e.tag);
        w.U16(e.type);
        w.U32(e.count);
        if (e.type == kShort && e.count <= 2) {
            w.U16(e.value);
            w.U16(0x7777);  // padding a reader must not take for the value
        } else {
            w.U32(e.value);
        }
    }
    return w.bytes;
}

Entry Orientation(uint16_t value)
{
    return {kOrientation, kShort, 1, value};
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

// A marker segment: FF, marker, big-endian length (counting itself), payload.
Bytes Segment(uint8_t marker, const Bytes& payload)
{
    const size_t n = payload.size() + 2;
    return Concat({{0xFF, marker, uint8_t(n >> 8), uint8_t(n)}, payload});
}

Bytes Exif(const Bytes& tiff)
{
    return Segment(0xE1, Concat({Text(std::string("Exif\0\0", 6)), tiff}));
}

Bytes Jfif()
{
    return Segment(0xE0, Concat({Text(std::string("JFIF\0", 5)), {1, 2, 0, 0, 1, 0, 1, 0, 0}}));
}

Bytes Xmp(uint16_t orientationLookalike)
{
    // An XMP packet that also happens to hold TIFF-like bytes: it must be passed over.
    return Segment(0xE1, Concat({Text(std::string("http://ns.adobe.com/xap/1.0/\0", 29)),
                                 Tiff({Orientation(orientationLookalike)})}));
}

// SOI, the segments, then a scan header with a little entropy-coded data and EOI.
Bytes Jpeg(std::initializer_list<Bytes> segments)
{
    return Concat({{0xFF, 0xD8}, Concat(segments), Segment(0xDA, {1, 1, 0, 0, 0x3F, 0}), {0x12, 0x34, 0xFF, 0xD9}});
}

int Read(const Bytes& b)
{
    return ReadJpegExifOrientation(b.data(), b.size());
}

int ReadPrefix(const Bytes& b, size_t n)
{
    // A copy of exactly n bytes, so that the sanitizer sees any read past them.
    const Bytes prefix(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    return ReadJpegExifOrientation(prefix.data(), prefix.size());
}

}  // namespace

TEST(ExifOrientation, BothByteOrdersAnyValueAmongOtherTags)
{
    for (const bool bBigEndian : {false, true}) {
        for (const uint16_t value : {1, 2, 3, 4, 5, 6, 7, 8, 0, 9, 0x0106, 0xFFFF}) {
            SCOPED_TRACE(testing::Message() << (bBigEndian ? "MM " : "II ") << value);
            const std::vector<Entry> entries = {{0x010F, 2, 4, 0x41424300},  // Make, in the field
                                                {0x0110, 2, 40, 0x1000},     // Model, elsewhere
                                                Orientation(value),
                                                {0x011A, 5, 1, 0x2000}};
            EXPECT_EQ(Read(Jpeg({Exif(Tiff(entries, {.bBigEndian = bBigEndian})), Jfif()})), value);
            EXPECT_EQ(Read(Jpeg({Jfif(), Exif(Tiff(entries, {.bBigEndian = bBigEndian}))})), value);
        }
    }
}

TEST(ExifOrientation, OnlyTheFirstExifSegmentCounts)
{
    const Bytes six = Exif(Tiff({Orientation(6)}));
    // XMP and other non-Exif APP1 segments are passed over; so is one whose header is not exactly "Exif\0\0".
    EXPECT_EQ(Read(Jpeg({Xmp(3), six})), 6);
    EXPECT_EQ(Read(Jpeg({Segment(0xE1, Concat({Text(std::string("Exif\0X", 6)), Tiff({Orientation(3)})})), six})), 6);
    EXPECT_EQ(Read(Jpeg({Segment(0xE1, Text("Exif")), six})), 6);
    // A second Exif segment is never read, whether the first one has the tag or not.
    EXPECT_EQ(Read(Jpeg({Exif(Tiff({Orientation(8)})), six})), 8);
    EXPECT_EQ(Read(Jpeg({Exif(Tiff({{0x010F, 2, 4, 0}})), six})), 0);
    EXPECT_EQ(Read(Jpeg({Exif(Tiff({Orientation(6)}, {.nMagic = 43})), Exif(Tiff({Orientation(3)}))})), 0);
    // Padding bytes before a marker and markers without a length are stepped over.
    EXPECT_EQ(Read(Concat({{0xFF, 0xD8, 0xFF, 0xFF, 0xFF}, Bytes(six.begin() + 1, six.end())})), 6);
    EXPECT_EQ(Read(Concat({{0xFF, 0xD8, 0xFF, 0xD0}, six})), 6);
}

TEST(ExifOrientation, TruncatedAnywhereGivesNothingUntilTheWholeEntryIsThere)
{
    for (const bool bBigEndian : {false, true}) {
        SCOPED_TRACE(bBigEndian ? "MM" : "II");
        const Bytes jfif = Jfif(), xmp = Xmp(3);
        const Bytes exif = Exif(Tiff({{0x010F, 2, 4, 0}, Orientation(7), {0x011A, 5, 1, 0}}, {.bBigEndian = bBigEndian}));
        const Bytes whole = Jpeg({jfif, xmp, exif});
        // SOI, the two segments before, the Exif marker and length, "Exif\0\0", TIFF header,
        // entry count, then the first entry and the orientation entry.
        const size_t nEntryEnd = 2 + jfif.size() + xmp.size() + 4 + 6 + 8 + 2 + 2 * 12;
        for (size_t n = 0; n <= whole.size(); ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(ReadPrefix(whole, n), n < nEntryEnd ? 0 : 7);
        }
    }
}

TEST(ExifOrientation, OffsetsAndCountsPointingAnywhere)
{
    for (const bool bBigEndian : {false, true}) {
        SCOPED_TRACE(bBigEndian ? "MM" : "II");
        auto read = [&](const std::vector<Entry>& entries, TiffOptions o) {
            o.bBigEndian = bBigEndian;
            return Read(Jpeg({Exif(Tiff(entries, o))}));
        };
        // IFD0 elsewhere in the block is fine; past its end, or with the count cut in half, is not.
        const Bytes tiff = Tiff({Orientation(5)}, {.bBigEndian = bBigEndian});
        EXPECT_EQ(read({Orientation(5)}, {}), 5);
        for (const uint32_t nIfd : {uint32_t(tiff.size()), uint32_t(tiff.size() - 1), 0xFFFFFFFEu, 0xFFFFFFFFu, 0x80000000u}) {
            SCOPED_TRACE(nIfd);
            EXPECT_EQ(read({Orientation(5)}, {.nIfdOffset = nIfd}), 0);
        }
        // IFD0 overlapping the header: whatever its bytes say, no orientation entry is there.
        EXPECT_EQ(read({Orientation(5)}, {.nIfdOffset = 4}), 0);

        // An entry count far beyond the entries present: what is there is searched, nothing past it.
        EXPECT_EQ(read({Orientation(2)}, {.nEntryCount = 0xFFFF}), 2);
        EXPECT_EQ(read({{0x010F, 2, 4, 0}}, {.nEntryCount = 0xFFFF}), 0);
        // A count that stops before the tag hides it.
        EXPECT_EQ(read({{0x010F, 2, 4, 0}, Orientation(2)}, {.nEntryCount = 1}), 0);
        EXPECT_EQ(read({Orientation(2)}, {.nEntryCount = 0}), 0);

        // Only a SHORT with at least one value counts.
        EXPECT_EQ(read({{kOrientation, kLong, 1, 6}}, {}), 0);
        EXPECT_EQ(read({{kOrientation, 1, 1, 6}}, {}), 0);
        EXPECT_EQ(read({{kOrientation, kShort, 0, 6}}, {}), 0);
        EXPECT_EQ(read({{kOrientation, kShort, 2, 6}}, {}), 6);
        // More SHORTs than the field holds live at the offset it gives, which is checked too. The
        // block is header (8), count (2) and one entry (12): offset 10 is the entry's own tag,
        // read in the block's byte order; offset 21 leaves one byte.
        EXPECT_EQ(read({{kOrientation, kShort, 3, 10}}, {}), kOrientation);
        EXPECT_EQ(read({{kOrientation, kShort, 3, 21}}, {}), 0);
        EXPECT_EQ(read({{kOrientation, kShort, 0xFFFFFFFF, 0xFFFFFFFF}}, {}), 0);
        EXPECT_EQ(read({{kOrientation, kShort, 0xFFFFFFFF, 0xFFFFFFFE}}, {}), 0);
    }
}

TEST(ExifOrientation, NotAJpegOrNoExifBeforeTheScan)
{
    const Bytes six = Exif(Tiff({Orientation(6)}));
    const Bytes jpeg = Jpeg({six});
    EXPECT_EQ(Read(jpeg), 6);

    // The Exif segment after the scan, or after the end of the image, is never reached.
    EXPECT_EQ(Read(Concat({{0xFF, 0xD8}, Segment(0xDA, {1, 1, 0, 0, 0x3F, 0}), six})), 0);
    EXPECT_EQ(Read(Concat({{0xFF, 0xD8, 0xFF, 0xD9}, six})), 0);
    EXPECT_EQ(Read(Jpeg({Jfif()})), 0);

    // Broken marker structure stops the walk.
    EXPECT_EQ(Read(Concat({{0xFF, 0xD8, 0x00}, six})), 0);
    EXPECT_EQ(Read(Concat({{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01}, six})), 0);  // a length below 2
    EXPECT_EQ(Read(Concat({{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x02, 0x00}, six})), 0);
    EXPECT_EQ(Read(Concat({{0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF}, six})), 0);  // longer than the file

    // Not a JPEG: the TIFF bytes alone, a PNG signature, an SOI cut in half, nothing.
    EXPECT_EQ(Read(Tiff({Orientation(6)})), 0);
    EXPECT_EQ(Read(Concat({{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, six})), 0);
    EXPECT_EQ(Read(Bytes(jpeg.begin() + 1, jpeg.end())), 0);
    EXPECT_EQ(Read({0xFF}), 0);
    EXPECT_EQ(ReadJpegExifOrientation(nullptr, 0), 0);
    EXPECT_EQ(Read({}), 0);
}

TEST(ExifOrientation, UprightTurnForEachOrientation)
{
    // RotateFlipType: 1 Rotate90FlipNone, 2 Rotate180FlipNone, 3 Rotate270FlipNone, 4 RotateNoneFlipX,
    // 5 Rotate90FlipX, 6 RotateNoneFlipY (Rotate180FlipX), 7 Rotate270FlipX.
    const int expected[] = {-1, -1, 4, 2, 6, 5, 1, 7, 3};
    for (int n = 0; n <= 8; ++n)
        EXPECT_EQ(UprightRotateFlip(n), expected[n]) << n;
    for (const int n : {-1, 9, 0x0106, 0xFFFF, -0x7FFFFFFF})
        EXPECT_EQ(UprightRotateFlip(n), -1) << n;
}
