#include "engine/render/Quad.h"

#include <cmath>

#include "engine/render/Renderable.h"
#include "engine/render/Texture.h"

const RuntimeClass Quad::classRecord(u"Quad", &Skin::classRecord, &RuntimeClass::factoryOf<Quad>);

Quad::Quad() { vertexBuffer.setVertexCount(4); }

void Quad::rebuild()
{
    if (pTexture != nullptr) {
        width = std::round(std::fabs(texRight - texLeft) * static_cast<float>(pTexture->width));
        height = std::round(std::fabs(texBottom - texTop) * static_cast<float>(pTexture->height));
    }
    if (vertexBuffer.getVertexCount() != 4) {
        vertexBuffer.setVertexCount(4);
    }
    const float hw = width * 0.5f, hh = height * 0.5f;
    Vertex* v = vertexBuffer.getVertices();
    v[0] = {-hw, hh, 0.0f, lastColor, texLeft, texTop};
    v[1] = {hw, hh, 0.0f, lastColor, texRight, texTop};
    v[2] = {-hw, -hh, 0.0f, lastColor, texLeft, texBottom};
    v[3] = {hw, -hh, 0.0f, lastColor, texRight, texBottom};
    vertexBuffer.upload();
}

void Quad::draw(Renderable& renderable)
{
    const std::uint32_t color = renderable.color.argb;
    if (color != lastColor) {
        lastColor = color;
        vertexBuffer.setColor(color);
    }
    Matrix4 transform = renderable.world;
    applyOrigin(transform);
    const TextureHandle handle = pTexture != nullptr ? pTexture->getHandle() : 0; // before the blend: may load
    const bool alpha = pTexture != nullptr && pTexture->needsBlending();
    vertexBuffer.draw(4, transform.data(), handle, alpha,
                      renderable.bAdditive, pTexture != nullptr && pTexture->bWrap);
}
