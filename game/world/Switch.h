#pragma once
// A lever or button: use flips it, tells its target (onSwitched) and shows the target with the camera.
// A button goes on once and stays on.
#include "engine/core/Reference.h"
#include "game/world/A99Object.h"

class Switch : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr float QUERY_RANGE = 96.0f;
    static constexpr double SHOW_TIME = 1.5;  // s to the target and back
    static constexpr double HOLD_TIME = 1.0;  // s on the target

    Switch();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    void afterEdit() override;

    bool queryAction(const V3& hero, int32_t& priority, float& distance) override;
    void use(Pig* pig) override;

    A99Object* getTarget() const { return pTarget.getAs<A99Object>(); }

    Reference pTarget{this};
    bool bOn = false;
    bool bButton = false;
};
