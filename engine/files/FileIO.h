#pragma once
// Whole-file reads and safe whole-file writes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace FileIO {
// Reads the whole file. False when it cannot be opened or read, is not a regular file (a folder gives
// EISDIR, a FIFO or device EINVAL, without waiting for a writer) or is larger than maxSize (EFBIG);
// errno then tells why.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxSize = SIZE_MAX);
// Writes the bytes to a temporary file (the name + ".tmp") in the same folder, flushes it to the disk,
// renames it over the old file and flushes the folder, so that a crash or a power loss leaves either
// the old or the new file, never a part. A symbolic link is followed: its target is replaced and the
// link stays.
bool writeFileReplacing(const std::string& path, const void* data, std::size_t size);
// Writes the bytes as a new file under that name, never over anything there (a file, a folder, a link):
// written whole to a temporary file of its own in the same folder, flushed, then linked under the name
// only when the name is free, so that the name shows either nothing or the whole file. False when the
// name is taken (EEXIST) or the file cannot be written; errno tells why.
bool writeFileExclusive(const std::string& path, const void* data, std::size_t size);
// The file a path ends at once every symbolic link on its last part is followed (the path itself when
// it is no link).
std::string followLinks(const std::string& path);
// Removes the temporary files an interrupted writeFileReplacing left in the folder; returns their names.
std::vector<std::string> removeInterruptedWrites(const std::string& folder);
// Folder and file name joined with one "/" between them.
std::string joinPath(const std::string& folder, const std::string& name);
// The folder part of a path ("." when there is none).
std::string folderOf(const std::string& path);
} // namespace FileIO
