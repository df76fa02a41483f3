#include "engine/core/KivRandom.h"

#include <chrono>

namespace {
uint32_t clockSeed()
{
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

uint32_t gSeed = clockSeed();
} // namespace

void KivRandom::setSeed(uint32_t seed) { gSeed = seed; }
uint32_t KivRandom::getSeed() { return gSeed; }
void KivRandom::seedFromClock() { gSeed = clockSeed(); }

uint32_t KivRandom::step()
{
    gSeed = gSeed * 214013u + 2531011u;
    return gSeed;
}

float KivRandom::nextFloat() { return static_cast<float>(step() >> 16) / 65536.0f; }

uint32_t KivRandom::next16() { return step() >> 16; }
