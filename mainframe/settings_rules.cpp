#include "mainframe/settings_rules.h"

#include <algorithm>

// A value that fills the buffer exactly has no terminator, so the scan is bounded by the buffer.
std::wstring ExtensionListFromQuery(bool bQueryOk, const wchar_t* buffer, size_t nBufferUnits,
                                    std::wstring_view fallback)
{
    if (!bQueryOk || buffer == nullptr)
        return std::wstring(fallback);
    const wchar_t* end = std::find(buffer, buffer + nBufferUnits, L'\0');
    return std::wstring(buffer, end);
}

int32_t InterpolationFromQuery(bool bQueryOk, uint32_t value)
{
    return bQueryOk ? static_cast<int32_t>(value) : 0;
}

// Summed in 64 bits: a work area near the limits of int32 must not overflow before halving.
CPoint WorkAreaCenter(const CRect& rcWork)
{
    const int64_t x = (static_cast<int64_t>(rcWork.left) + rcWork.right) / 2;
    const int64_t y = (static_cast<int64_t>(rcWork.top) + rcWork.bottom) / 2;
    return CPoint(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

bool SwitchFromQuery(bool bQueryOk, uint32_t nType, uint32_t nBytes, uint32_t value, bool bDefault)
{
    constexpr uint32_t kRegDword = 4;
    if (!bQueryOk || nType != kRegDword || nBytes != 4)
        return bDefault;
    return value != 0;
}

uint32_t LanguageFromQuery(bool bQueryOk, uint32_t nType, uint32_t nBytes, uint32_t value)
{
    constexpr uint32_t kRegDword = 4;
    return bQueryOk && nType == kRegDword && nBytes == 4 ? value : 0;
}
