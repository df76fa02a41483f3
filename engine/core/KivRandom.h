#pragma once
// The shared random generator: one process-wide 32-bit seed; each draw sets
// seed = seed * 214013 + 2531011 (modulo 2^32). Sounds, particles, the sky, the weather and the
// identifiers of players and installations draw from it, in a fixed order, so a given seed replays the
// same sequence. It is seeded from the clock at start-up and may be set by code.
#include <cstdint>

class KivRandom {
public:
    static void setSeed(uint32_t seed);
    static uint32_t getSeed();
    static void seedFromClock();

    // One step; returns the new seed.
    static uint32_t step();
    // One step; (seed >> 16) / 65536, in [0, 1).
    static float nextFloat();
    // One step; seed >> 16, 0 to 65535.
    static uint32_t next16();
};
