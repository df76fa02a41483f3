#include "engine/render/SlicedSkin.h"

#include <algorithm>

#include "engine/render/Quad.h"
#include "engine/render/Renderable.h"
#include "engine/render/Texture.h"

const RuntimeClass SlicedSkin::classRecord(u"SlicedSkin", &Skin::classRecord, &RuntimeClass::factoryOf<SlicedSkin>);

SlicedSkin::SlicedSkin(Quad* source) : pSource(source)
{
    if (source != nullptr) {
        width = source->width;
        height = source->height;
    }
    rebuild();
}

void SlicedSkin::setBorders(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    borderLeft = std::max(0, left);
    borderTop = std::max(0, top);
    borderRight = std::max(0, right);
    borderBottom = std::max(0, bottom);
    rebuild();
}

void SlicedSkin::setSize(float w, float h)
{
    width = w > 0.0f ? w : (pSource != nullptr ? pSource->width : 0.0f);
    height = h > 0.0f ? h : (pSource != nullptr ? pSource->height : 0.0f);
    rebuild();
}

void SlicedSkin::rebuild()
{
    if (pSource == nullptr) {
        return;
    }
    const float sw = pSource->width, sh = pSource->height;
    // Borders never overlap: in the source, nor in a frame smaller than the two borders together.
    auto fit = [](float a, float b, float total) {
        const float sum = a + b;
        return sum > total && sum > 0.0f ? total / sum : 1.0f;
    };
    const float kSrcX = fit(static_cast<float>(borderLeft), static_cast<float>(borderRight), sw);
    const float kSrcY = fit(static_cast<float>(borderTop), static_cast<float>(borderBottom), sh);
    const float bl = borderLeft * kSrcX, br = borderRight * kSrcX, bt = borderTop * kSrcY, bb = borderBottom * kSrcY;
    const float kX = fit(bl, br, width), kY = fit(bt, bb, height);

    const float hw = width * 0.5f, hh = height * 0.5f;
    const float xs[4] = {-hw, -hw + bl * kX, hw - br * kX, hw};
    const float ys[4] = {hh, hh - bt * kY, -hh + bb * kY, -hh};
    const float du = sw > 0 ? (pSource->texRight - pSource->texLeft) / sw : 0.0f;
    const float dv = sh > 0 ? (pSource->texBottom - pSource->texTop) / sh : 0.0f;
    const float us[4] = {pSource->texLeft, pSource->texLeft + bl * du, pSource->texRight - br * du, pSource->texRight};
    const float vs[4] = {pSource->texTop, pSource->texTop + bt * dv, pSource->texBottom - bb * dv, pSource->texBottom};
    for (int row = 0; row < 3; ++row) {
        rows[row].setVertexCount(8);
        Vertex* v = rows[row].getVertices();
        for (int col = 0; col < 4; ++col) {
            v[col * 2] = {xs[col], ys[row], 0.0f, lastColor, us[col], vs[row]};
            v[col * 2 + 1] = {xs[col], ys[row + 1], 0.0f, lastColor, us[col], vs[row + 1]};
        }
        rows[row].upload();
    }
}

void SlicedSkin::draw(Renderable& renderable)
{
    if (pSource == nullptr) {
        return;
    }
    const std::uint32_t color = renderable.color.argb;
    if (color != lastColor) {
        lastColor = color;
        for (VertexBuffer& row : rows) {
            row.setColor(color);
        }
    }
    Matrix4 transform = renderable.world;
    applyOrigin(transform);
    Texture* texture = pSource->pTexture;
    const TextureHandle handle = texture != nullptr ? texture->getHandle() : 0;
    const bool alpha = texture != nullptr && texture->needsBlending();
    for (VertexBuffer& row : rows) {
        row.draw(4, transform.data(), handle, alpha, renderable.bAdditive);
    }
}
