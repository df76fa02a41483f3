#pragma once
// A path that draws a texture bent along itself (a vine, a rope, a bridge of planks). Its properties feed
// the path mesh: the reference quad, the number of samples, a 1:1 texture mapping, the thickness, the
// bulge and the off-centre. The mesh is the path's own drawing, kept beside the level-file skin.
#include <memory>

#include "game/world/BezierPath.h"

class PathMesh;
class Quad;

class PathSkin : public BezierPath {
public:
    static const RuntimeClass classRecord;
    static constexpr int32_t MAX_SEGMENTS = 4096;

    PathSkin();
    ~PathSkin() override;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    // Feeds the properties to the mesh.
    void afterEdit() override;
    void drawObject() override;

    Quad* pRefQuad = nullptr;
    int32_t deformSegments = 8;
    bool bSkinMap1to1 = false;
    float skinThicknessScale = 1.0f;
    float skinBulge = 0.0f;
    float skinOffcenter = 0.5f;
    std::unique_ptr<PathMesh> mesh;
};
