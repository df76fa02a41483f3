#include "engine/net/NetRandom.h"

#include "engine/core/KivRandom.h"

uint32_t NetRandom::drawWord()
{
    const uint32_t high = KivRandom::next16();
    return (high << 16) | KivRandom::next16();
}

int32_t NetRandom::drawBelow(int32_t count) { return static_cast<int32_t>(KivRandom::nextFloat() * count); }
