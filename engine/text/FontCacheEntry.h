#pragma once
// One string rendered into a font cache's texture: where it lies and how large it is.
#include <cstdint>

#include "engine/core/UString.h"

struct FontCacheEntry {
    UString text;
    int x = 0; // place in the cache texture, pixels
    int y = 0;
    int width = 0; // size of the rendered string, pixels
    int height = 0;
    std::uint64_t lastUse = 0;
};
