#pragma once
// The drawn strip of a terrain decoration: the picture of a reference quad laid along the terrain's
// surface as a list of textured quads, repeating every tile width. A quarter of the strip lies above the
// surface; a fill strip reaches down to a floor instead.
#include "engine/render/Quad.h"

class Terrain;

class TerrainSkin : public Quad {
public:
    static const RuntimeClass classRecord;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void draw(Renderable& renderable) override;

    // Lays the strip along the terrain (in the terrain's frame): tiles of `tileWidth` units, `depth` units
    // thick, or down to `floorY` when fill is set.
    void build(const Terrain& terrain, const Quad& source, float tileWidth, float depth, bool fill, float floorY);
    int pieceCount() const { return vertexBuffer.getVertexCount() / 6; }
};
