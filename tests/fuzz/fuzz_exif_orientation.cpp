// The Exif orientation reader on arbitrary bytes. Input: the first byte picks the form
// (even: the rest is the file as it stands; odd: the rest is a TIFF block, put into an Exif
// APP1 segment of a JPEG so that the IFD walk is reached at once, bit 1 adding an XMP APP1
// before it and bit 2 a second Exif segment of orientation 3 after it).
// Checks: the reader stays inside the bytes (the sanitizers), answers a 16-bit value, gives
// the same answer on any longer file once it found one, agrees with a plain reference walk of
// the TIFF block, and the turn it leads to is one of GDI+'s seven or none.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "images/exif_orientation.h"

#include "tests/fuzz/fuzz_check.h"

namespace {

using Bytes = std::vector<uint8_t>;

int Read(const Bytes& b, size_t n)
{
    // An exact-size copy, so that a read past n is a read past the block.
    const Bytes prefix(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    return ReadJpegExifOrientation(prefix.data(), prefix.size());
}

void AppendSegment(Bytes& out, uint8_t marker, const uint8_t* header, size_t nHeader, const uint8_t* data, size_t size)
{
    const size_t n = 2 + nHeader + size;
    out.insert(out.end(), {0xFF, marker, uint8_t(n >> 8), uint8_t(n)});
    out.insert(out.end(), header, header + nHeader);
    out.insert(out.end(), data, data + size);
}

// The orientation of IFD0, as a TIFF reader written for clarity over speed sees it: 64-bit
// arithmetic throughout, so nothing can wrap.
int ReferenceTiffOrientation(const uint8_t* t, uint64_t n)
{
    if (n < 8 || !((t[0] == 'I' && t[1] == 'I') || (t[0] == 'M' && t[1] == 'M')))
        return 0;
    const bool be = t[0] == 'M';
    auto u16 = [&](uint64_t o) -> uint64_t { return be ? (t[o] << 8) | t[o + 1] : (t[o + 1] << 8) | t[o]; };
    auto u32 = [&](uint64_t o) -> uint64_t { return be ? (u16(o) << 16) | u16(o + 2) : (u16(o + 2) << 16) | u16(o); };
    if (u16(2) != 42)
        return 0;
    const uint64_t ifd = u32(4);
    if (ifd + 2 > n)
        return 0;
    for (uint64_t i = 0; i < u16(ifd); ++i) {
        const uint64_t e = ifd + 2 + 12 * i;
        if (e + 12 > n)
            return 0;
        if (u16(e) != 0x0112)
            continue;
        const uint64_t count = u32(e + 4);
        if (u16(e + 2) != 3 || count == 0)
            return 0;
        const uint64_t at = count <= 2 ? e + 8 : u32(e + 8);
        return at + 2 <= n ? static_cast<int>(u16(at)) : 0;
    }
    return 0;
}

void CheckAnswer(int nOrientation)
{
    FUZZ_CHECK(nOrientation >= 0 && nOrientation <= 0xFFFF);
    const int nTurn = UprightRotateFlip(nOrientation);
    FUZZ_CHECK((nTurn == -1) == (nOrientation < 2 || nOrientation > 8));
    FUZZ_CHECK(nTurn >= -1 && nTurn <= 7 && nTurn != 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t form = data[0];
    const uint8_t* rest = data + 1;
    const size_t nRest = size - 1;

    Bytes file{0xFF, 0xD8};
    int nReference = -1;
    if (form % 2 == 0) {
        file.assign(rest, rest + nRest);
    } else {
        static constexpr uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
        static constexpr uint8_t kXmp[] = "http://ns.adobe.com/xap/1.0/";
        static constexpr uint8_t kThree[] = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 3, 0, 0};
        const size_t nTiff = nRest < 0xFFF0 ? nRest : 0xFFF0;
        if (form & 2)
            AppendSegment(file, 0xE1, kXmp, sizeof(kXmp), kThree, sizeof(kThree));
        AppendSegment(file, 0xE1, kExif, sizeof(kExif), rest, nTiff);
        if (form & 4)
            AppendSegment(file, 0xE1, kExif, sizeof(kExif), kThree, sizeof(kThree));
        file.insert(file.end(), {0xFF, 0xDA, 0, 2, 0xFF, 0xD9});
        nReference = ReferenceTiffOrientation(rest, nTiff);
    }

    const int nWhole = Read(file, file.size());
    CheckAnswer(nWhole);
    if (nReference >= 0)
        FUZZ_CHECK(nWhole == nReference);
    // Fewer bytes never give a different answer, only none.
    for (const size_t n : {file.size() / 2, file.size() - (file.empty() ? 0 : 1)}) {
        const int nPrefix = Read(file, n);
        CheckAnswer(nPrefix);
        FUZZ_CHECK(nPrefix == 0 || nPrefix == nWhole);
    }
    return 0;
}
