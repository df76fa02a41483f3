#pragma once
// The compass: its needle points to the nearest free apple, basket or the house.
#include "game/world/Cargo.h"

class Compass : public Cargo {
public:
    static const RuntimeClass classRecord;

    Compass();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void drawObject() override;
    void addPropertiesTo(Property& list) override;

    // The angle of the needle (radians, 0 pointing right, counter-clockwise).
    float needleAngle = 0.0f;
};
