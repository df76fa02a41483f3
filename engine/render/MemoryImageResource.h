#pragma once
// An image kept as pixels in memory and registered by name with the resource manager (the minimap
// pictures): a MemoryImageFile that can hang in the object tree.
#include "engine/core/KivBase.h"
#include "engine/render/MemoryImageFile.h"

class MemoryImageResource : public KivBase, public MemoryImageFile {
public:
    MemoryImageResource(std::uint32_t flags, const UString& fileName) : MemoryImageFile(flags, fileName) {}
};
