// Pictures stood upright by their Exif orientation as the main window loads them: a JPEG of
// each orientation (its Exif segment spliced in, which only the file reader sees under Wine),
// a TIFF carrying the tag itself (read through GDI+'s property item), and the switch that
// shows pictures as stored.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/reliability/win_files.h"
#include "tests/win/win_test_support.h"

namespace {

using Gdiplus::Color;
using damaged::Bytes;

// The scene as it is meant to be seen: four quadrants of distinct colours, red at the top left.
constexpr int kWidth = 64, kHeight = 32;

Color SceneColor(int u, int v, int width, int height)
{
    static const Color kQuadrants[2][2] = {{Color(255, 0, 0), Color(0, 255, 0)},
                                           {Color(0, 0, 255), Color(255, 255, 255)}};
    return kQuadrants[v >= height / 2][u >= width / 2];
}

// Where stored pixel (x, y) of a picture of this orientation belongs in the scene (width by
// height), straight from the tag's meaning: which side stored row 0 and column 0 are on.
POINT SceneOf(int nOrientation, int x, int y, int width, int height)
{
    switch (nOrientation) {
    case 2: return {width - 1 - x, y};               // row 0 top, column 0 right
    case 3: return {width - 1 - x, height - 1 - y};  // row 0 bottom, column 0 right
    case 4: return {x, height - 1 - y};              // row 0 bottom, column 0 left
    case 5: return {y, x};                           // row 0 left, column 0 top
    case 6: return {width - 1 - y, x};               // row 0 right, column 0 top
    case 7: return {width - 1 - y, height - 1 - x};  // row 0 right, column 0 bottom
    case 8: return {y, height - 1 - x};              // row 0 left, column 0 bottom
    default: return {x, y};
    }
}

SIZE StoredSize(int nOrientation, int width, int height)
{
    return nOrientation >= 5 ? SIZE{height, width} : SIZE{width, height};
}

// The scene stored as a camera of this orientation would store it.
Gdiplus::Bitmap* MakeStoredScene(int nOrientation, int width, int height)
{
    const SIZE stored = StoredSize(nOrientation, width, height);
    auto* bitmap = new Gdiplus::Bitmap(stored.cx, stored.cy, PixelFormat24bppRGB);
    for (int y = 0; y < stored.cy; ++y) {
        for (int x = 0; x < stored.cx; ++x) {
            const POINT p = SceneOf(nOrientation, x, y, width, height);
            bitmap->SetPixel(x, y, SceneColor(p.x, p.y, width, height));
        }
    }
    return bitmap;
}

// An APP1 Exif segment whose IFD0 holds only the orientation, in either byte order.
Bytes ExifSegment(int nOrientation, bool bBigEndian)
{
    auto u16 = [&](Bytes& b, int v) {
        const uint8_t hi = uint8_t(v >> 8), lo = uint8_t(v);
        b.insert(b.end(), {bBigEndian ? hi : lo, bBigEndian ? lo : hi});
    };
    Bytes tiff = {bBigEndian ? uint8_t('M') : uint8_t('I'), bBigEndian ? uint8_t('M') : uint8_t('I')};
    u16(tiff, 42);
    u16(tiff, bBigEndian ? 0 : 8);  // IFD0 at offset 8, as a 32-bit number
    u16(tiff, bBigEndian ? 8 : 0);
    u16(tiff, 1);                   // one entry: orientation, SHORT, one value
    u16(tiff, 0x0112);
    u16(tiff, 3);
    u16(tiff, bBigEndian ? 0 : 1);
    u16(tiff, bBigEndian ? 1 : 0);
    u16(tiff, nOrientation);
    u16(tiff, 0);
    tiff.insert(tiff.end(), {0, 0, 0, 0});  // no next IFD
    const size_t n = 2 + 6 + tiff.size();
    Bytes segment = {0xFF, 0xE1, uint8_t(n >> 8), uint8_t(n), 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    return segment;
}

// The stored scene through GDI+'s JPEG encoder, with the Exif segment put right after SOI.
bool WriteOrientedJpeg(const std::wstring& path, int nOrientation)
{
    CLSID clsid;
    if (!reliability::FindEncoderClsid(L"image/jpeg", clsid))
        return false;
    const std::wstring plain = path + L".plain";
    {
        Gdiplus::Bitmap* stored = MakeStoredScene(nOrientation, kWidth, kHeight);
        const bool bSaved = stored->Save(plain.c_str(), &clsid, nullptr) == Gdiplus::Ok;
        delete stored;
        if (!bSaved)
            return false;
    }
    Bytes bytes = reliability::ReadBytes(plain);
    ::DeleteFileW(plain.c_str());
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return false;
    const Bytes exif = ExifSegment(nOrientation, nOrientation % 2 == 0);
    bytes.insert(bytes.begin() + 2, exif.begin(), exif.end());
    return reliability::WriteBytes(path, bytes);
}

// A baseline little-endian RGB TIFF, one uncompressed strip, carrying the orientation tag.
bool WriteOrientedTiff(const std::wstring& path, int nOrientation, int width, int height)
{
    const SIZE stored = StoredSize(nOrientation, width, height);
    const uint32_t nPixels = uint32_t(stored.cx * stored.cy * 3);
    struct Tag {
        uint16_t tag, type;
        uint32_t count, value;
    };
    constexpr uint32_t kEntries = 11, kBitsAt = 8 + 2 + kEntries * 12 + 4, kPixelsAt = kBitsAt + 6;
    const Tag tags[kEntries] = {{256, 3, 1, uint32_t(stored.cx)}, {257, 3, 1, uint32_t(stored.cy)},
                                {258, 3, 3, kBitsAt},             {259, 3, 1, 1},  // no compression
                                {262, 3, 1, 2},                   {273, 4, 1, kPixelsAt},  // RGB; the strip
                                {274, 3, 1, uint32_t(nOrientation)}, {277, 3, 1, 3},
                                {278, 3, 1, uint32_t(stored.cy)}, {279, 4, 1, nPixels},
                                {284, 3, 1, 1}};
    Bytes b = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto le = [&b](uint32_t v, int nBytes) {
        for (int i = 0; i < nBytes; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    };
    le(kEntries, 2);
    for (const Tag& t : tags) {
        le(t.tag, 2);
        le(t.type, 2);
        le(t.count, 4);
        le(t.value, 4);  // a SHORT sits in the low half, first in this byte order
    }
    le(0, 4);  // no next IFD
    for (int i = 0; i < 3; ++i)
        le(8, 2);
    Gdiplus::Bitmap* scene = MakeStoredScene(nOrientation, width, height);
    for (int y = 0; y < stored.cy; ++y) {
        for (int x = 0; x < stored.cx; ++x) {
            Color c;
            scene->GetPixel(x, y, &c);
            b.insert(b.end(), {c.GetR(), c.GetG(), c.GetB()});
        }
    }
    delete scene;
    return b.size() == kPixelsAt + nPixels && reliability::WriteBytes(path, b);
}

class Orientation : public MainFrameTest {
protected:
    // The shown picture has this size and, at the middle of each quadrant, the colour of the
    // scene at the point map(x, y) gives, within what JPEG's rounding moves a flat colour.
    template <class Map>
    void ExpectShown(int width, int height, Map map, int sceneWidth, int sceneHeight)
    {
        ASSERT_NE(m_frame->m_pImage, nullptr);
        EXPECT_EQ(m_frame->m_sizeImage, CSize(width, height));
        ASSERT_EQ(int(m_frame->m_pImage->GetWidth()), width);
        ASSERT_EQ(int(m_frame->m_pImage->GetHeight()), height);
        for (const int x : {width / 4, width * 3 / 4}) {
            for (const int y : {height / 4, height * 3 / 4}) {
                Color shown;
                ASSERT_EQ(m_frame->m_pImage->GetPixel(x, y, &shown), Gdiplus::Ok);
                const POINT p = map(x, y);
                const Color want = SceneColor(p.x, p.y, sceneWidth, sceneHeight);
                const int nError = std::abs(shown.GetR() - want.GetR()) + std::abs(shown.GetG() - want.GetG()) +
                                   std::abs(shown.GetB() - want.GetB());
                EXPECT_LE(nError, 96) << "pixel (" << x << ", " << y << ") is " << int(shown.GetR()) << ","
                                      << int(shown.GetG()) << "," << int(shown.GetB());
            }
        }
    }

    void ExpectUpright(int width, int height)
    {
        ExpectShown(width, height, [](int x, int y) { return POINT{x, y}; }, width, height);
    }
};

class OrientationOfJpeg : public Orientation, public ::testing::WithParamInterface<int> {};

TEST_P(OrientationOfJpeg, IsTurnedUprightOnLoad)
{
    const int nOrientation = GetParam();
    const std::wstring folder = MakeScratchFolder(L"orientation-jpeg");
    const std::wstring name = L"o" + std::to_wstring(nOrientation) + L".jpg";
    ASSERT_TRUE(WriteOrientedJpeg(folder + name, nOrientation));

    ASSERT_EQ(m_frame->LoadPicture(folder, name, 0), 0);
    ExpectUpright(kWidth, kHeight);
}

INSTANTIATE_TEST_SUITE_P(Values, OrientationOfJpeg, ::testing::Range(1, 9),
                         [](const ::testing::TestParamInfo<int>& param) { return std::to_string(param.param); });

TEST_F(Orientation, TiffTagOfItsOwnIsObeyed)
{
    const std::wstring folder = MakeScratchFolder(L"orientation-tiff");
    for (const int nOrientation : {6, 8}) {
        SCOPED_TRACE(nOrientation);
        const std::wstring name = L"o" + std::to_wstring(nOrientation) + L".tif";
        ASSERT_TRUE(WriteOrientedTiff(folder + name, nOrientation, 32, 16));
        ASSERT_EQ(m_frame->LoadPicture(folder, name, 0), 0);
        ExpectUpright(32, 16);
    }
}

TEST_F(Orientation, SwitchedOffPicturesAreShownAsStored)
{
    const std::wstring folder = MakeScratchFolder(L"orientation-off");
    m_frame->m_bAutoRotate = false;
    for (const int nOrientation : {3, 6}) {
        SCOPED_TRACE(nOrientation);
        const std::wstring name = L"o" + std::to_wstring(nOrientation) + L".jpg";
        ASSERT_TRUE(WriteOrientedJpeg(folder + name, nOrientation));
        ASSERT_EQ(m_frame->LoadPicture(folder, name, 0), 0);
        const SIZE stored = StoredSize(nOrientation, kWidth, kHeight);
        ExpectShown(stored.cx, stored.cy,
                    [&](int x, int y) { return SceneOf(nOrientation, x, y, kWidth, kHeight); }, kWidth, kHeight);
    }
    // Switched on again, the same file is turned.
    m_frame->m_bAutoRotate = true;
    ASSERT_EQ(m_frame->LoadPicture(folder, L"o6.jpg", 0), 0);
    ExpectUpright(kWidth, kHeight);
}

}  // namespace
