#include "engine/render/VertexBuffer.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/render/KivGraphics.h"

VertexBuffer::VertexBuffer(int count) { setVertexCount(count); }

void VertexBuffer::setVertexCount(int count)
{
    KIV_ASSERT(count >= 0);
    vertices.resize(static_cast<std::size_t>(count), Vertex{0, 0, 0, 0xFFFFFFFFu, 0, 0});
    bDirty = true;
}

void VertexBuffer::setColor(std::uint32_t argb)
{
    for (Vertex& v : vertices) {
        v.color = argb;
    }
    bDirty = true;
}

void VertexBuffer::upload()
{
    bDirty = false;
    if (KivGraphics* graphics = KivGraphics::instance()) {
        graphics->countUpload();
    }
}

void VertexBuffer::draw(int primitive, const float* world16, TextureHandle texture, bool textureAlpha, bool additive,
                        bool wrap)
{
    if (primitive < 0 || primitive > 5) {
        KIV_FATAL(formatString(u"Unknown primitive type %d", primitive));
    }
    KivGraphics* graphics = KivGraphics::instance();
    if (graphics == nullptr || vertices.empty()) {
        return;
    }
    if (bDirty) {
        upload();
    }
    BlendMode blend = BlendMode::Opaque;
    if (additive) {
        blend = BlendMode::Additive;
    } else if (textureAlpha || (vertices[0].color >> 24) != 0xFF) {
        blend = BlendMode::Alpha;
    }
    graphics->draw(vertices.data(), static_cast<int>(vertices.size()), static_cast<Primitive>(primitive), world16,
                   texture, blend, wrap);
}
