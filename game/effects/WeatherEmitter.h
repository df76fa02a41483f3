#pragma once
// Weather of a level: a fixed set of particles (128 x intensity) spread over a window of `spread` screens
// around the game camera. Particles leaving the window come back on the other side, so a few sprites fill
// the view wherever the camera goes. Rain and falling leaves differ in their sprites and motion.
#include <cstdint>
#include <memory>
#include <span>

#include "engine/core/KivBase.h"
#include "game/effects/WeatherParticle.h"

class Camera;
class Texture;

class WeatherEmitter : public KivBase {
public:
    // The particle count for an intensity: the whole part of 128 x intensity, held to 0..128 (a level file
    // may carry any intensity).
    static int countFor(float intensity);

    void render() override;

    std::span<WeatherParticle> all() { return {particles.get(), static_cast<std::size_t>(count)}; }

    Camera* camera = nullptr; // not owned
    std::unique_ptr<WeatherParticle[]> particles;
    int32_t count = 0;
    float spread = 1.0f;
    Texture* sheet = nullptr; // shared resource

protected:
    // Draws that a kind of weather adds to a particle, made right after the particle's own four.
    using ExtraDraws = void (*)(WeatherParticle& particle);

    // Finds the sheet and places the particles around the world origin: per particle four draws, then
    // `extraDraws` when given, so that one seed gives the same weather on every peer.
    WeatherEmitter(Camera* camera, float spread, float intensity, UStringView sheetName,
                   ExtraDraws extraDraws = nullptr);
    // Brings every particle back into the window around the camera (at most one window per frame).
    void wrap();
};
