#include "engine/text/FontResources.h"

#include <map>

namespace {
std::map<UString, Texture*>& textures()
{
    static std::map<UString, Texture*> registered;
    return registered;
}
} // namespace

Texture* FontResources::findTexture(const UString& name)
{
    const auto it = textures().find(name);
    return it == textures().end() ? nullptr : it->second;
}

bool FontResources::findCodePageTable(const UString& /*name*/, std::vector<std::uint8_t>& /*bytes*/) { return false; }

void FontResources::registerTexture(const UString& name, Texture* texture) { textures()[name] = texture; }

void FontResources::unregisterAll() { textures().clear(); }
