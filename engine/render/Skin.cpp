#include "engine/render/Skin.h"

#include "engine/render/Renderable.h"

const RuntimeClass Skin::classRecord(u"Skin", &KivBase::classRecord, &RuntimeClass::factoryOf<Skin>);

void Skin::applyOrigin(Matrix4& transform) const
{
    if (origin.x != 0.0f || origin.y != 0.0f || origin.z != 0.0f) {
        transform = Matrix4::translation(-origin.x, -origin.y, -origin.z) * transform;
    }
}

bool Skin::isPointInside(float x, float y, float /*z*/) const
{
    const float hw = width * 0.5f, hh = height * 0.5f;
    return x >= -hw && x < hw && y >= -hh && y < hh;
}

void Skin::draw(Renderable& /*renderable*/) {}

void Skin::setOriginByAlignment(int code)
{
    const float hw = width * 0.5f, hh = height * 0.5f;
    static const float dx[9] = {0, -1, 0, 1, -1, 0, 1, -1, 0};
    static const float dy[9] = {0, -1, -1, -1, 0, 0, 0, 1, 1};
    if (code < 0 || code > 8) {
        code = 0;
    }
    origin = V3(center.x + dx[code] * hw, center.y + dy[code] * hh, origin.z);
}
