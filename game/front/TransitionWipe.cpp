#include "game/front/TransitionWipe.h"

#include <cmath>
#include <vector>

#include "engine/render/KivGraphics.h"
#include "game/front/Global.h"

TransitionWipe::TransitionWipe() { bSkipVisibility = true; }

void TransitionWipe::tick(double time, double dt)
{
    const float step = static_cast<float>(dt);
    if (level < targetLevel) {
        level = level + step >= targetLevel ? targetLevel : level + step;
    } else if (level > targetLevel) {
        level = level - step <= targetLevel ? targetLevel : level - step;
    }
    Renderable::tick(time, dt);
}

float TransitionWipe::shapeFactor(int i)
{
    constexpr float PI = 3.14159265358979f;
    const float t = 2.0f * PI * static_cast<float>(i) / static_cast<float>(STEPS - 1);
    const float s2 = std::sin(2.0f * t);
    float k = t < PI ? 1.0f + 0.5f * s2 * s2 : 1.0f + 0.25f * s2 * s2;
    if (i == 31 || i == 33) {
        k = 1.5f;
    } else if (i == 32) {
        k = 1.48f;
    }
    if (i == 95 || i == 97) {
        k *= 0.97f;
    } else if (i == 96) {
        k *= 0.92f;
    }
    return k;
}

void TransitionWipe::render()
{
    KivGraphics* graphics = KivGraphics::instance();
    if (level == 0.0f || graphics == nullptr) {
        return;
    }
    constexpr float PI = 3.14159265358979f;
    const float hw = static_cast<float>(graphics->width / 2);
    const float hh = static_cast<float>(graphics->height / 2);
    const float radius = std::sqrt(hw * hw + hh * hh);
    const float open = 1.0f - level;

    std::vector<Vertex> ring(2 * STEPS);
    std::vector<Vertex> edge(2 * STEPS);
    for (int i = 0; i < STEPS; ++i) {
        const float t = 2.0f * PI * static_cast<float>(i) / static_cast<float>(STEPS - 1);
        const float c = std::cos(t), s = std::sin(t);
        const float k = shapeFactor(i);
        const float inner = k * radius * open;
        const float soft = (k - 0.1f) * radius * open;
        ring[2 * i] = Vertex{radius * c, radius * s, 0.0f, 0xFF000000u, 0.0f, 0.0f};
        ring[2 * i + 1] = Vertex{inner * c, inner * s, 0.0f, 0xFF000000u, 0.0f, 0.0f};
        edge[2 * i] = Vertex{inner * c, inner * s, 0.0f, 0xFF000000u, 0.0f, 0.0f};
        edge[2 * i + 1] = Vertex{soft * c, soft * s, 0.0f, 0x00000000u, 0.0f, 0.0f};
    }
    rotation = V3(0.0f, 0.0f, level * 2.0f * PI);
    updateVisuals();
    graphics->draw(ring.data(), static_cast<int>(ring.size()), Primitive::TriangleStrip, world.data(), 0,
                   BlendMode::Opaque);
    const Global* global = Global::instance();
    if (global == nullptr || global->config.detail >= 1) {
        graphics->draw(edge.data(), static_cast<int>(edge.size()), Primitive::TriangleStrip, world.data(), 0,
                       BlendMode::Alpha);
    }
}
