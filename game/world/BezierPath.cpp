#include "game/world/BezierPath.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"
#include "engine/core/PropertyArrayBase.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyFloat.h"
#include "engine/render/Rect.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass BezierPath::classRecord(RuntimeClass::hashName(u"BezierPath"), &A99Object::classRecord,
                                           &RuntimeClass::factoryOf<BezierPath>);

namespace {
Property* vertexProperty(UStringView name, BezierPath::Vertex& v)
{
    auto* group = new PropertyContainer(name, 0);
    group->appendChild(new PropertyFloat(u"x", 0, &v.point.x));
    group->appendChild(new PropertyFloat(u"y", 0, &v.point.y));
    group->appendChild(new PropertyFloat(u"z", 0, &v.point.z));
    group->appendChild(new PropertyFloat(u"tx", 0, &v.tangent.x));
    group->appendChild(new PropertyFloat(u"ty", 0, &v.tangent.y));
    group->appendChild(new PropertyFloat(u"tz", 0, &v.tangent.z));
    return group;
}
} // namespace

BezierPath::BezierPath() : BezierPath(LevelAccess::OBJECT_LIST) {}

BezierPath::BezierPath(LevelAccess::ListId home) : A99Object(home) {}

void BezierPath::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(new PropertyArray<Vertex>(u"vertices", 0, &vertices, &vertexProperty));
    list.appendChild(new PropertyFloat(u"totalLength", Property::FLAG_READONLY, &totalLength));
}

void BezierPath::checkValues(const LevelDataCheck::Run& run)
{
    A99Object::checkValues(run);
    LevelDataCheck check(*this, run);
    if (vertices.size() > static_cast<std::size_t>(MAX_VERTICES)) {
        check.warn(u"vertices", formatString(u"holds %d points; cut to %d.", static_cast<int>(vertices.size()), MAX_VERTICES));
        vertices.resize(MAX_VERTICES);
    }
    for (Vertex& v : vertices) {
        check.coordinate(u"vertices.x", v.point.x);
        check.coordinate(u"vertices.y", v.point.y);
        check.coordinate(u"vertices.z", v.point.z);
        check.coordinate(u"vertices.tx", v.tangent.x);
        check.coordinate(u"vertices.ty", v.tangent.y);
        check.coordinate(u"vertices.tz", v.tangent.z);
    }
}

void BezierPath::afterEdit()
{
    computeLength();
    A99Object::afterEdit();
}

V3 BezierPath::pointOn(int segment, float t) const
{
    const Vertex& a = vertices[static_cast<std::size_t>(segment)];
    const Vertex& b = vertices[static_cast<std::size_t>(segment) + 1];
    return V3::bezier(a.point, a.tangent, b.point, b.tangent, t);
}

void BezierPath::computeLength()
{
    lengths.clear();
    totalLength = 0.0f;
    const int segments = segmentCount();
    if (segments == 0) {
        return;
    }
    lengths.reserve(static_cast<std::size_t>(segments * SAMPLES_PER_SEGMENT + 1));
    lengths.push_back(0.0f);
    V3 previous = vertices[0].point;
    for (int s = 0; s < segments; ++s) {
        for (int i = 1; i <= SAMPLES_PER_SEGMENT; ++i) {
            const V3 p = pointOn(s, static_cast<float>(i) / SAMPLES_PER_SEGMENT);
            totalLength += std::hypot(p.x - previous.x, p.y - previous.y);
            lengths.push_back(totalLength);
            previous = p;
        }
    }
}

void BezierPath::evaluateL(float arcLength, V3& point, float& heading) const
{
    const int segments = segmentCount();
    if (segments == 0 || lengths.size() != static_cast<std::size_t>(segments * SAMPLES_PER_SEGMENT + 1)) {
        // Nothing to follow: the path's own place.
        point = vertices.empty() ? position : position + vertices[0].point;
        heading = 0.0f;
        return;
    }
    const float l = std::isfinite(arcLength) ? std::clamp(arcLength, 0.0f, totalLength) : 0.0f;
    const auto it = std::upper_bound(lengths.begin(), lengths.end(), l);
    const std::size_t hi = std::min(static_cast<std::size_t>(it - lengths.begin()), lengths.size() - 1);
    const std::size_t lo = hi > 0 ? hi - 1 : 0;
    const float span = lengths[hi] - lengths[lo];
    const float f = span > 0.0f ? (l - lengths[lo]) / span : 0.0f;
    const float sample = static_cast<float>(lo) + f;
    int segment = static_cast<int>(sample) / SAMPLES_PER_SEGMENT;
    segment = std::min(segment, segments - 1);
    const float t = std::clamp((sample - static_cast<float>(segment * SAMPLES_PER_SEGMENT)) / SAMPLES_PER_SEGMENT, 0.0f, 1.0f);
    const V3 p = pointOn(segment, t);
    const float dt = 1.0f / (4.0f * SAMPLES_PER_SEGMENT);
    const V3 a = pointOn(segment, std::max(0.0f, t - dt));
    const V3 b = pointOn(segment, std::min(1.0f, t + dt));
    heading = std::atan2(b.y - a.y, b.x - a.x);
    point = position + p;
}

void BezierPath::renderObject()
{
    A99Object::renderObject();
    if (!LevelAccess::showGuide(LevelAccess::SHOW_BEZIER_PATHS)) {
        return;
    }
    for (int s = 0; s < segmentCount(); ++s) {
        V3 previous = position + pointOn(s, 0.0f);
        for (int i = 1; i <= SAMPLES_PER_SEGMENT; ++i) {
            const V3 p = position + pointOn(s, static_cast<float>(i) / SAMPLES_PER_SEGMENT);
            Rect::drawLine(previous, p, UColor(0xffff80ffu));
            previous = p;
        }
    }
}
