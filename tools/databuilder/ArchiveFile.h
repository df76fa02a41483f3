#pragma once
// One file of an archive: its path inside the archive and its bytes.
#include <cstdint>
#include <string>
#include <vector>

struct ArchiveFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

inline std::vector<std::uint8_t> textBytes(const std::string& text) { return {text.begin(), text.end()}; }
