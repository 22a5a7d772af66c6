#include "framework/dpi_scale.h"

#include <algorithm>

int32_t DpiScale(int32_t v, uint32_t nDpi)
{
    if (nDpi == 0 || nDpi == kBaseDpi)
        return v;
    const int64_t product = int64_t{v} * nDpi;
    const int64_t half = kBaseDpi / 2;
    const int64_t q = product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi);
    return static_cast<int32_t>(std::clamp<int64_t>(q, INT32_MIN, INT32_MAX));
}

CSize DpiScale(CSize size, uint32_t nDpi)
{
    return {DpiScale(size.cx, nDpi), DpiScale(size.cy, nDpi)};
}
