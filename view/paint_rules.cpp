#include "view/paint_rules.h"

#include <iterator>

PaintRectF PaintDestRect(const CRect& clip)
{
    return {static_cast<float>(clip.left), static_cast<float>(clip.top), static_cast<float>(clip.Width()),
            static_cast<float>(clip.Height())};
}

PaintRectF PaintSourceRect(const CRect& clip, CPoint ptScroll, float fZoom)
{
    // The zoom steps never reach 0; a factor that is not positive anyway is read as 1
    // rather than producing an infinite source rectangle.
    const float zoom = fZoom > 0.0f ? fZoom : 1.0f;
    const PaintRectF dest = PaintDestRect(clip);
    return {(dest.X + static_cast<float>(ptScroll.x)) / zoom, (dest.Y + static_cast<float>(ptScroll.y)) / zoom,
            dest.Width / zoom, dest.Height / zoom};
}

int32_t GdiplusInterpolationMode(int32_t nInterpolation)
{
    // Default, NearestNeighbor, Bilinear, HighQualityBilinear, Bicubic, HighQualityBicubic.
    static constexpr int32_t kModes[] = {0, 5, 3, 6, 4, 7};
    if (nInterpolation < 0 || nInterpolation >= static_cast<int32_t>(std::size(kModes)))
        return 0;
    return kModes[nInterpolation];
}
