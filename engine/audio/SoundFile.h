#pragma once
// The bytes of a sound or music file, read through the file layer. A missing file ends the program
// through the fatal path with the file's name.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/core/UString.h"

namespace SoundFile {
std::vector<std::uint8_t> read(const UString& fileName);
// For delayed loading: the file must exist, else the program ends with its name.
void verify(const UString& fileName);
// A sound or music stream is decoded at once (`load`) unless the engine loads resources on first use,
// in which case only its file is verified now.
void loadOrVerify(const UString& fileName, const std::function<void()>& load);
} // namespace SoundFile
