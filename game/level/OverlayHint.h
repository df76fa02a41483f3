#pragma once
// A hint box over the paused level, opened by a hint trigger (its box comes with the in-level
// overlays).
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/net/RPC.h"
#include "game/level/Overlay.h"

class Skin;

class OverlayHint : public Overlay {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    OverlayHint();
    // Sends the construct call (to every peer), then runs it here.
    void construct(const UString& title, const UString& text, Skin* icon, int32_t pictureIndex);
    void local_construct(const UString& title, const UString& text, Skin* icon, int32_t pictureIndex);
    void renderContents() override;
};

// Title and text (at most 4096 characters each), icon (resource name), picture index (var int).
class RPC_OverlayHint_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_OverlayHint_construct(KivBase* target = nullptr, const UString& title = {}, const UString& text = {},
                                  Skin* icon = nullptr, int32_t pictureIndex = -1);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &OverlayHint::classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    UString title;
    UString text;
    Skin* icon;
    int32_t pictureIndex;
};
