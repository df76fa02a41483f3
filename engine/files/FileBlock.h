#pragma once
// A whole file in memory, read through the file manager when the block is made. Level files and
// code-point tables are kept this way; the owner reads the bytes and their size. As a KivBase it can
// sit in the object tree (the resource holder); destroying it frees the bytes.
#include <cstddef>
#include <cstdint>

#include "engine/core/KivBase.h"
#include "engine/core/UString.h"
#include "engine/files/FileData.h"

class FileManager;

class FileBlock : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    // Reads the file through the process's file manager. Flags 0 read at once (the only kind there is).
    // A missing file is fatal (see FileManager::open).
    FileBlock(int flags, UStringView fileName);
    FileBlock(int flags, UStringView fileName, FileManager& files);
    ~FileBlock() override;

    const std::uint8_t* data() const { return contents.bytes.get(); }
    std::size_t size() const { return contents.size; }
    int getFlags() const { return flags; }
    const UString& getFileName() const { return fileName; }

private:
    int flags;
    UString fileName;
    FileData contents;
};
