#pragma once
// A skin that draws a source Quad as a stretchable 3 x 3 frame: the corners keep their size, the edges
// stretch along one axis and the middle along both. Three triangle strips of eight vertices.
#include "engine/render/Skin.h"

class Quad;

class SlicedSkin : public Skin {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    SlicedSkin() = default;
    explicit SlicedSkin(Quad* source);

    // Border widths of the source in pixels.
    void setBorders(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Rebuilds the frame for that size; a value of 0 or less keeps the source's size in that direction.
    void setSize(float w, float h);
    void rebuild() override;
    void draw(Renderable& renderable) override;

    Quad* pSource = nullptr;
    int32_t borderLeft = 0, borderTop = 0, borderRight = 0, borderBottom = 0;

private:
    VertexBuffer rows[3];
    std::uint32_t lastColor = 0xFFFFFFFFu;
};
