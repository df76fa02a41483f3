#include "engine/text/TextAlign.h"

TextAlign::Offset TextAlign::compute(std::uint32_t flags, int width, int lineHeight, int metricA, int metricB,
                                     float scaleX, float scaleY)
{
    int ox = 0, oy = 0;
    if (flags & RIGHT) {
        ox = -width;
    }
    if (flags & CENTER) {
        ox -= width / 2;
    }
    if (flags & VCENTER) {
        oy = lineHeight / 2;
    }
    if (flags & BOTTOM) {
        oy += lineHeight;
    }
    if (flags & RAISE_METRICS) {
        oy += (metricA + metricB) / 2;
    }
    if (flags & RAISE_METRICS2) {
        oy += metricB;
    }
    return {static_cast<float>(ox) * scaleX, static_cast<float>(oy) * scaleY};
}
