#pragma once
// A secret place: the first time the pig enters it, it counts as found (500 points, "secretArea", the
// SECRETAREA message).
#include "game/world/TriggerArea.h"

class SecretArea : public TriggerArea {
public:
    static const RuntimeClass classRecord;
    static constexpr int32_t POINTS = 500;

    SecretArea();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void onHeroEnter(Pig* pig) override;

    bool bFound = false;
};
