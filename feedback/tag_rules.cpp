#include "feedback/tag_rules.h"

#include <cmath>

int32_t ZoomPercent(float fZoom)
{
    // Saturated: the factor has a ceiling, but a percentage must never be an undefined conversion.
    const double percent = static_cast<double>(fZoom) * 100.0;
    if (std::isnan(percent))
        return 0;
    if (percent >= 2147483647.0)
        return INT32_MAX;
    if (percent <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(percent);
}

std::wstring FormatInfo(std::wstring_view fileName, float fZoom)
{
    std::wstring info(fileName);
    info += L" (";
    info += std::to_wstring(ZoomPercent(fZoom));
    info += L"%)";
    return info;
}

std::wstring TagText(std::wstring_view info, const wchar_t* extra)
{
    std::wstring text(info);
    if (extra != nullptr) {
        text += L' ';
        text += extra;
    }
    return text;
}

CRect PlaceTag(const CRect& rcOwner, const CRect& rcMeasured, int32_t nAir, int32_t nTop)
{
    const int32_t w = rcMeasured.Width() + 2 * nAir;
    const int32_t h = rcMeasured.Height();
    const int32_t ownerW = rcOwner.Width();
    const int32_t x = ownerW < w ? rcOwner.left - (w - ownerW) / 2 : rcOwner.right - w;
    const int32_t y = rcOwner.top - h < nTop ? nTop : rcOwner.top - h;
    return {x, y, x + w, y + h};
}
