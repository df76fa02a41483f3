#pragma once
// Dynamite and the like: switched, it blows up ("explosion", "explosionSound") and its hull is gone.
#include "game/world/A99Object.h"

class Explodable : public A99Object {
public:
    static const RuntimeClass classRecord;

    Explodable();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void afterEdit() override;
    void makeBody(PhysicsWorld& world) override;
    void onSwitched(bool on) override;

    void explode();

    bool bExploded = false;
};
