#include "game/world/TerrainSkin.h"

#include <algorithm>
#include <cmath>

#include "engine/render/Renderable.h"
#include "engine/render/Texture.h"
#include "game/world/Terrain.h"

const RuntimeClass TerrainSkin::classRecord(RuntimeClass::hashName(u"TerrainSkin"), &Quad::classRecord,
                                            &RuntimeClass::factoryOf<TerrainSkin>);

namespace {
// No strip is laid with more pieces than this.
constexpr int MAX_PIECES = 65536;
} // namespace

void TerrainSkin::build(const Terrain& terrain, const Quad& source, float tileWidth, float depth, bool fill,
                        float floorY)
{
    pTexture = source.pTexture;
    texLeft = source.texLeft;
    texTop = source.texTop;
    texRight = source.texRight;
    texBottom = source.texBottom;
    const float left = -terrain.halfWidth();
    const float right = terrain.halfWidth();
    const float segment = static_cast<float>(terrain.segmentWidth);
    // Cut points: every terrain point and every tile edge, so the strip follows the ground and each tile
    // maps the whole picture once.
    std::vector<float> cuts;
    for (float x = left; x <= right + 0.5f && cuts.size() < MAX_PIECES; x += segment) {
        cuts.push_back(x);
    }
    for (float x = left + tileWidth; x < right && cuts.size() < 2 * MAX_PIECES; x += tileWidth) {
        cuts.push_back(x);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end(), [](float a, float b) { return std::fabs(a - b) < 0.01f; }),
               cuts.end());
    const int pieces = std::max(0, static_cast<int>(cuts.size()) - 1);
    vertexBuffer.setVertexCount(pieces * 6);
    Vertex* v = vertexBuffer.getVertices();
    float minX = 0.0f, maxX = 0.0f, minY = 0.0f, maxY = 0.0f;
    for (int i = 0; i < pieces; ++i) {
        const float x0 = cuts[static_cast<std::size_t>(i)];
        const float x1 = cuts[static_cast<std::size_t>(i) + 1];
        const float tile = std::floor((0.5f * (x0 + x1) - left) / tileWidth);
        const float u0 = texLeft + (texRight - texLeft) * ((x0 - left) / tileWidth - tile);
        const float u1 = texLeft + (texRight - texLeft) * ((x1 - left) / tileWidth - tile);
        const float h0 = terrain.heightAt(x0);
        const float h1 = terrain.heightAt(x1);
        const float top0 = h0 + 0.25f * depth;
        const float top1 = h1 + 0.25f * depth;
        const float bottom0 = fill ? floorY : h0 - 0.75f * depth;
        const float bottom1 = fill ? floorY : h1 - 0.75f * depth;
        const Vertex corners[4] = {{x0, top0, 0.0f, 0xffffffffu, u0, texTop},
                                   {x1, top1, 0.0f, 0xffffffffu, u1, texTop},
                                   {x0, bottom0, 0.0f, 0xffffffffu, u0, texBottom},
                                   {x1, bottom1, 0.0f, 0xffffffffu, u1, texBottom}};
        Vertex* out = v + i * 6;
        out[0] = corners[0];
        out[1] = corners[1];
        out[2] = corners[2];
        out[3] = corners[2];
        out[4] = corners[1];
        out[5] = corners[3];
        minX = std::min(minX, x0);
        maxX = std::max(maxX, x1);
        minY = std::min({minY, bottom0, bottom1});
        maxY = std::max({maxY, top0, top1});
    }
    width = maxX - minX;
    height = maxY - minY;
    center = V3{0.5f * (minX + maxX), 0.5f * (minY + maxY), 0.0f};
    lastColor = 0xffffffffu;
}

void TerrainSkin::draw(Renderable& renderable)
{
    if (vertexBuffer.getVertexCount() == 0) {
        return;
    }
    const std::uint32_t colour = renderable.color.argb;
    if (colour != lastColor) {
        lastColor = colour;
        vertexBuffer.setColor(colour);
    }
    Matrix4 transform = renderable.world;
    const TextureHandle handle = pTexture != nullptr ? pTexture->getHandle() : 0;
    const bool alpha = pTexture != nullptr && pTexture->needsBlending();
    vertexBuffer.draw(3, transform.data(), handle, alpha, renderable.bAdditive, false);
}
