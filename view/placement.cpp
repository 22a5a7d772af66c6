#include "view/placement.h"

#include <algorithm>

namespace {

int32_t ClampToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

void Offset(CRect& rc, int64_t dx, int64_t dy)
{
    rc = {ClampToInt32(rc.left + dx), ClampToInt32(rc.top + dy), ClampToInt32(rc.right + dx),
          ClampToInt32(rc.bottom + dy)};
}

}  // namespace

CRect ClampMovingRect(CRect rc, const CRect& rcWork, CPoint ptLowest)
{
    if (rc.bottom > rcWork.bottom)
        Offset(rc, 0, int64_t{rcWork.bottom} - rc.bottom);
    if (rc.right > rcWork.right)
        Offset(rc, int64_t{rcWork.right} - rc.right, 0);
    if (rc.top < ptLowest.y)
        Offset(rc, 0, int64_t{ptLowest.y} - rc.top);
    if (rc.left < ptLowest.x)
        Offset(rc, int64_t{ptLowest.x} - rc.left, 0);
    return rc;
}

CRect MovedRect(const CRect& rc, CSize d)
{
    CRect out = rc;
    Offset(out, d.cx, d.cy);
    return out;
}

int64_t FloorHalf(int64_t v)
{
    return v >= 0 ? v / 2 : -((1 - v) / 2);
}

CPoint RectCenter(const CRect& rc)
{
    return {static_cast<int32_t>(FloorHalf(int64_t{rc.left} + rc.right)),
            static_cast<int32_t>(FloorHalf(int64_t{rc.top} + rc.bottom))};
}

CSize MaxTrackSize(const CRect& rcWork, CSize sizeView)
{
    return {ClampToInt32(std::min<int64_t>(int64_t{rcWork.right} - rcWork.left, sizeView.cx)),
            ClampToInt32(std::min<int64_t>(int64_t{rcWork.bottom} - rcWork.top, sizeView.cy))};
}

uint32_t RectArea(const CRect& rc)
{
    const int64_t w = std::max<int64_t>(int64_t{rc.right} - rc.left, 0);
    const int64_t h = std::max<int64_t>(int64_t{rc.bottom} - rc.top, 0);
    return static_cast<uint32_t>(std::min<uint64_t>(static_cast<uint64_t>(w) * static_cast<uint64_t>(h), 0xFFFFFFFFu));
}
