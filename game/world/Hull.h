#pragma once
// The collision outline of an object: HullVertex and HullSegment children, in order, in the owner's frame.
// Each run of joined segments collides as a chain; a one-way hull is solid from above only. The hull lives
// in the controller's hullList and is drawn only while editing with the hull guide on.
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/Reference.h"
#include "engine/net/RPC.h"

class A99Object;
class HullVertex;

class Hull : public KivBase {
public:
    static const RuntimeClass classRecord;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void render() override;
    void addPropertiesTo(Property& list) override;
    void netPostReplicate() override;

    // Creates and registers a vertex at the point; with `join` and a previous vertex, also the segment
    // from the previous vertex to the new one.
    HullVertex* addHullPoint(float x, float y, float z, bool join);
    // The runs of joined segments as point lists, in child order.
    std::vector<std::vector<V3>> getRuns() const;
    int countVertices() const;

    // The object the hull belongs to; empty once that object is deleted (an A99Object, or empty).
    A99Object* getOwner() const;
    Reference pOwner{this};
    bool bOneWay = false;
    bool bEnabled = true;
};
