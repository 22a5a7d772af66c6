// Pictures stood upright by their Exif orientation as the main window loads them: JPEGs with
// an Exif segment spliced in (which only the file reader sees under Wine), a TIFF carrying the
// tag itself (GDI+'s property item), and the switch that shows pictures as stored.
#include <windows.h>

#include <array>
#include <initializer_list>
#include <string>

#include "tests/reliability/win_files.h"
#include "tests/win/win_test_support.h"

namespace {

using damaged::Bytes;

// The scene as it is meant to be seen: red in its top-left quadrant, blue elsewhere.
constexpr int kWidth = 64, kHeight = 32;
int g_nStoredAs = 1;  // the orientation StoredPixel stores the scene in

// Whether stored pixel (x, y) is red: where it belongs in the scene follows from the tag's
// meaning, which side stored row 0 and column 0 are on.
bool RedAt(int nOrientation, int x, int y)
{
    const int r = kWidth - 1, b = kHeight - 1;
    const POINT map[] = {{x, y}, {r - x, y}, {r - x, b - y}, {x, b - y}, {y, x}, {r - y, x}, {r - y, b - x}, {y, b - x}};
    const POINT p = map[nOrientation - 1];
    return p.x < kWidth / 2 && p.y < kHeight / 2;
}

Gdiplus::Color StoredPixel(int x, int y)
{
    return RedAt(g_nStoredAs, x, y) ? Gdiplus::Color(255, 0, 0) : Gdiplus::Color(0, 0, 255);
}

SIZE StoredSize(int nOrientation)
{
    return nOrientation >= 5 ? SIZE{kHeight, kWidth} : SIZE{kWidth, kHeight};
}

// A TIFF header and IFD0 of these entries (tag, type, count, value), no next IFD. A SHORT
// value sits first in its field, which takes the high half big-endian.
Bytes TiffBlock(bool bBig, std::initializer_list<std::array<uint32_t, 4>> entries)
{
    Bytes b(2, bBig ? 'M' : 'I');
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(uint8_t(v >> 8 * (bBig ? n - 1 - i : i)));
    };
    put(42, 2), put(8, 4), put(uint32_t(entries.size()), 2);
    for (const auto& e : entries)
        put(e[0], 2), put(e[1], 2), put(e[2], 4), put(bBig && e[1] == 3 ? e[3] << 16 : e[3], 4);
    put(0, 4);
    return b;
}

// The stored scene through GDI+'s JPEG encoder, with an Exif APP1 holding only the
// orientation put right after SOI: big-endian for the even orientations.
bool WriteOrientedJpeg(const std::wstring& path, int nOrientation)
{
    g_nStoredAs = nOrientation;
    const SIZE size = StoredSize(nOrientation);
    Bytes bytes;
    if (!WritePicture(path, size.cx, size.cy, StoredPixel, L"image/jpeg") ||
        (bytes = reliability::ReadBytes(path)).size() < 2)
        return false;
    Bytes exif = TiffBlock(nOrientation % 2 == 0, {{0x0112, 3, 1, uint32_t(nOrientation)}});
    exif.insert(exif.begin(), {0xFF, 0xE1, 0, uint8_t(8 + exif.size()), 'E', 'x', 'i', 'f', 0, 0});
    bytes.insert(bytes.begin() + 2, exif.begin(), exif.end());
    return reliability::WriteBytes(path, bytes);
}

// A baseline RGB TIFF, one uncompressed strip, carrying the orientation tag.
bool WriteOrientedTiff(const std::wstring& path, int nOrientation)
{
    g_nStoredAs = nOrientation;
    const SIZE size = StoredSize(nOrientation);
    const uint32_t w = uint32_t(size.cx), h = uint32_t(size.cy), kBitsAt = 8 + 2 + 11 * 12 + 4;
    Bytes b = TiffBlock(false, {{256, 3, 1, w}, {257, 3, 1, h}, {258, 3, 3, kBitsAt}, {259, 3, 1, 1},
                                {262, 3, 1, 2}, {273, 4, 1, kBitsAt + 6}, {274, 3, 1, uint32_t(nOrientation)},
                                {277, 3, 1, 3}, {278, 3, 1, h}, {279, 4, 1, w * h * 3}, {284, 3, 1, 1}});
    b.insert(b.end(), {8, 0, 8, 0, 8, 0});  // bits per sample
    for (int i = 0; i < size.cx * size.cy; ++i) {
        const Gdiplus::Color c = StoredPixel(i % size.cx, i / size.cx);
        b.insert(b.end(), {c.GetR(), c.GetG(), c.GetB()});
    }
    return reliability::WriteBytes(path, b);
}

class Orientation : public MainFrameTest {};

TEST_F(Orientation, EachOrientationIsShownUprightUnlessSwitchedOff)
{
    // Loads the picture and expects it shown as one stored in this orientation (1: upright):
    // its size, and the red corner where that orientation puts it.
    auto expectShownAs = [this](const std::wstring& folder, const std::wstring& name, int nOrientation) {
        SCOPED_TRACE(testing::Message() << name << (m_frame->m_bAutoRotate ? "" : ", as stored"));
        ASSERT_EQ(m_frame->LoadPicture(folder, name, 0), 0);
        ASSERT_NE(m_frame->m_pImage, nullptr);
        const SIZE size = StoredSize(nOrientation);
        const CSize shown(int(m_frame->m_pImage->GetWidth()), int(m_frame->m_pImage->GetHeight()));
        ASSERT_TRUE(shown == CSize(size.cx, size.cy) && m_frame->m_sizeImage == shown) << shown.cx << " x " << shown.cy;
        for (const int x : {size.cx / 4, size.cx * 3 / 4}) {
            for (const int y : {size.cy / 4, size.cy * 3 / 4}) {
                Gdiplus::Color c;
                ASSERT_EQ(m_frame->m_pImage->GetPixel(x, y, &c), Gdiplus::Ok);
                EXPECT_EQ(c.GetR() > c.GetB(), RedAt(nOrientation, x, y)) << "at " << x << ", " << y;
            }
        }
    };
    const std::wstring folder = MakeScratchFolder(L"orientation");
    for (int nOrientation = 1; nOrientation <= 8; ++nOrientation) {
        const std::wstring stem = L"o" + std::to_wstring(nOrientation);
        ASSERT_TRUE(WriteOrientedJpeg(folder + stem + L".jpg", nOrientation) &&
                    WriteOrientedTiff(folder + stem + L".tif", nOrientation));
        for (const wchar_t* ext : {L".jpg", L".tif"}) {
            m_frame->m_bAutoRotate = false;
            expectShownAs(folder, stem + ext, nOrientation);
            m_frame->m_bAutoRotate = true;
            expectShownAs(folder, stem + ext, 1);
        }
    }
}

}  // namespace
