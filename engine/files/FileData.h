#pragma once
// The bytes of one whole file, read from the disk or inflated from an archive.
#include <cstddef>
#include <cstdint>
#include <memory>

struct FileData {
    std::unique_ptr<std::uint8_t[]> bytes; // never null once read, even for an empty file
    std::size_t size = 0;
};
