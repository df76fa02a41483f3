#include "engine/render/StbBmp.h"

#include <cstdlib>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

std::uint32_t* decodeBmpWithStb(const std::uint8_t* data, std::size_t size, int* width, int* height)
{
    int channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(data, static_cast<int>(size), width, height, &channels, 4);
    if (rgba == nullptr) {
        return nullptr;
    }
    const std::size_t count = static_cast<std::size_t>(*width) * static_cast<std::size_t>(*height);
    auto* out = static_cast<std::uint32_t*>(std::malloc(count * 4));
    if (out != nullptr) {
        for (std::size_t i = 0; i < count; ++i) {
            const stbi_uc* p = rgba + i * 4;
            out[i] = (static_cast<std::uint32_t>(p[3]) << 24) | (static_cast<std::uint32_t>(p[0]) << 16) |
                     (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
        }
    }
    stbi_image_free(rgba);
    return out;
}
