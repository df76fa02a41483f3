#pragma once
// Builds an archive from named byte blocks: the data builder packs its files with it, and the file
// manager's archive-building mode writes the files it recorded through it. Entries are written in the
// order they were added, so the same input always gives the same bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class WadWriter {
public:
    enum class Packing {
        Zopfli, // ZopfliZlibCompress, one iteration, at most 15 block splits (smallest, slow)
        Zlib,   // zlib's compress at level 6 (fast)
    };

    // Adds a file under its stored name (see wadEntryName). A name of 64 bytes or more, or a name that
    // is already in the archive (ignoring case), is fatal.
    void add(std::string_view name, std::vector<std::uint8_t> bytes);
    void add(std::string_view name, const void* data, std::size_t size);
    bool contains(std::string_view name) const;
    std::size_t count() const { return files.size(); }

    // Packs every entry and writes the archive, replacing an old file only once the new one is complete.
    // A failure to write is fatal.
    void write(const std::string& path, Packing packing = Packing::Zopfli) const;
    // The archive's bytes.
    std::vector<std::uint8_t> build(Packing packing = Packing::Zopfli) const;

private:
    struct File {
        std::string name;
        std::string key;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<File> files;
};
