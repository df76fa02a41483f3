#pragma once
// A decoration laid along a terrain: a strip of the reference quad's picture (grass, soil, snow), repeating
// every skinSegments units and `depth` units thick, a quarter of it above the surface; a depth of 1 fills
// down to the playing area's floor. Built by the replicated construct call with the terrain, the picture
// and the two numbers; it follows the terrain when the terrain changes.
#include <memory>

#include "game/world/A99Object.h"

class Quad;
class Terrain;
class TerrainSkin;

class TerrainDeco : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr int32_t MAX_TILE = 65536;

    TerrainDeco();
    ~TerrainDeco() override;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    void afterEdit() override;
    void drawObject() override;

    void construct(Terrain* terrain, Quad* skin, int32_t segments, int32_t stripDepth);
    virtual void local_construct(Terrain* terrain, Quad* skin, int32_t segments, int32_t stripDepth);

    // Lays the strip again along the terrain.
    void rebuild();
    const TerrainSkin* getStrip() const { return strip.get(); }

    Terrain* pTerrain = nullptr;
    Quad* pSkinRefQuad = nullptr;
    int32_t skinSegments = 64;
    int32_t depth = 28;

private:
    std::unique_ptr<TerrainSkin> strip;
    uint32_t builtRevision = 0;
};

class RPC_TerrainDeco_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_TerrainDeco_construct(KivBase* target = nullptr, Terrain* terrain = nullptr, Quad* skin = nullptr,
                                       int32_t segments = 64, int32_t stripDepth = 28);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &TerrainDeco::classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    Terrain* terrain;
    Quad* skin;
    int32_t segments;
    int32_t stripDepth;
};
