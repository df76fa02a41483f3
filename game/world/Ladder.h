#pragma once
// A ladder: inside its area the pig's own action makes it climb.
#include "game/world/TriggerArea.h"

class Ladder : public TriggerArea {
public:
    static const RuntimeClass classRecord;

    Ladder();

    const RuntimeClass* getClass() const override { return &classRecord; }
};
