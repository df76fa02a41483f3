#pragma once
// How the fonts find their glyph pages and code-page tables among the registered resources.
#include <cstdint>
#include <vector>

#include "engine/core/UString.h"

class Texture;

namespace FontResources {
// The registered texture of that name, or null.
Texture* findTexture(const UString& name);
// The bytes of the registered file block of that name; false when there is none.
bool findCodePageTable(const UString& name, std::vector<std::uint8_t>& bytes);
} // namespace FontResources
