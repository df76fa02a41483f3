#pragma once
// Whole-file reads and safe whole-file writes through the C standard I/O functions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace FileIO {
// Reads the whole file. False when it cannot be opened or read, or is larger than maxSize; errno then
// tells why (EFBIG for a file over the limit).
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxSize = SIZE_MAX);
// Writes the bytes to a temporary file in the same folder, flushes it to the disk and renames it over
// the old file, so that a crash while writing leaves either the old or the new file, never a part.
bool writeFileReplacing(const std::string& path, const void* data, std::size_t size);
// Folder and file name joined with one "/" between them.
std::string joinPath(const std::string& folder, const std::string& name);
} // namespace FileIO
