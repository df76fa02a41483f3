#pragma once
// A segment of a hull between two of its vertices.
#include "engine/core/KivBase.h"

class HullVertex;

class HullSegment : public KivBase {
public:
    static const RuntimeClass classRecord;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;

    HullVertex* pFrom = nullptr;
    HullVertex* pTo = nullptr;
};
