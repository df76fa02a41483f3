#pragma once
// BMP decoding through stb_image, kept in one file of its own. Returns malloc'ed 0xAARRGGBB pixels, rows
// top-down, or null when the data is damaged.
#include <cstddef>
#include <cstdint>

std::uint32_t* decodeBmpWithStb(const std::uint8_t* data, std::size_t size, int* width, int* height);
