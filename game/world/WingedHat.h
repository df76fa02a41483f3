#pragma once
// The winged hat: carried on the pig's head, it makes the pig jump 1.5 times as high.
#include "game/world/Cargo.h"

class WingedHat : public Cargo {
public:
    static const RuntimeClass classRecord;

    WingedHat();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void use(Pig* pig) override;
    void afterEdit() override;
};
