#include "game/effects/PathMesh.h"

#include <algorithm>
#include <cmath>

#include "engine/render/Texture.h"
#include "game/world/BezierPath.h"

namespace {
constexpr float PI = 3.14159265358979f;
}

PathMesh::PathMesh(BezierPath* path_) : path(path_)
{
    vertexBuffer.setVertexCount(2 * segments);
    update();
}

float PathMesh::sampleFraction(int i) const
{
    return segments > 1 ? static_cast<float>(i) / static_cast<float>(segments - 1) : 0.0f;
}

void PathMesh::setSegments(int32_t count)
{
    segments = std::max(count, 1);
    vertexBuffer.setVertexCount(2 * segments);
    writeTextureCoordinates();
    update();
}

void PathMesh::setSkin(Quad* source_)
{
    if (source_ == nullptr) {
        return;
    }
    source = source_;
    pTexture = source->pTexture;
    texLeft = source->texLeft;
    texTop = source->texTop;
    texRight = source->texRight;
    texBottom = source->texBottom;
    writeTextureCoordinates();
    update();
}

void PathMesh::writeTextureCoordinates()
{
    if (source == nullptr) {
        return;
    }
    const float length = path != nullptr ? path->totalLength : 0.0f;
    Vertex* v = vertexBuffer.getVertices();
    for (int i = 0; i < segments; ++i) {
        const float f = sampleFraction(i);
        float u = texRight + (texLeft - texRight) * f;
        if (bMap1to1) {
            u = source->width > 0.0f ? length / source->width * (1.0f - f) : 0.0f;
        }
        v[2 * i].u = u;
        v[2 * i].v = texTop;
        v[2 * i].color = 0xFFFFFFFFu;
        v[2 * i + 1].u = u;
        v[2 * i + 1].v = texBottom;
        v[2 * i + 1].color = 0xFFFFFFFFu;
    }
    lastColor = 0xFFFFFFFFu;
}

void PathMesh::update()
{
    if (source == nullptr || path == nullptr) {
        return;
    }
    const float hq = source->height;
    const float length = path->totalLength;
    float bx = 0.0f;
    float by = 0.0f;
    Vertex* v = vertexBuffer.getVertices();
    for (int i = 0; i < segments; ++i) {
        const float f = sampleFraction(i);
        const float w = thicknessScale * (1.0f - bulge + bulge * std::sin(PI * f));
        V3 p;
        float heading = 0.0f;
        path->evaluateL(length * f, p, heading);
        p = p - path->position;
        const float a = heading + PI / 2.0f;
        const V3 n(std::cos(a), std::sin(a), 0.0f);
        const V3 outer = p + n * (offCentre * w * hq);
        const V3 inner = p - n * ((1.0f - offCentre) * hq * w);
        v[2 * i].x = outer.x;
        v[2 * i].y = outer.y;
        v[2 * i].z = outer.z;
        v[2 * i + 1].x = inner.x;
        v[2 * i + 1].y = inner.y;
        v[2 * i + 1].z = inner.z;
        bx = std::max(bx, std::fabs(p.x));
        by = std::max(by, std::fabs(p.y));
    }
    bx += thicknessScale * hq * 0.5f;
    by += thicknessScale * hq * 0.5f;
    width = 2.0f * bx;
    height = 2.0f * by;
    if (vertexBuffer.getVertexCount() > 0) {
        vertexBuffer.upload();
    }
}

void PathMesh::rebuild() { update(); }

bool PathMesh::isPointInside(float x, float y, float z) const
{
    if (!Skin::isPointInside(x, y, z) || source == nullptr) {
        return false;
    }
    const float radius = source->height * thicknessScale * 0.5f;
    const Vertex* v = vertexBuffer.getVertices();
    for (int i = 0; i < segments; ++i) {
        const float mx = (v[2 * i].x + v[2 * i + 1].x) * 0.5f;
        const float my = (v[2 * i].y + v[2 * i + 1].y) * 0.5f;
        const float mz = (v[2 * i].z + v[2 * i + 1].z) * 0.5f;
        const float dx = x - mx, dy = y - my, dz = z - mz;
        if (dx * dx + dy * dy + dz * dz < radius * radius) {
            return true;
        }
    }
    return false;
}
