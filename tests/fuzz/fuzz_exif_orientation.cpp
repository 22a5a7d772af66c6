// The Exif orientation reader on arbitrary bytes. Input: the first byte picks the form (even:
// the rest is the file as it stands; odd: the rest is a TIFF block, put into the Exif APP1 of
// a JPEG so that the IFD walk is reached at once).
// Checks: the reader stays inside the bytes (the sanitizers), answers 0 or a 16-bit value, and
// a shorter start of the same file never gives a different non-zero answer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "images/decode/exif_orientation.h"

#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<uint8_t> file(data + 1, data + size);
    if (data[0] % 2 == 1) {
        file.resize(file.size() < 0xFFF0 ? file.size() : 0xFFF0);
        const size_t n = 8 + file.size();
        file.insert(file.begin(), {0xFF, 0xD8, 0xFF, 0xE1, uint8_t(n >> 8), uint8_t(n), 'E', 'x', 'i', 'f', 0, 0});
        file.insert(file.end(), {0xFF, 0xDA, 0, 2, 0xFF, 0xD9});
    }
    // An exact-size copy of the first n bytes, so that a read past n is a read past the block.
    auto read = [&file](size_t n) {
        const std::vector<uint8_t> start(file.begin(), file.begin() + std::ptrdiff_t(n));
        return ReadJpegExifOrientation(start.data(), start.size());
    };
    const int nWhole = read(file.size());
    FUZZ_CHECK(nWhole >= 0 && nWhole <= 0xFFFF);
    for (const size_t n : {file.size() / 2, file.size() - (file.empty() ? 0 : 1)}) {
        const int nStart = read(n);
        FUZZ_CHECK(nStart == 0 || nStart == nWhole);
    }
    return 0;
}
