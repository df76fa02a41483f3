#pragma once
// A sweet: the pig picks it up by touching it (50 points, "sweetPickup"); then it is gone.
#include "game/world/A99Object.h"

class Sweet : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr int32_t POINTS = 50;
    static constexpr float PICKUP_RADIUS = 40.0f;

    Sweet();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void afterEdit() override;

    bool bCollected = false;
};
