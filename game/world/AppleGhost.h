#pragma once
// The ghost of a lost apple: an effect that rises and fades for a second. It is neither saved nor
// replicated; it removes itself when done.
#include "engine/render/Renderable.h"

class Skin;

class AppleGhost : public Renderable {
public:
    static const RuntimeClass classRecord;
    static constexpr double LIFETIME = 1.0;   // s
    static constexpr float RISE_SPEED = 64.0f; // units/s

    AppleGhost() = default;
    AppleGhost(const V3& at, Skin* skin);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;

    double age = 0.0;
};
