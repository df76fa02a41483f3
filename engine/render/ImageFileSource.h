#pragma once
// Reads the bytes of an image or skin-sheet file through the engine's file layer. A missing file is fatal.
#include <cstdint>
#include <vector>

#include "engine/core/UString.h"

std::vector<std::uint8_t> readImageFile(const UString& fileName);
// The bytes of a file when it exists; false when there is none.
bool readOptionalFile(const UString& fileName, std::vector<std::uint8_t>& bytes);
