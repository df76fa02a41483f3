#pragma once
// One cubic piece of a BezierPathSimple: the curve through p0, p0 + t0, p1 - t1, p1, its approximate
// length (a polyline through eight samples) and the direction of travel at those samples.
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/V3.h"

class BezierSimpleSegment : public KivBase {
public:
    static constexpr int SAMPLES = 8;

    BezierSimpleSegment(const V3& p0, const V3& t0, const V3& p1, const V3& t1);
    ~BezierSimpleSegment() override = default;

    // Debug drawing: the curve as points, both tangent handles and a moving direction line.
    void render() override;

    // Measures the length and fills the angle table.
    void recalc();
    // The direction of travel (radians) at curve parameter t, interpolated between the table's samples.
    float getAngle(float t) const;
    V3 pointAt(float t) const { return V3::bezier(p0, t0, p1, t1, t); }

    float length = 0.0f;
    V3 p0, t0, p1, t1;
    int n = SAMPLES;
    std::vector<float> angles;
};
