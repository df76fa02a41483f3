#pragma once
// The bytes of a sound or music file, read through the file layer. A missing file ends the program
// through the fatal path with the file's name.
#include <cstdint>
#include <vector>

#include "engine/core/UString.h"

namespace SoundFile {
std::vector<std::uint8_t> read(const UString& fileName);
// For delayed loading: the file must exist, else the program ends with its name.
void verify(const UString& fileName);
} // namespace SoundFile
