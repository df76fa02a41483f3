#pragma once
// A telescope: use shows a spot of the level (lookAt) for holdTime seconds, then the view returns to the
// pig; each way takes 1.5 s.
#include "game/world/A99Object.h"

class Telescope : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr float QUERY_RANGE = 96.0f;
    static constexpr double TRANSITION = 1.5; // s

    Telescope();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;

    bool queryAction(const V3& hero, int32_t& priority, float& distance) override;
    void use(Pig* pig) override;

    V3 lookAt;
    float holdTime = 2.0f;
};
