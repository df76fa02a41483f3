#pragma once
// Reads one archive: checks its header and every directory entry against the file when it is opened,
// and each entry's size and CRC-32 when it is read. A missing or damaged archive ends the program
// through the fatal-error path; nothing in it is trusted before it has been checked.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/files/FileData.h"

class WadReader {
public:
    struct Entry {
        std::string name; // as stored
        std::uint32_t offset;
        std::uint32_t packedSize;
        std::uint32_t unpackedSize;
        std::uint32_t crc32;
    };

    // Opens the archive file at `path` (UTF-8).
    explicit WadReader(const std::string& path);
    // An archive held in memory; `name` only names it in messages.
    WadReader(std::string name, std::vector<std::uint8_t> bytes);
    ~WadReader();
    WadReader(const WadReader&) = delete;
    WadReader& operator=(const WadReader&) = delete;

    const std::string& path() const { return archivePath; }
    const std::vector<Entry>& entries() const { return directory; }
    // Inflates entry `index` and checks it against its directory entry.
    FileData read(std::size_t index) const;

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    void readDirectory(std::uint64_t fileSize);
    void readAt(std::uint64_t offset, std::size_t size, void* out) const;
    [[noreturn]] void damaged(const std::u16string& why) const;

    std::string archivePath;
    std::unique_ptr<std::FILE, FileCloser> file;
    std::vector<std::uint8_t> memory; // the archive's bytes when it lives in memory
    std::vector<Entry> directory;
    mutable std::vector<std::uint8_t> packed; // scratch for one entry's packed bytes
};
