#pragma once
// The skin of a path skin: a strip of quads laid along a Bezier path, two vertices per sample, textured
// with the picture of a reference quad. The strip is thickness x the quad's height thick, can pinch
// towards both ends (bulge) and can lie off the path's centre line (off-centre).
#include <cstdint>

#include "engine/render/Quad.h"

class BezierPath;

class PathMesh : public Quad {
public:
    explicit PathMesh(BezierPath* path);

    // Takes the source quad's texture and rectangle, writes the texture coordinates of every sample, then
    // updates. Null keeps the mesh as it is.
    void setSkin(Quad* source);
    // Sets the number of samples (at least 1) and updates.
    void setSegments(int32_t count);
    // Recomputes every vertex position and the bounds from the path (nothing without a source quad).
    void update();
    // True inside the bounds and within half the strip's thickness of a sample's centre.
    bool isPointInside(float x, float y, float z) const override;
    // The vertices are the mesh's own: a rebuild updates them from the path.
    void rebuild() override;

    BezierPath* path;
    Quad* source = nullptr; // not owned
    int32_t segments = 8;
    bool bMap1to1 = false;
    float thicknessScale = 1.0f;
    float bulge = 0.0f;
    float offCentre = 0.5f;

private:
    float sampleFraction(int i) const;
    void writeTextureCoordinates();
};
