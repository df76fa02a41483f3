#include "engine/files/FileBlock.h"

#include "engine/core/ErrorManager.h"
#include "engine/files/FileManager.h"

// Made from a file name only, so there is no factory.
const RuntimeClass FileBlock::classRecord(u"FileBlock", &KivBase::classRecord, nullptr);

namespace {
FileManager& processFileManager()
{
    FileManager* files = FileManager::instance();
    KIV_ASSERT(files != nullptr);
    return *files;
}
} // namespace

FileBlock::FileBlock(int flags, UStringView fileName) : FileBlock(flags, fileName, processFileManager()) {}

FileBlock::FileBlock(int flags, UStringView fileName, FileManager& files)
    : flags(flags), fileName(fileName), contents(files.open(fileName))
{
}

FileBlock::~FileBlock() = default;
