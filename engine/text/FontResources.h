#pragma once
// How the fonts find their glyph pages and code-page tables among the loaded resources.
#include <cstdint>
#include <vector>

#include "engine/core/UString.h"

class Texture;

namespace FontResources {
// The registered texture of that name, or null.
Texture* findTexture(const UString& name);
// The bytes of the registered block of that name; false when there is none.
bool findCodePageTable(const UString& name, std::vector<std::uint8_t>& bytes);

// Registrations the fonts can use besides the resource manager (tools and tests).
void registerTexture(const UString& name, Texture* texture);
void unregisterAll();
} // namespace FontResources
