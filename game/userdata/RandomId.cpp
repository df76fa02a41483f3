#include "game/userdata/RandomId.h"

#include "engine/core/KivRandom.h"

uint32_t drawRandomId()
{
    const uint32_t first = KivRandom::step();
    const uint32_t second = KivRandom::step();
    return (second & 0xFFFF0000u) | (first >> 16);
}
