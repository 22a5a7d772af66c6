// The Exif orientation reader over JPEG byte strings built here, and the turn for each orientation.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "images/decode/exif_orientation.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A TIFF block whose IFD0 holds a Make entry, then the orientation entry as given. A SHORT
// sits in the first half of its value field; the padding after it must not be taken for it.
Bytes Tiff(bool bBig, uint32_t value, uint16_t type = 3, uint32_t count = 1, uint32_t nIfd = 8, uint16_t nEntries = 2)
{
    Bytes b(2, bBig ? 'M' : 'I');
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(uint8_t(v >> 8 * (bBig ? n - 1 - i : i)));
    };
    put(42, 2), put(nIfd, 4), put(nEntries, 2);
    put(0x010F, 2), put(2, 2), put(4, 4), put(0x41424300, 4);
    put(0x0112, 2), put(type, 2), put(count, 4);
    if (type == 3 && count <= 2)
        put(value, 2), put(0x7777, 2);
    else
        put(value, 4);
    put(0, 4);  // no next IFD
    return b;
}

// An APP1 segment: Exif unless told otherwise.
Bytes App1(const Bytes& body, const std::string& header = std::string("Exif\0\0", 6))
{
    const size_t n = 2 + header.size() + body.size();
    Bytes b = {0xFF, 0xE1, uint8_t(n >> 8), uint8_t(n)};
    for (const char c : header)
        b.push_back(uint8_t(c));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// SOI, the segments, then a scan with a little entropy-coded data and EOI.
Bytes Jpeg(std::initializer_list<Bytes> segments)
{
    Bytes b = {0xFF, 0xD8};
    for (const Bytes& s : segments)
        b.insert(b.end(), s.begin(), s.end());
    b.insert(b.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 0x3F, 0, 0x12, 0x34, 0xFF, 0xD9});
    return b;
}

// The answer for the first n bytes, copied to a block of exactly that size for the sanitizers.
int Read(const Bytes& b, size_t n = SIZE_MAX)
{
    const Bytes prefix(b.begin(), b.begin() + std::ptrdiff_t(n < b.size() ? n : b.size()));
    return ReadJpegExifOrientation(prefix.data(), prefix.size());
}

}  // namespace

TEST(ExifOrientation, FirstExifSegmentBeforeTheScanIsReadWithinItsBytes)
{
    const Bytes xmp = App1(Tiff(false, 3), std::string("http://ns.adobe.com/xap/1.0/\0", 29));
    for (const bool bBig : {false, true}) {
        SCOPED_TRACE(bBig ? "MM" : "II");
        for (const uint32_t value : {1u, 6u, 0u, 0xFFFFu})
            EXPECT_EQ(Read(Jpeg({App1(Tiff(bBig, value))})), int(value)) << value;

        // An XMP APP1 before is passed over, a second Exif APP1 never read (not even when the
        // first has no usable orientation, here one of the wrong type), and a file cut anywhere
        // gives nothing until the orientation entry is all there.
        const Bytes whole = Jpeg({xmp, App1(Tiff(bBig, 7)), App1(Tiff(bBig, 3))});
        const size_t nEntryEnd = 2 + xmp.size() + 4 + 6 + 8 + 2 + 2 * 12;
        for (size_t n = 0; n <= whole.size(); ++n)
            ASSERT_EQ(Read(whole, n), n < nEntryEnd ? 0 : 7) << "cut at " << n;
        EXPECT_EQ(Read(Jpeg({App1(Tiff(bBig, 6, 4)), App1(Tiff(bBig, 3))})), 0);

        // IFD0 or the values past the end; entry and value counts far beyond what is there.
        auto only = [](const Bytes& tiff) { return Read(Jpeg({App1(tiff)})); };
        EXPECT_EQ(only(Tiff(bBig, 5, 3, 1, 0xFFFFFFF0)), 0);
        EXPECT_EQ(only(Tiff(bBig, 5, 3, 1, 37)), 0);
        EXPECT_EQ(only(Tiff(bBig, 5, 3, 1, 8, 0xFFFF)), 5);
        EXPECT_EQ(only(Tiff(bBig, 10, 3, 3)), 0x010F);  // more than the field holds: at offset 10, a tag
        EXPECT_EQ(only(Tiff(bBig, 0xFFFFFFFE, 3, 0xFFFFFFFF)), 0);
        EXPECT_EQ(only(Tiff(bBig, 6, 3, 0)), 0);
    }
    // Fill bytes and a marker without a length are stepped over; a scan before the APP1 ends the walk.
    const Bytes six = App1(Tiff(false, 6));
    EXPECT_EQ(Read(Jpeg({{0xFF, 0xFF, 0xD0}, six})), 6);
    EXPECT_EQ(Read(Jpeg({{0xFF, 0xDA, 0, 2}, six})), 0);
    // Not a JPEG: another marker where SOI belongs, or nothing at all.
    Bytes notJpeg = Jpeg({six});
    notJpeg[1] = 0xD9;
    EXPECT_EQ(Read(notJpeg), 0);
    EXPECT_EQ(ReadJpegExifOrientation(nullptr, 0), 0);
}

TEST(ExifOrientation, UprightTurnForEachOrientation)
{
    // GDI+'s RotateFlipType for orientations -1 to 9 (4 RotateNoneFlipX, 2 Rotate180FlipNone, ...);
    // -1 to show as stored.
    const int expected[] = {-1, -1, -1, 4, 2, 6, 5, 1, 7, 3, -1};
    for (int n = -1; n <= 9; ++n)
        EXPECT_EQ(UprightRotateFlip(n), expected[n + 1]) << n;
}
