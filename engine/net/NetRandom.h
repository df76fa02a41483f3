#pragma once
// Draws for the network layer (host words, the first UID) from the engine's shared random generator.
#include <cstdint>

namespace NetRandom {
// A 32-bit value from two draws of the shared generator.
uint32_t drawWord();
// 0 .. count - 1.
int32_t drawBelow(int32_t count);
} // namespace NetRandom
