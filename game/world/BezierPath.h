#pragma once
// An editable path of the level: vertices with tangents, cubic Bezier segments between neighbours and the
// total arc length. Points are relative to the path's position. Drawn while editing with the path guide on.
#include <vector>

#include "game/world/A99Object.h"

class BezierPath : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr int SAMPLES_PER_SEGMENT = 16;
    static constexpr int MAX_VERTICES = 1024;

    struct Vertex {
        V3 point;
        V3 tangent;
    };

    BezierPath();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    void afterEdit() override;
    void renderObject() override;

    // The world point at `arcLength` along the path and the heading there (radians). Beyond the ends the
    // ends are given; a path without segments gives its position and heading 0.
    void evaluateL(float arcLength, V3& point, float& heading) const;
    int segmentCount() const { return vertices.size() < 2 ? 0 : static_cast<int>(vertices.size()) - 1; }
    // Recomputes the arc-length table and totalLength.
    void computeLength();

    std::vector<Vertex> vertices;
    float totalLength = 0.0f;

protected:
    explicit BezierPath(LevelAccess::ListId home);

private:
    V3 pointOn(int segment, float t) const;

    // Arc length at each sample, SAMPLES_PER_SEGMENT per segment plus the end.
    std::vector<float> lengths;
};
