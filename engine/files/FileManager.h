#pragma once
// The file layer: loose files, archives and the packed user files.
#include <cstddef>
#include <string>

#include "engine/core/UString.h"

class FileManager {
public:
    // Reads the packed user file folder + fileName and copies its payload over `record` only when the
    // digest checks, the stored size equals `expectedSize` and the stream inflates to exactly that size.
    // True when it copied; otherwise the record is untouched.
    static bool loadUserFile(void* record, std::size_t expectedSize, UStringView folder, UStringView fileName,
                             UStringView version);
    // Writes the record as a packed user file, replacing the old one only once the new one is complete.
    static bool saveUserFile(const void* record, std::size_t size, UStringView folder, UStringView fileName,
                             UStringView version);
};
