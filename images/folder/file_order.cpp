#include "images/folder/file_order.h"

#include <cstdint>

namespace {

// Where wchar_t holds whole code points (32-bit hosts), U+E000..U+FFFF are moved just past the
// last code point so that they sort after the supplementary planes, as they do in UTF-16 where
// those planes are surrogate pairs (0xD800..0xDFFF). With 16-bit wchar_t the code units are used as they are.
uint32_t OrderKey(wchar_t c)
{
    uint32_t u = static_cast<uint32_t>(c);
    if (u >= L'A' && u <= L'Z')
        return u - L'A' + L'a';
    if constexpr (sizeof(wchar_t) > 2) {
        if (u >= 0xE000 && u <= 0xFFFF)
            return u - 0xE000 + 0x110000;
    }
    return u;
}

} // namespace

int CompareFileNames(std::wstring_view a, std::wstring_view b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const uint32_t ka = OrderKey(a[i]);
        const uint32_t kb = OrderKey(b[i]);
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool FileNameLess(std::wstring_view a, std::wstring_view b)
{
    return CompareFileNames(a, b) < 0;
}

bool FileNamesEqualNoCase(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && CompareFileNames(a, b) == 0;
}
