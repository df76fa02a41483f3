#pragma once
// The five-page "How To Play" guide for touch play over the paused level: each page a picture of the touch
// controls and a short text; each touch or press turns the page, and the press on the last page closes it.
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/core/V3.h"
#include "engine/net/RPC.h"
#include "game/overlays/Overlay.h"

class Skin;
class Texture;

class OverlayTutorial : public Overlay {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    static constexpr int PAGES = 5;

    OverlayTutorial();
    // Sends the construct call (to every peer), then runs it here.
    void construct();
    void local_construct();
    void renderContents() override;
    // Page turning, then the overlay's close rules.
    void tickContents(double time, double dt) override;
    // Rebuilds the page holder for the current page.
    void showPage();
    // The sheet frame of a page's picture: page + 1, with the first two exchanged when the arrows are on
    // the right side (placement 1).
    static int pictureFor(int page, int arrowPlacement);

    Texture* sheet = nullptr;      // shared resource
    KivBase* pageHolder = nullptr; // child; its children are the page's sprites
    int32_t page = 0;
    V3 picturePosition{0.0f, 50.0f, 0.0f};

private:
    Skin* frameSkin(int index) const;
};

class RPC_OverlayTutorial_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_OverlayTutorial_construct(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &OverlayTutorial::classRecord; }
    void invoke() override;
};
