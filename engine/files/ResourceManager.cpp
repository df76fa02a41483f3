#include "engine/files/ResourceManager.h"

namespace {
ResourceManager* gInstance = nullptr;
} // namespace

ResourceManager::ResourceManager() : previous(gInstance) { gInstance = this; }

ResourceManager::~ResourceManager()
{
    if (gInstance == this) {
        gInstance = previous;
    }
}

ResourceManager* ResourceManager::instance() { return gInstance; }

void ResourceManager::addResource(UStringView name, KivBase* object)
{
    const UString key(name);
    KIV_ASSERT(map.find(key) == map.end());
    map.emplace(key, object);
    names.emplace(object, key); // an object under several names keeps its first
}

KivBase* ResourceManager::find(UStringView name, bool fatal) const
{
    const auto found = map.find(name);
    if (found != map.end()) {
        return found->second;
    }
    if (fatal) {
        KIV_FATAL(formatString(u"Could not find resource '%s'.", name));
    }
    return nullptr;
}

const UString* ResourceManager::nameOf(const KivBase* object) const
{
    const auto found = names.find(object);
    return found != names.end() ? &found->second : nullptr;
}

void ResourceManager::wrongKind(UStringView name, const KivBase* object, const UString& kind)
{
    KIV_FATAL(formatString(u"Resource '%s' is a %s, not a %s.", name, object->getClass()->getName(), kind));
}
