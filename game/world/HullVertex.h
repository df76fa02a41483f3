#pragma once
// One point of a hull, in the owner's frame.
#include "engine/core/KivBase.h"

class HullVertex : public KivBase {
public:
    static const RuntimeClass classRecord;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;

    V3 point;
};
