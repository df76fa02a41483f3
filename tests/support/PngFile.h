#pragma once
// Screenshots of the tests as PNG files, for a person to look at.
#include <cstdint>
#include <string>
#include <vector>

// Writes 0xAARRGGBB pixels, rows from the top, as an 8-bit RGB PNG; false when the file cannot be written.
bool writePng(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height);
