#include "engine/render/ImageFileSource.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"

bool readOptionalFile(const UString& fileName, std::vector<std::uint8_t>& bytes)
{
    if (FileManager* files = FileManager::instance()) {
        if (!files->exists(fileName)) {
            return false;
        }
        const FileData data = files->open(fileName);
        bytes.assign(data.bytes.get(), data.bytes.get() + data.size);
        return true;
    }
    // Without the engine's file layer (tools and tests): loose files only.
    return FileIO::readWholeFile(wideToUtf8(fileName), bytes);
}

std::vector<std::uint8_t> readImageFile(const UString& fileName)
{
    if (FileManager* files = FileManager::instance()) {
        const FileData data = files->open(fileName);
        return std::vector<std::uint8_t>(data.bytes.get(), data.bytes.get() + data.size);
    }
    std::vector<std::uint8_t> bytes;
    if (!FileIO::readWholeFile(wideToUtf8(fileName), bytes)) {
        KIV_FATAL(formatString(u"Could not open file '%s'.", fileName));
    }
    return bytes;
}
