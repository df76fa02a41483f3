#pragma once
// Water, acid or thorns: the pig faints in it, apples are lost and cargo goes back to its start.
#include "game/world/TriggerArea.h"

class DangerArea : public TriggerArea {
public:
    static const RuntimeClass classRecord;
    enum Kind : int32_t { KIND_WATER, KIND_ACID, KIND_THORNS, KIND_COUNT };

    DangerArea();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void onHeroEnter(Pig* pig) override;

    int32_t kind = KIND_WATER;
};
