#pragma once
// The world map's road: a ribbon one texture frame high laid along a BezierPathSimple from its start up to
// an arc length, with a vertex pair every 12 units, the texture "valleyDashedLine" repeating along it.
#include "engine/render/Renderable.h"

class BezierPathSimple;
class Quad;

class ValleyDashedLine : public Renderable {
public:
    static constexpr float STEP = 12.0f;

    ValleyDashedLine();

    // Lays the ribbon from the path's start to arc length L (below 0 counts as 0).
    void rebuild(const BezierPathSimple& path, float L);

    Quad* getQuad() const;
};
