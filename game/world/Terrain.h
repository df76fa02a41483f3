#pragma once
// A ground strip: segmentCount segments of segmentWidth units, centred on the position, with a height at
// each of the segmentCount + 1 points. Its hull follows the heights. Built by the replicated construct call
// with the segment width and count.
#include <vector>

#include "game/world/A99Object.h"

class LevelDataCheck;

class Terrain : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr int32_t MAX_SEGMENTS = 4096;
    static constexpr int32_t MAX_SEGMENT_WIDTH = 65536;

    Terrain();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    void afterEdit() override;

    void construct(int32_t width, int32_t count);
    virtual void local_construct(int32_t width, int32_t count);

    // The x of point i relative to the position.
    float pointX(int32_t i) const;
    // The height at x relative to the position (the end heights beyond the ends).
    float heightAt(float x) const;
    float halfWidth() const { return 0.5f * static_cast<float>(segmentWidth) * static_cast<float>(segmentCount); }
    // Moves the hull's points to the heights; makes the hull when there is none, and rebuilds it when the
    // number of points changed, where new objects may be registered.
    void updateHull();

    int32_t segmentWidth = 512;
    int32_t segmentCount = 16;
    std::vector<float> heights;
    // Grows with every change of the heights, so decorations know to follow.
    uint32_t revision = 0;

private:
    // The segment count within its range, the width too and no wider than the coordinates reach.
    void checkSegments(LevelDataCheck& check);
};

class RPC_Terrain_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_Terrain_construct(KivBase* target = nullptr, int32_t width = 512, int32_t count = 16);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &Terrain::classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    int32_t width;
    int32_t count;
};
