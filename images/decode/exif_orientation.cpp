#include "images/decode/exif_orientation.h"

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr size_t kEntrySize = 12;

// A byte range that never reaches past its end: every read is checked against it, and
// offsets taken from the file are compared as differences, never added up first.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    size_t Size() const { return m_size; }
    bool Has(size_t offset, size_t count) const { return offset <= m_size && count <= m_size - offset; }
    uint8_t At(size_t offset) const { return m_data[offset]; }
    Bytes Sub(size_t offset, size_t count) const { return Bytes(m_data + offset, count); }

    uint16_t Read16(size_t offset, bool bBigEndian) const
    {
        const uint16_t a = m_data[offset], b = m_data[offset + 1];
        return static_cast<uint16_t>(bBigEndian ? (a << 8) | b : (b << 8) | a);
    }

    uint32_t Read32(size_t offset, bool bBigEndian) const
    {
        const uint32_t hi = Read16(offset, bBigEndian), lo = Read16(offset + 2, bBigEndian);
        return bBigEndian ? (hi << 16) | lo : (lo << 16) | hi;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
};

// The orientation entry of IFD0 in a TIFF block ("II" or "MM" byte order), or 0.
int ReadTiffOrientation(const Bytes& tiff)
{
    if (!tiff.Has(0, 8))
        return 0;
    bool bBigEndian;
    if (tiff.At(0) == 'I' && tiff.At(1) == 'I')
        bBigEndian = false;
    else if (tiff.At(0) == 'M' && tiff.At(1) == 'M')
        bBigEndian = true;
    else
        return 0;
    if (tiff.Read16(2, bBigEndian) != 42)
        return 0;

    const size_t nIfd = tiff.Read32(4, bBigEndian);
    if (!tiff.Has(nIfd, 2))
        return 0;
    const size_t nEntries = tiff.Read16(nIfd, bBigEndian);
    const size_t nRoom = tiff.Size() - nIfd - 2;  // bytes after the entry count
    for (size_t i = 0; i < nEntries; ++i) {
        if ((i + 1) * kEntrySize > nRoom)
            return 0;
        const size_t nEntry = nIfd + 2 + i * kEntrySize;
        if (tiff.Read16(nEntry, bBigEndian) != kOrientationTag)
            continue;
        if (tiff.Read16(nEntry + 2, bBigEndian) != kTypeShort)
            return 0;
        const uint32_t nCount = tiff.Read32(nEntry + 4, bBigEndian);
        if (nCount == 0)
            return 0;
        // Up to two SHORTs sit in the value field itself; more are somewhere else, at the
        // offset the field holds.
        size_t nValue = nEntry + 8;
        if (nCount > 2) {
            nValue = tiff.Read32(nEntry + 8, bBigEndian);
            if (!tiff.Has(nValue, 2))
                return 0;
        }
        return tiff.Read16(nValue, bBigEndian);
    }
    return 0;
}

bool IsExifHeader(const Bytes& payload)
{
    static constexpr uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (!payload.Has(0, sizeof(kExif)))
        return false;
    for (size_t i = 0; i < sizeof(kExif); ++i) {
        if (payload.At(i) != kExif[i])
            return false;
    }
    return true;
}

}  // namespace

// Only the segments before the scan are walked; the first Exif APP1 decides, whatever it
// holds. Its end may lie past the bytes given (a large thumbnail), so what there is of it
// is read: IFD0 comes first in practice.
int ReadJpegExifOrientation(const uint8_t* data, size_t size)
{
    const Bytes file(data, size);
    if (!data || !file.Has(0, 2) || file.At(0) != 0xFF || file.At(1) != 0xD8)
        return 0;
    size_t nPos = 2;
    for (;;) {
        if (!file.Has(nPos, 2) || file.At(nPos) != 0xFF)
            return 0;
        // Any number of 0xFF may pad the space before a marker.
        while (file.Has(nPos, 2) && file.At(nPos + 1) == 0xFF)
            ++nPos;
        if (!file.Has(nPos, 2))
            return 0;
        const uint8_t marker = file.At(nPos + 1);
        nPos += 2;
        if (marker == 0xDA || marker == 0xD9)  // start of scan, end of image
            return 0;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))  // no length follows
            continue;
        if (!file.Has(nPos, 2))
            return 0;
        const size_t nLength = file.Read16(nPos, true);
        if (nLength < 2)
            return 0;
        const size_t nPayload = nPos + 2;
        const size_t nPayloadSize = nLength - 2;
        if (marker == 0xE1) {
            const Bytes payload = file.Sub(nPayload, file.Has(nPayload, nPayloadSize) ? nPayloadSize : size - nPayload);
            if (IsExifHeader(payload))
                return ReadTiffOrientation(payload.Sub(6, payload.Size() - 6));
        }
        if (!file.Has(nPayload, nPayloadSize))
            return 0;
        nPos = nPayload + nPayloadSize;
    }
}

int UprightRotateFlip(int nOrientation)
{
    // RotateFlipType numbers: RotateNoneFlipX 4, Rotate180FlipNone 2, RotateNoneFlipY 6,
    // Rotate90FlipX 5, Rotate90FlipNone 1, Rotate270FlipX 7, Rotate270FlipNone 3.
    static constexpr int kTurns[] = {4, 2, 6, 5, 1, 7, 3};
    if (nOrientation < 2 || nOrientation > 8)
        return -1;
    return kTurns[nOrientation - 2];
}
