#include "game/worldmap/BezierSimpleSegment.h"

#include <algorithm>
#include <cmath>

#include "engine/core/MathUtil.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Rect.h"
#include "engine/render/VertexBuffer.h"

BezierSimpleSegment::BezierSimpleSegment(const V3& p0_, const V3& t0_, const V3& p1_, const V3& t1_)
    : p0(p0_), t0(t0_), p1(p1_), t1(t1_)
{
    recalc();
}

void BezierSimpleSegment::recalc()
{
    angles.clear();
    angles.reserve(static_cast<std::size_t>(n));
    length = 0.0f;
    V3 prev = p0;
    for (int i = 0; i < n - 1; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(n - 1);
        const V3 a = pointAt(t);
        const V3 b = pointAt(t + 0.0078125f);
        angles.push_back(std::atan2(b.y - a.y, b.x - a.x));
        length += (a - prev).length();
        prev = a;
    }
    if (t1 == V3(0.0f, 0.0f, 0.0f)) {
        angles.push_back(std::atan2(p1.y - prev.y, p1.x - prev.x));
    } else {
        angles.push_back(std::atan2(t1.y, t1.x));
    }
    length += (p1 - prev).length();
}

float BezierSimpleSegment::getAngle(float t) const
{
    if (angles.empty()) {
        return 0.0f;
    }
    t = std::clamp(t, 0.0f, 1.0f);
    const int m = static_cast<int>(angles.size()) - 1;
    const float x = static_cast<float>(m) * t;
    const int i = static_cast<int>(x);
    if (i >= m) {
        return angles.back();
    }
    return interpolateAngle(angles[static_cast<std::size_t>(i)], angles[static_cast<std::size_t>(i) + 1],
                            x - static_cast<float>(i));
}

void BezierSimpleSegment::render()
{
    constexpr int POINTS = 32;
    VertexBuffer points(POINTS);
    for (int i = 0; i < POINTS; ++i) {
        const V3 p = pointAt(static_cast<float>(i) / static_cast<float>(POINTS - 1));
        points[i] = {p.x, p.y, p.z, 0xFFFF0000u, 0.0f, 0.0f};
    }
    points.upload();
    points.draw(0);
    Rect::drawLine(p0, p0 + t0, UColor(0xFF004000u), UColor(0xFF00FF00u));
    Rect::drawLine(p1, p1 + t1, UColor(0xFF004000u), UColor(0xFF00FF00u));
    const Kiv* kiv = Kiv::instance();
    const float t = kiv != nullptr ? static_cast<float>(std::fmod(kiv->time, 1.0)) : 0.0f;
    const V3 at = pointAt(t);
    const float a = getAngle(t);
    Rect::drawLine(at, at + V3(std::cos(a), std::sin(a), 0.0f) * 64.0f, UColor(0xFF004040u), UColor(0xFF00FFFFu));
}
