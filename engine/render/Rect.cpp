#include "engine/render/Rect.h"

#include "engine/render/VertexBuffer.h"

void Rect::drawLine(const V3& from, const V3& to, UColor fromColor) { drawLine(from, to, fromColor, fromColor); }

void Rect::drawLine(const V3& from, const V3& to, UColor fromColor, UColor toColor)
{
    VertexBuffer vb(2);
    vb[0] = {from.x, from.y, from.z, fromColor.argb, 0, 0};
    vb[1] = {to.x, to.y, to.z, toColor.argb, 0, 0};
    vb.draw(1);
}

void Rect::drawOutline(UColor color, float z) const
{
    VertexBuffer vb(5);
    vb[0] = {left, top, z, color.argb, 0, 0};
    vb[1] = {right, top, z, color.argb, 0, 0};
    vb[2] = {right, bottom, z, color.argb, 0, 0};
    vb[3] = {left, bottom, z, color.argb, 0, 0};
    vb[4] = vb[0];
    vb.draw(2);
}
