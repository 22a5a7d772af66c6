#pragma once
// Pictures made byte by byte for the reliability tests: writers for the few formats whose
// layout is simple enough to build without an encoder (1-bit PNG, GIF with any number of
// frames), and the damage done to valid pictures (truncation, flipped header bits, header
// bombs). Everything is made in memory at test time; nothing binary lives in the tree.
// Plain C++ so that the Windows tests and the soak driver share one recipe.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace damaged {

using Bytes = std::vector<uint8_t>;

// A file to write: its name (ASCII) and contents. bMeantToDecode marks the odd but valid
// pictures; for a damaged one the decoder decides, and most must fail.
struct Sample {
    std::string name;
    Bytes bytes;
    bool bMeantToDecode = false;
};

// A valid picture to damage, with the extension its format goes by ("png", "jpg", ...).
struct Seed {
    std::string ext;
    Bytes bytes;
};

inline uint32_t Crc32(const uint8_t* data, size_t size)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

inline void PutBE32(Bytes& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

inline void PutLE16(Bytes& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void SetBE32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

inline void SetBE16(Bytes& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}

inline void SetLE16(Bytes& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void SetLE32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint16_t GetLE16(const Bytes& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

inline uint16_t GetBE16(const Bytes& b, size_t at)
{
    return static_cast<uint16_t>((b[at] << 8) | b[at + 1]);
}

// Deflate bits go out least significant first; Huffman codes most significant first.
class BitWriter {
public:
    void Bits(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            Bit((value >> i) & 1u);
    }
    void Code(uint32_t code, int length)
    {
        for (int i = length - 1; i >= 0; --i)
            Bit((code >> i) & 1u);
    }
    Bytes Finish()
    {
        if (m_nBits)
            m_out.push_back(m_cur);
        m_cur = 0;
        m_nBits = 0;
        return std::move(m_out);
    }

private:
    void Bit(uint32_t b)
    {
        m_cur = static_cast<uint8_t>(m_cur | (b << m_nBits));
        if (++m_nBits == 8) {
            m_out.push_back(m_cur);
            m_cur = 0;
            m_nBits = 0;
        }
    }
    Bytes m_out;
    uint8_t m_cur = 0;
    int m_nBits = 0;
};

// A zlib stream of one fixed-Huffman block that codes repeated bytes as matches at
// distance 1: tiny for the flat pictures the tests need, valid for any input.
inline Bytes ZlibRuns(const Bytes& raw)
{
    static constexpr std::array<uint16_t, 29> kBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr std::array<uint8_t, 29> kExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    BitWriter w;
    auto symbol = [&w](uint32_t s) {
        if (s < 144)
            w.Code(0x30 + s, 8);
        else if (s < 256)
            w.Code(0x190 + (s - 144), 9);
        else if (s < 280)
            w.Code(s - 256, 7);
        else
            w.Code(0xC0 + (s - 280), 8);
    };
    w.Bits(1, 1);  // the last block
    w.Bits(1, 2);  // fixed codes
    size_t i = 0;
    while (i < raw.size()) {
        size_t run = 0;
        if (i > 0)
            while (run < 258 && i + run < raw.size() && raw[i + run] == raw[i - 1])
                ++run;
        if (run < 3) {
            symbol(raw[i]);
            ++i;
            continue;
        }
        size_t code = kBase.size() - 1;
        while (kBase[code] > run)
            --code;
        symbol(257 + static_cast<uint32_t>(code));
        w.Bits(static_cast<uint32_t>(run - kBase[code]), kExtra[code]);
        w.Code(0, 5);  // distance 1
        i += run;
    }
    symbol(256);
    Bytes out = {0x78, 0x01};
    Bytes body = w.Finish();
    out.insert(out.end(), body.begin(), body.end());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(out, (b << 16) | a);
    return out;
}

inline void PutPngChunk(Bytes& out, const char* type, const Bytes& data)
{
    PutBE32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, Crc32(out.data() + start, out.size() - start));
}

// A palette PNG of any size whose every pixel has the colour (r, g, b), 1 or 8 bits a
// pixel: a picture of 16000 x 16000 pixels stays a small file.
inline Bytes MakeFlatPng(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t nDepth = 8)
{
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    PutBE32(ihdr, width);
    PutBE32(ihdr, height);
    ihdr.insert(ihdr.end(), {nDepth, 3, 0, 0, 0});  // palette, deflate, no filter, no interlace
    PutPngChunk(out, "IHDR", ihdr);
    PutPngChunk(out, "PLTE", {r, g, b, static_cast<uint8_t>(255 - r), static_cast<uint8_t>(255 - g),
                              static_cast<uint8_t>(255 - b)});
    const size_t rowBytes = 1 + (static_cast<size_t>(width) * nDepth + 7) / 8;
    PutPngChunk(out, "IDAT", ZlibRuns(Bytes(rowBytes * height, 0)));
    PutPngChunk(out, "IEND", {});
    return out;
}

// A GIF of nFrames frames of width x height, alternating two colours (red and blue).
// Only the first nDelayed frames carry a graphic control extension with nDelay (1/100 s).
// Frames of no more than 16 x 16 pixels keep the coding trivial.
inline Bytes MakeGif(uint16_t width, uint16_t height, uint32_t nFrames, uint32_t nDelayed, uint16_t nDelay)
{
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    PutLE16(out, width);
    PutLE16(out, height);
    out.insert(out.end(), {0x80, 0, 0});        // global table of 2 colours
    out.insert(out.end(), {255, 0, 0, 0, 0, 255});
    if (nFrames > 1) {
        const char* app = "\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00";
        out.insert(out.end(), app, app + 19);  // loop for ever
    }
    for (uint32_t f = 0; f < nFrames; ++f) {
        if (f < nDelayed) {
            out.insert(out.end(), {0x21, 0xF9, 0x04, 0x04});
            PutLE16(out, nDelay);
            out.insert(out.end(), {0x00, 0x00});
        }
        out.push_back(0x2C);
        PutLE16(out, 0);
        PutLE16(out, 0);
        PutLE16(out, width);
        PutLE16(out, height);
        out.push_back(0x00);
        // Minimum code size 2: clear 4, end 5, codes of 3 bits. A clear code after every
        // two pixels keeps the table from ever growing past 3 bits.
        BitWriter w;
        const uint32_t colour = f % 2;
        const size_t pixels = static_cast<size_t>(width) * height;
        for (size_t p = 0; p < pixels; ++p) {
            if (p % 2 == 0)
                w.Bits(4, 3);
            w.Bits(colour, 3);
        }
        w.Bits(5, 3);
        const Bytes data = w.Finish();
        out.push_back(2);
        for (size_t at = 0; at < data.size(); at += 255) {
            const size_t n = std::min<size_t>(255, data.size() - at);
            out.push_back(static_cast<uint8_t>(n));
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                       data.begin() + static_cast<std::ptrdiff_t>(at + n));
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    return out;
}

// Header bombs: the picture's declared size replaced, everything else kept. Each returns
// false when the seed does not have the field where its format puts it.

inline bool SetPngSize(Bytes& png, uint32_t width, uint32_t height)
{
    if (png.size() < 33 || png[12] != 'I' || png[13] != 'H' || png[14] != 'D' || png[15] != 'R')
        return false;
    SetBE32(png, 16, width);
    SetBE32(png, 20, height);
    SetBE32(png, 29, Crc32(png.data() + 12, 17));  // a decoder must not stop at the checksum
    return true;
}

inline bool SetBmpSize(Bytes& bmp, int32_t width, int32_t height)
{
    if (bmp.size() < 26 || bmp[0] != 'B' || bmp[1] != 'M' || bmp[14] < 40)
        return false;
    SetLE32(bmp, 18, static_cast<uint32_t>(width));
    SetLE32(bmp, 22, static_cast<uint32_t>(height));
    return true;
}

// The logical screen and every image descriptor.
inline bool SetGifSize(Bytes& gif, uint16_t width, uint16_t height)
{
    if (gif.size() < 13 || gif[0] != 'G')
        return false;
    SetLE16(gif, 6, width);
    SetLE16(gif, 8, height);
    size_t at = 13;
    if (gif[10] & 0x80)
        at += 3u * (2u << (gif[10] & 7));
    bool found = false;
    auto skipSubBlocks = [&gif](size_t pos) {
        while (pos < gif.size() && gif[pos] != 0)
            pos += 1u + gif[pos];
        return pos + 1;
    };
    while (at < gif.size() && gif[at] != 0x3B) {
        if (gif[at] == 0x21) {
            at = skipSubBlocks(at + 2);
        } else if (gif[at] == 0x2C && at + 10 <= gif.size()) {
            SetLE16(gif, at + 5, width);
            SetLE16(gif, at + 7, height);
            found = true;
            const uint8_t flags = gif[at + 9];
            at += 10;
            if (flags & 0x80)
                at += 3u * (2u << (flags & 7));
            at = skipSubBlocks(at + 1);
        } else {
            break;
        }
    }
    return found;
}

// ImageWidth and ImageLength of the first directory, stored as LONG.
inline bool SetTiffSize(Bytes& tiff, uint32_t width, uint32_t height)
{
    if (tiff.size() < 8)
        return false;
    const bool little = tiff[0] == 'I';
    auto get16 = [&](size_t at) { return little ? GetLE16(tiff, at) : GetBE16(tiff, at); };
    auto get32 = [&](size_t at) {
        return little ? static_cast<uint32_t>(GetLE16(tiff, at) | (GetLE16(tiff, at + 2) << 16))
                      : static_cast<uint32_t>((GetBE16(tiff, at) << 16) | GetBE16(tiff, at + 2));
    };
    auto set16 = [&](size_t at, uint16_t v) { little ? SetLE16(tiff, at, v) : SetBE16(tiff, at, v); };
    auto set32 = [&](size_t at, uint32_t v) { little ? SetLE32(tiff, at, v) : SetBE32(tiff, at, v); };
    const size_t ifd = get32(4);
    if (ifd + 2 > tiff.size())
        return false;
    const size_t count = get16(ifd);
    int patched = 0;
    for (size_t i = 0; i < count && ifd + 2 + 12 * (i + 1) <= tiff.size(); ++i) {
        const size_t entry = ifd + 2 + 12 * i;
        const uint16_t tag = get16(entry);
        if (tag != 256 && tag != 257)
            continue;
        set16(entry + 2, 4);
        set32(entry + 4, 1);
        set32(entry + 8, tag == 256 ? width : height);
        ++patched;
    }
    return patched == 2;
}

// The frame header (SOFn) of a JPEG.
inline bool SetJpegSize(Bytes& jpeg, uint16_t width, uint16_t height)
{
    size_t at = 2;
    while (at + 9 <= jpeg.size() && jpeg[at] == 0xFF) {
        const uint8_t marker = jpeg[at + 1];
        const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            SetBE16(jpeg, at + 5, height);
            SetBE16(jpeg, at + 7, width);
            return true;
        }
        at += 2u + GetBE16(jpeg, at + 2);
    }
    return false;
}

inline std::string Hex(uint64_t v, int digits)
{
    static const char* kDigits = "0123456789abcdef";
    std::string s(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, v >>= 4)
        s[static_cast<size_t>(i)] = kDigits[v & 15];
    return s;
}

// Every way of damaging one seed: cut at many offsets (from nothing to one byte short),
// single bits flipped in the first 128 bytes, and header bombs for its format.
inline std::vector<Sample> DamageSeed(const Seed& seed)
{
    std::vector<Sample> out;
    const Bytes& b = seed.bytes;
    const size_t n = b.size();
    const std::string stem = seed.ext + "-";

    std::vector<size_t> cuts = {0, 1, 2, 3, 4, 6, 8, 12, 16, 20, 24, 26, 30, 33, 40, 48, 64, 100, 128, 200, 256};
    for (size_t part : {10u, 25u, 40u, 50u, 60u, 75u, 90u, 95u, 99u})
        cuts.push_back(n * part / 100);
    cuts.push_back(n > 16 ? n - 16 : 0);
    cuts.push_back(n > 2 ? n - 2 : 0);
    cuts.push_back(n > 1 ? n - 1 : 0);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    for (size_t cut : cuts) {
        if (cut >= n)
            continue;
        out.push_back({"cut-" + stem + Hex(cut, 6) + "." + seed.ext, Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(cut)), false});
    }

    uint32_t state = 0x9E3779B9u ^ static_cast<uint32_t>(n);
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    const size_t header = std::min<size_t>(n, 128);
    std::vector<size_t> flipped;  // at * 8 + bit, so that no flip is made twice
    for (int tries = 0; flipped.size() < 16 && header > 0 && tries < 256; ++tries) {
        const size_t at = next() % header;
        const int bit = static_cast<int>(next() % 8);
        const size_t key = at * 8 + static_cast<size_t>(bit);
        if (std::find(flipped.begin(), flipped.end(), key) != flipped.end())
            continue;
        flipped.push_back(key);
        Bytes copy = b;
        copy[at] = static_cast<uint8_t>(copy[at] ^ (1u << bit));
        out.push_back({"flip-" + stem + Hex(at, 3) + "-" + std::to_string(bit) + "." + seed.ext, std::move(copy), false});
    }

    auto bomb = [&](const std::string& what, bool (*apply)(Bytes&, uint32_t, uint32_t), uint32_t w, uint32_t h) {
        Bytes copy = b;
        if (apply(copy, w, h))
            out.push_back({"bomb-" + stem + what + "." + seed.ext, std::move(copy), false});
    };
    const std::vector<std::array<uint32_t, 2>> sizes = {
        {65535, 65535}, {0x7FFFFFFF, 0x7FFFFFFF}, {0xFFFFFFFF, 0xFFFFFFFF}, {1, 0x7FFFFFFF}, {0x40000000, 4}, {0, 0}};
    for (const auto& s : sizes) {
        const std::string what = Hex(s[0], 8) + "x" + Hex(s[1], 8);
        if (seed.ext == "png")
            bomb(what, [](Bytes& c, uint32_t w, uint32_t h) { return SetPngSize(c, w, h); }, s[0], s[1]);
        else if (seed.ext == "bmp")
            bomb(what, [](Bytes& c, uint32_t w, uint32_t h) {
                return SetBmpSize(c, static_cast<int32_t>(w), static_cast<int32_t>(h));
            }, s[0], s[1]);
        else if (seed.ext == "tif")
            bomb(what, [](Bytes& c, uint32_t w, uint32_t h) { return SetTiffSize(c, w, h); }, s[0], s[1]);
        else if (seed.ext == "gif" && s[0] <= 0xFFFF && s[1] <= 0xFFFF)
            bomb(what, [](Bytes& c, uint32_t w, uint32_t h) {
                return SetGifSize(c, static_cast<uint16_t>(w), static_cast<uint16_t>(h));
            }, s[0], s[1]);
        else if (seed.ext == "jpg" && s[0] <= 0xFFFF && s[1] <= 0xFFFF)
            bomb(what, [](Bytes& c, uint32_t w, uint32_t h) {
                return SetJpegSize(c, static_cast<uint16_t>(w), static_cast<uint16_t>(h));
            }, s[0], s[1]);
    }
    if (seed.ext == "bmp") {
        // Top-down with the most negative height, and a negative width.
        Bytes copy = b;
        if (SetBmpSize(copy, 64, INT32_MIN))
            out.push_back({"bomb-bmp-topdown-min.bmp", std::move(copy), false});
        copy = b;
        if (SetBmpSize(copy, -1, 64))
            out.push_back({"bomb-bmp-negative-width.bmp", std::move(copy), false});
    }
    return out;
}

// The whole damaged set for the seeds, plus the cases that need no seed: GIFs without a
// frame, with thousands of frames and with fewer delays than frames, and files that are
// no picture at all under picture names.
inline std::vector<Sample> MakeDamagedSet(const std::vector<Seed>& seeds)
{
    std::vector<Sample> out;
    for (const Seed& seed : seeds) {
        std::vector<Sample> one = DamageSeed(seed);
        out.insert(out.end(), std::make_move_iterator(one.begin()), std::make_move_iterator(one.end()));
    }
    out.push_back({"gif-no-frames.gif", MakeGif(8, 8, 0, 0, 0), false});
    out.push_back({"gif-3000-frames.gif", MakeGif(2, 2, 3000, 3000, 1), true});
    out.push_back({"gif-5-frames-2-delays.gif", MakeGif(4, 4, 5, 2, 3), true});
    out.push_back({"gif-delays-zero.gif", MakeGif(4, 4, 4, 4, 0), true});
    Bytes cut = MakeGif(4, 4, 6, 6, 5);
    cut.resize(cut.size() * 2 / 3);
    out.push_back({"gif-frames-cut.gif", std::move(cut), false});
    const std::string text = "This is a text file under a picture's name.\r\n";
    for (const char* ext : {"png", "jpg", "gif", "bmp", "tif"}) {
        out.push_back({std::string("text-as-") + ext + "." + ext, Bytes(text.begin(), text.end()), false});
        Bytes noise(4096);
        uint32_t s = 12345u + static_cast<uint32_t>(ext[0]);
        for (uint8_t& c : noise) {
            s = s * 1103515245u + 12345u;
            c = static_cast<uint8_t>(s >> 16);
        }
        out.push_back({std::string("noise-") + ext + "." + ext, std::move(noise), false});
    }
    return out;
}

}  // namespace damaged
