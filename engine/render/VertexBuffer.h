#pragma once
// An array of 24-byte vertices mirrored for the device. upload() copies the vertices for the device and
// counts one upload; draw() sends them with an engine primitive code (0 point list, 1 line list, 2 line
// strip, 3 triangle list, 4 triangle strip, 5 triangle fan) through the batcher.
#include <vector>

#include "engine/platform/video/GLDevice.h"

class VertexBuffer {
public:
    explicit VertexBuffer(int count = 0);

    void setVertexCount(int count);
    int getVertexCount() const { return static_cast<int>(vertices.size()); }
    // Writable access marks the vertices for a new upload.
    Vertex* getVertices()
    {
        bDirty = true;
        return vertices.data();
    }
    const Vertex* getVertices() const { return vertices.data(); }
    Vertex& operator[](int index)
    {
        bDirty = true;
        return vertices[static_cast<std::size_t>(index)];
    }

    void upload();
    // Draws with the world matrix (null: identity). The blend comes from the texture's alpha, the additive
    // switch and the first vertex's colour: a translucent first vertex turns alpha blending on.
    void draw(int primitive, const float* world16 = nullptr, TextureHandle texture = 0, bool textureAlpha = false,
              bool additive = false, bool wrap = false);

    // Sets every vertex's colour.
    void setColor(std::uint32_t argb);

private:
    std::vector<Vertex> vertices;
    bool bDirty = true;
};
