#pragma once
// A drawable rectangle (a sprite frame) with its own vertex buffer: width and height in pixels, an origin
// (the offset of the drawn rectangle from the renderable's position) and a centre.
#include "engine/core/KivBase.h"
#include "engine/core/V3.h"
#include "engine/core/Matrix4.h"
#include "engine/render/VertexBuffer.h"

class Renderable;

class Skin : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    Skin() = default;

    // Moves the drawn rectangle by the origin: the drawing transform becomes translate(-origin) x transform.
    virtual void applyOrigin(Matrix4& transform) const;
    using KivBase::isPointInside;
    // True when the local point lies in the centred w x h rectangle (-w/2 <= x < w/2, the same for y).
    virtual bool isPointInside(float x, float y, float z) const;
    // Draws the skin with the renderable's transform and colour.
    virtual void draw(Renderable& renderable);
    virtual V3 getCenter() const { return center; }
    // Point hooks for skins that bend their rectangle; each returns the point unchanged by default.
    virtual V3 transformPoint(const V3& p) const { return p; }
    virtual V3 transformPoint2(const V3& p) const { return p; }
    virtual V3 transformPoint3(const V3& p) const { return p; }
    virtual V3 transformPoint4(const V3& p) const { return p; }
    // Rebuilds the vertices (Quad fills it in).
    virtual void rebuild() {}

    // Keypad-like codes: 0 and 5 centre, 1 (-w/2, -h/2), 2 (0, -h/2), 3 (+w/2, -h/2), 4 (-w/2, 0),
    // 6 (+w/2, 0), 7 (-w/2, +h/2), 8 (0, +h/2).
    void setOriginByAlignment(int code);

    float width = 0.0f;
    float height = 0.0f;
    V3 origin;
    V3 center;
    VertexBuffer vertexBuffer;
};
