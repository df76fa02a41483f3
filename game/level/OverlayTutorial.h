#pragma once
// The touch-play guide over the paused level (its pages come with the in-level overlays).
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/net/RPC.h"
#include "game/level/Overlay.h"

class Skin;

class OverlayTutorial : public Overlay {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    OverlayTutorial();
    // Sends the construct call (to every peer), then runs it here.
    void construct();
    void local_construct();
    void renderContents() override;
};

class RPC_OverlayTutorial_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_OverlayTutorial_construct(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &OverlayTutorial::classRecord; }
    void invoke() override;
};
