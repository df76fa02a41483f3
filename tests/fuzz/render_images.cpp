// Feeds arbitrary bytes to the TGA, BMP and JPG decoders: every input must either decode or end in the
// engine's fatal error, never in undefined behaviour.
#include <cstddef>
#include <cstdint>

#include "engine/core/ErrorManager.h"
#include "engine/render/MemoryImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ErrorManager::setThrowForTests(true);
    MemoryImageFile image;
    try {
        image.decode(data, size, u"fuzz");
        if (image.getWidth() > 1 && image.getHeight() > 1) {
            image.halve();
        }
    } catch (const FatalError&) {
    }
    return 0;
}
