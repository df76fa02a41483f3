#pragma once
// Random 32-bit ids of the installation and of the players, from two draws of the engine's shared random
// generator: the second draw makes the upper half, the first the lower half.
#include <cstdint>

uint32_t drawRandomId();
