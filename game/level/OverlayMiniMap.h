#pragma once
// The level map over the paused level (its map comes with the in-level overlays).
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/net/RPC.h"
#include "game/level/Overlay.h"

class Skin;

class OverlayMiniMap : public Overlay {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    OverlayMiniMap();
    // Sends the construct call (to every peer), then runs it here.
    void construct();
    void local_construct();
    void renderContents() override;
};

class RPC_OverlayMiniMap_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_OverlayMiniMap_construct(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &OverlayMiniMap::classRecord; }
    void invoke() override;
};
