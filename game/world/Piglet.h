#pragma once
// A piglet (types 2 to 4): no physics body; it follows the pig's path 0.3 s x (type - 1) behind and goes
// home with it.
#include "game/world/PigBody.h"

class Piglet : public PigBody {
public:
    static const RuntimeClass classRecord;
    static constexpr double FOLLOW_DELAY = 0.3; // s per place in the line

    Piglet();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void makeBody(PhysicsWorld& /*world*/) override {}

    bool bHome = false;
};
