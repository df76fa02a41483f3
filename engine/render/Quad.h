#pragma once
// A skin that shows a rectangle of a texture: the texture, its source rectangle (left, top, right, bottom
// in texture coordinates) and the size in pixels. Drawn with the renderable's colour as a 4-vertex strip.
#include "engine/render/Skin.h"

class Texture;

class Quad : public Skin {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    Quad();

    // Size from the source rectangle and the texture, and the four vertices.
    void rebuild() override;
    void draw(Renderable& renderable) override;

    Texture* pTexture = nullptr;
    float texLeft = 0.0f, texTop = 0.0f, texRight = 0.0f, texBottom = 0.0f;

protected:
    std::uint32_t lastColor = 0xFFFFFFFFu;
};
