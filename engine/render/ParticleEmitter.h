#pragma once
// A burst of glint particles: count particles at a position, each with a speed between the two speeds
// and a direction of direction + (2r - 1) x spread / 2 (r from the shared random generator), in one
// colour, living for the given time. Drawn with the sprite "glint"; the emitter lives while its
// particles live.
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/UColor.h"
#include "engine/core/V3.h"
#include "engine/render/Renderable.h"

class Skin;

class ParticleEmitter : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    struct Particle {
        V3 position;
        V3 velocity;
        double age = 0.0;
    };

    ParticleEmitter() = default;
    ParticleEmitter(int count, const V3& position, float minSpeed, float maxSpeed, float direction, float spread,
                    UColor color, double time);

    // The sprite the particles are drawn with: the registered frame "glint:0".
    static Skin* getGlintSkin();

    void tick(double time, double dt) override;
    void render() override;

    const std::vector<Particle>& getParticles() const { return particles; }

    UColor color;
    double lifeTime = 1.0;

private:
    std::vector<Particle> particles;
    Renderable sprite;
};
