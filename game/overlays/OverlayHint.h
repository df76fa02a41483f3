#pragma once
// A hint box over the paused level, opened by a hint trigger: an optional title, icon and tutorial picture
// over a word-wrapped text with colour runs, on a panel sized to fit, with a footer that names the key
// which closes it.
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/net/RPC.h"
#include "game/overlays/Overlay.h"

class Skin;

class OverlayHint : public Overlay {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    // The wire limits of the title and the text: UTF-16 units, and UTF-8 bytes (exclusive).
    static constexpr int MAX_CHARS = 4096;
    static constexpr int MAX_UTF8_BYTES = 1024;

    OverlayHint();
    // The text cut down to the wire limits, never inside a surrogate pair.
    static UString clipForWire(const UString& text);
    // Sends the construct call (to every peer), then runs it here. Title and text longer than the wire
    // allows are clipped first.
    void construct(const UString& title, const UString& text, Skin* icon, int32_t pictureIndex);
    void local_construct(const UString& title, const UString& text, Skin* icon, int32_t pictureIndex);
    void renderContents() override;

private:
    // Moves the panel (of that size, built around the screen's centre) off a speech bubble the level shows.
    void keepClearOfBubble(float panelW, float panelH);
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
