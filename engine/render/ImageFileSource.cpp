#include "engine/render/ImageFileSource.h"

#include <cstdio>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"

bool readOptionalFile(const UString& fileName, std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(wideToUtf8(fileName).c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bytes.clear();
    std::uint8_t buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    std::fclose(file);
    return true;
}

std::vector<std::uint8_t> readImageFile(const UString& fileName)
{
    std::vector<std::uint8_t> bytes;
    if (!readOptionalFile(fileName, bytes)) {
        KIV_FATAL(formatString(u"Could not open file '%s'.", fileName));
    }
    return bytes;
}
