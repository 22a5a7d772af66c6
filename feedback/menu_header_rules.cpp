#include "feedback/menu_header_rules.h"

namespace {

// 0xRR becomes 0xRR00: the 16-bit channel GDI expects.
HeaderVertex Vertex(int32_t x, int32_t y, uint32_t color)
{
    HeaderVertex v;
    v.x = x;
    v.y = y;
    v.red = static_cast<uint16_t>((color & 0xFFu) << 8);
    v.green = static_cast<uint16_t>(((color >> 8) & 0xFFu) << 8);
    v.blue = static_cast<uint16_t>(((color >> 16) & 0xFFu) << 8);
    v.alpha = 0xFF00;
    return v;
}

}  // namespace

HeaderGradient PlanHeaderGradient(uint32_t captionColor, uint32_t gradientColor, const CRect& rcItem)
{
    return {Vertex(0, 0, captionColor), Vertex(rcItem.right, rcItem.bottom, gradientColor)};
}

CSize HeaderItemSize(const CRect& rcText, int32_t nAir)
{
    return {rcText.Width(), rcText.Height() + 2 * nAir};
}
