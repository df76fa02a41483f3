#pragma once
// The running level's statistics table over the paused level: apples, bonus apples, sweets, secrets,
// lives lost and time, each with its share of the 1000 points (green at full marks), and the total.
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/net/RPC.h"
#include "game/overlays/Overlay.h"

class Skin;

class OverlayStatistics : public Overlay {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    OverlayStatistics();
    // Sends the construct call (to every peer), then runs it here.
    void construct();
    void local_construct();
    void renderContents() override;
};

class RPC_OverlayStatistics_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_OverlayStatistics_construct(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &OverlayStatistics::classRecord; }
    void invoke() override;
};
