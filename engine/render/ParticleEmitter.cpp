#include "engine/render/ParticleEmitter.h"

#include <cmath>

#include "engine/core/KivRandom.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"

const RuntimeClass ParticleEmitter::classRecord(u"ParticleEmitter", &KivBase::classRecord,
                                                &RuntimeClass::factoryOf<ParticleEmitter>);

Skin* ParticleEmitter::getGlintSkin()
{
    const ResourceManager* resources = ResourceManager::instance();
    return resources != nullptr ? dynamic_cast<Skin*>(resources->find(u"glint:0", false)) : nullptr;
}

ParticleEmitter::ParticleEmitter(int count, const V3& position, float minSpeed, float maxSpeed, float direction,
                                 float spread, UColor color_, double time)
    : color(color_), lifeTime(time)
{
    particles.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        Particle p;
        p.position = position;
        const float speed = minSpeed + (maxSpeed - minSpeed) * KivRandom::nextFloat();
        const float angle = direction + (2.0f * KivRandom::nextFloat() - 1.0f) * spread * 0.5f;
        p.velocity = V3(std::cos(angle) * speed, std::sin(angle) * speed, 0.0f);
        particles.push_back(p);
    }
}

void ParticleEmitter::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    std::size_t alive = 0;
    for (Particle& p : particles) {
        p.age += dt;
        p.position += p.velocity * static_cast<float>(dt);
        if (p.age < lifeTime) {
            particles[alive++] = p;
        }
    }
    particles.resize(alive);
    if (particles.empty()) {
        bDeleted = true;
    }
}

void ParticleEmitter::render()
{
    if (Skin* glint = getGlintSkin(); glint != nullptr && !particles.empty()) {
        sprite.pSkin = glint;
        sprite.color = color;
        for (const Particle& p : particles) {
            sprite.setPosition(p.position);
            sprite.render();
        }
        sprite.pSkin = nullptr;
    }
    KivBase::render();
}
