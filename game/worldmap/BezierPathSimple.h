#pragma once
// A light path of cubic Bezier segments through points with tangents: the point at an arc length and the
// direction of travel there. Each point's tangent is used on both sides of it, so the path runs smoothly
// through its inner points. The world map uses it for the road between its level icons.
#include "engine/core/KivBase.h"
#include "engine/core/V3.h"

class BezierSimpleSegment;

class BezierPathSimple : public KivBase {
public:
    BezierPathSimple() = default;
    ~BezierPathSimple() override = default;

    // Debug drawing: the segments and a direction line running along the path.
    void render() override;

    // Appends a point; the first point only waits for the second.
    void addPoint(const V3& position, const V3& tangent);
    // Takes every point away.
    void clear();
    // The segment that holds arc length L and the curve parameter there (the fraction of its length).
    // Below 0 gives the first segment at 0, at or beyond the end the last one at 1; null without segments.
    BezierSimpleSegment* findSegment(float L, float* t = nullptr) const;
    // The point at arc length L, and the direction of travel there when `angle` is given. Fatal on a path
    // without segments.
    V3 evaluateL(float L, float* angle = nullptr) const;

    int countSegments() const { return segments.countChildren(); }
    BezierSimpleSegment* firstSegment() const;
    BezierSimpleSegment* lastSegment() const;

    KivBase segments; // the BezierSimpleSegment objects in path order
    float totalLength = 0.0f;
    bool bLooping = false;

private:
    V3 pendingPosition;
    V3 pendingTangent;
    bool bPending = false;
};
