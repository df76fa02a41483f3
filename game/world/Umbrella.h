#pragma once
// The umbrella: carried, it opens when the pig falls and caps the fall at 2.5 m/s; a pig that carries it
// does not faint on landing. Drawn as a frame of "details1" (furled and open).
#include "game/world/Cargo.h"

class Umbrella : public Cargo {
public:
    static const RuntimeClass classRecord;
    static constexpr float FALL_SPEED = 2.5f; // m/s

    Umbrella();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void afterEdit() override;

    // Opens ("umbrellaOpen") or closes; shows the matching frame.
    void setOpen(bool open);

    bool bOpen = false;
};
