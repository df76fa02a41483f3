#include "engine/text/FontResources.h"

#include "engine/files/FileBlock.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Texture.h"

Texture* FontResources::findTexture(const UString& name)
{
    const ResourceManager* resources = ResourceManager::instance();
    return resources != nullptr ? dynamic_cast<Texture*>(resources->find(name, false)) : nullptr;
}

bool FontResources::findCodePageTable(const UString& name, std::vector<std::uint8_t>& bytes)
{
    const ResourceManager* resources = ResourceManager::instance();
    const auto* block = resources != nullptr ? dynamic_cast<FileBlock*>(resources->find(name, false)) : nullptr;
    if (block == nullptr || block->data() == nullptr) {
        return false;
    }
    bytes.assign(block->data(), block->data() + block->size());
    return true;
}
