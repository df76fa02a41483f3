#pragma once
// The level map over the paused level: the level's map picture with the unexplored parts left out, and
// icons for the pig, the house, loose apples, baskets, winged hats and umbrellas in the explored parts.
// The map is a snapshot of the moment it was opened.
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/net/RPC.h"
#include "game/overlays/Overlay.h"

class PlayingArea;
class Skin;
class TextSprite;
class Texture;
struct V3;

class OverlayMiniMap : public Overlay {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    // A world point on the map: its explored-grid cell and its map position (left edge -128, right +128,
    // top +96, bottom -96); points outside the playing area land on its edge.
    struct MapPoint {
        int column = 0;
        int row = 0;
        float x = 0.0f;
        float y = 0.0f;
    };
    static MapPoint toMap(const PlayingArea& area, const V3& world);
    // 1 on large screens, 2 on phones.
    static float displayScale();
    // True when the level has its map picture; otherwise the log says why.
    static bool canOpen(int levelNumber);

    OverlayMiniMap();
    ~OverlayMiniMap() override;
    // Sends the construct call (to every peer), then runs it here.
    void construct();
    void local_construct();
    void renderContents() override;

    Texture* texture = nullptr;   // the masked map, owned
    TextSprite* footer = nullptr; // "Press M to continue", a child
};

class RPC_OverlayMiniMap_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_OverlayMiniMap_construct(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &OverlayMiniMap::classRecord; }
    void invoke() override;
};
