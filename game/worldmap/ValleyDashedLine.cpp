#include "game/worldmap/ValleyDashedLine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/files/ResourceManager.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "game/worldmap/BezierPathSimple.h"

ValleyDashedLine::ValleyDashedLine()
{
    auto* quad = new Quad();
    quad->pTexture = ResourceManager::instance()->find<Texture>(u"valleyDashedLine");
    // The dashes repeat along the road rather than stretching.
    quad->pTexture->bWrap = true;
    quad->texRight = 1.0f;
    quad->texBottom = 1.0f;
    quad->rebuild();
    // The ribbon spans the whole map while the quad's own size is one frame: culling by that would lose it.
    bSkipVisibility = true;
    setSkin(quad, true);
}

Quad* ValleyDashedLine::getQuad() const { return static_cast<Quad*>(pSkin); }

void ValleyDashedLine::rebuild(const BezierPathSimple& path, float L)
{
    L = std::max(L, 0.0f);
    Quad* quad = getQuad();
    const Texture* texture = quad->pTexture;
    const int pairs = static_cast<int>(L / STEP + 2.0f);
    VertexBuffer& buffer = quad->vertexBuffer;
    buffer.setVertexCount(2 * pairs);
    const float frameHeight = texture->skins.empty() ? static_cast<float>(texture->height) : texture->skins[0]->height;
    const float halfWidth = 0.5f * frameHeight;
    const float texWidth = static_cast<float>(std::max(texture->width, 1));
    const float vBottom = frameHeight / static_cast<float>(std::max(texture->height, 1));
    const std::uint32_t argb = color.argb;
    Vertex* v = buffer.getVertices();
    for (int k = 0; k < pairs; ++k) {
        const float d = std::min(static_cast<float>(k) * STEP, L);
        float a = 0.0f;
        const V3 p = path.evaluateL(d, &a);
        for (int side = 0; side < 2; ++side) {
            const float s = a + (side == 0 ? 0.5f : -0.5f) * std::numbers::pi_v<float>;
            v[2 * k + side] = {p.x + std::cos(s) * halfWidth, p.y + std::sin(s) * halfWidth, p.z, argb,
                               d / texWidth, side == 0 ? 0.0f : vBottom};
        }
    }
    buffer.upload();
}
