#include "game/userdata/RandomId.h"

namespace {
// Stand-in for the engine's shared generator until it is available.
uint32_t seed = 1;
uint32_t draw()
{
    seed = seed * 214013u + 2531011u;
    return seed >> 16;
}
} // namespace

uint32_t drawRandomId()
{
    const uint32_t first = draw();
    const uint32_t second = draw();
    return (second << 16) | first;
}
