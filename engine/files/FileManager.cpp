#include "engine/files/FileManager.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include <zlib.h>

#include <sys/stat.h>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"
#include "engine/files/FileIO.h"
#include "engine/files/Md5.h"
#include "engine/files/UserFileHeader.h"
#include "engine/files/WadFormat.h"
#include "engine/files/WadReader.h"
#include "engine/files/WadWriter.h"
#include "engine/platform/SystemInfo.h"

namespace {

FileManager* gInstance = nullptr;

// The user files that could not be read in this run.
std::unordered_set<std::string>& keptFiles()
{
    static std::unordered_set<std::string> files;
    return files;
}

std::mutex& keptFilesMutex()
{
    static std::mutex mutex;
    return mutex;
}

[[noreturn]] void failedToOpen(UStringView name, int err)
{
    KIV_FATAL(formatString(u"Failed to open file '%s' (errno %d:%s, cwd %s)", name, err, std::strerror(err),
                           SystemInfo::currentFolder()));
}

void copyPadded(char* field, std::size_t capacity, UStringView text)
{
    const std::string bytes = wideToUtf8(text);
    std::memset(field, 0, capacity);
    std::memcpy(field, bytes.data(), std::min(bytes.size(), capacity - 1));
}

} // namespace

FileManager::FileManager() : previous(gInstance) { gInstance = this; }

FileManager::~FileManager()
{
    if (bBuildWad && listingsChanged && !ErrorManager::isShuttingDown()) {
        writeWads();
    }
    if (gInstance == this) {
        gInstance = previous;
    }
}

FileManager* FileManager::instance() { return gInstance; }

std::string FileManager::diskPath(UStringView name)
{
    std::string path = wideToUtf8(name);
    const FileManager* files = instance();
    if (files == nullptr || files->dataFolder.empty() || (!path.empty() && path[0] == '/')) {
        return path;
    }
    if (path.compare(0, 2, "./") == 0) {
        path.erase(0, 2);
    }
    return FileIO::joinPath(files->dataFolder, path);
}

void FileManager::useWad(UStringView name)
{
    current = UString(name);
    if (renderMode == 2) {
        current += u".hq2x";
    }
    const std::string path = diskPath(current);
    if (bBuildWad) {
        listingFor(path);
        return;
    }
    if (!bUseWad || openedArchives.count(path) != 0) {
        return;
    }
    auto archive = std::make_unique<WadReader>(path);
    const std::size_t index = archives.size();
    const std::vector<WadReader::Entry>& entries = archive->entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        fileTable[wadLookupKey(entries[i].name)] = Location{index, i}; // a later archive wins
    }
    archives.push_back(std::move(archive));
    openedArchives.insert(path);
    Logger::logFrom("FileManager::useWad", u"Opened archive '%s' (%d files).", current, static_cast<int>(entries.size()));
}

bool FileManager::exists(UStringView name) const
{
    if (readsLooseFiles()) {
        return existsDisk(name);
    }
    return fileTable.count(wadLookupKey(wideToUtf8(name))) != 0;
}

bool FileManager::existsDisk(UStringView path)
{
    struct stat info {};
    return stat(diskPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void FileManager::verifyFileDisk(UStringView name)
{
    struct stat info {};
    if (stat(diskPath(name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        const int err = S_ISDIR(info.st_mode) ? EISDIR : errno;
        KIV_FATAL(formatString(u"File %s verification failed (errno %d:%s, cwd %s)", name, err, std::strerror(err),
                               SystemInfo::currentFolder()));
    }
}

void FileManager::verifyFile(UStringView name) const
{
    if (readsLooseFiles()) {
        verifyFileDisk(name);
    } else if (!exists(name)) {
        KIV_FATAL(formatString(u"File '%s' does not exist.", name));
    }
}

FileData FileManager::open(UStringView name)
{
    const std::string narrow = wideToUtf8(name);
    if (!readsLooseFiles()) {
        const auto found = fileTable.find(wadLookupKey(narrow));
        if (found == fileTable.end()) {
            KIV_FATAL(formatString(u"WAD entry %s not found.", name));
        }
        return archives[found->second.archive]->read(found->second.entry);
    }
    std::vector<std::uint8_t> bytes;
    if (!FileIO::readWholeFile(diskPath(name), bytes)) {
        failedToOpen(name, errno);
    }
    if (bBuildWad && !current.empty()) {
        Listing& listing = listingFor(wideToUtf8(current));
        if (listing.keys.insert(wadLookupKey(narrow)).second) {
            listing.files.emplace_back(wadEntryName(narrow), narrow);
            listingsChanged = true;
        }
    }
    FileData data;
    data.size = bytes.size();
    data.bytes.reset(new std::uint8_t[bytes.empty() ? 1 : bytes.size()]);
    std::memcpy(data.bytes.get(), bytes.data(), bytes.size());
    return data;
}

FileManager::Listing& FileManager::listingFor(const std::string& path)
{
    for (Listing& l : listings) {
        if (l.path == path) {
            return l;
        }
    }
    listings.push_back(Listing{path, {}, {}});
    listingsChanged = true;
    return listings.back();
}

void FileManager::writeWads()
{
    listingsChanged = false;
    for (const Listing& listing : listings) {
        WadWriter writer;
        for (const auto& [stored, loose] : listing.files) {
            std::vector<std::uint8_t> bytes;
            if (!FileIO::readWholeFile(loose, bytes)) {
                failedToOpen(utf8ToWide(loose), errno);
            }
            writer.add(stored, std::move(bytes));
        }
        writer.write(listing.path, WadWriter::Packing::Zopfli);
        Logger::logFrom("FileManager::writeWads", u"Wrote archive '%s' (%d files).", listing.path,
                        static_cast<int>(listing.files.size()));
    }
}

void FileManager::keepUnreadableFile(const std::string& path)
{
    std::lock_guard<std::mutex> lock(keptFilesMutex());
    keptFiles().insert(path);
}

bool FileManager::isKeptUnreadable(const std::string& path)
{
    std::lock_guard<std::mutex> lock(keptFilesMutex());
    return keptFiles().count(path) != 0;
}

bool FileManager::keepDamagedCopy(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                  std::string* keptAs)
{
    std::string copy;
    int err = EEXIST;
    for (int number = 1; number <= MAX_DAMAGED_COPIES && err == EEXIST; ++number) {
        copy = path + ".bad" + (number > 1 ? std::to_string(number) : std::string());
        err = FileIO::writeFileExclusive(copy, bytes.data(), bytes.size()) ? 0 : errno;
    }
    if (err != 0) {
        Logger::logFrom("FileManager::keepDamagedCopy",
                        u"Warning: Could not copy the damaged file '%s' to '%s' (errno %d:%s).", path, copy, err,
                        std::strerror(err));
        reportFailedSave(copy, err);
        return false;
    }
    Logger::logFrom("FileManager::keepDamagedCopy", u"The damaged file '%s' is kept as '%s'.", path, copy);
    if (keptAs != nullptr) {
        *keptAs = copy;
    }
    return true;
}

FileManager::UserFile FileManager::loadUserFile(void* record, std::size_t expectedSize, UStringView folder,
                                                UStringView fileName, UStringView version)
{
    (void)version; // files of any version are taken; the digest and size decide
    const std::string path = FileIO::joinPath(wideToUtf8(folder), wideToUtf8(fileName));
    constexpr std::size_t headerSize = sizeof(UserFileHeader) + USER_FILE_SIZE_FIELD;
    const std::size_t largest = headerSize + compressBound(static_cast<uLong>(expectedSize));
    std::vector<std::uint8_t> bytes;
    if (!FileIO::readWholeFile(path, bytes, largest)) {
        const int err = errno;
        if (err == ENOENT) {
            Logger::logFrom("FileManager::loadUserFile", u"User file '%s' does not exist yet.", path);
            return UserFile::Missing;
        }
        // Whatever is there may be the player's data: this run neither reads nor replaces it.
        keepUnreadableFile(path);
        Logger::logFrom("FileManager::loadUserFile",
                        u"Warning: Could not read user file '%s' (errno %d:%s); using the defaults, and the file "
                        u"is left as it is.",
                        path, err, std::strerror(err));
        return UserFile::Unreadable;
    }
    auto reject = [&](const char16_t* why) {
        Logger::logFrom("FileManager::loadUserFile", u"Warning: User file '%s' ignored (%s).", path, why);
        if (!keepDamagedCopy(path, bytes)) {
            // Without the copy the damaged file is the only one there is: keep it.
            keepUnreadableFile(path);
            return UserFile::Unreadable;
        }
        return UserFile::Damaged;
    };
    if (bytes.size() < headerSize) {
        return reject(u"too short");
    }
    UserFileHeader header;
    std::memcpy(&header, bytes.data(), sizeof(header));
    const std::uint8_t* body = bytes.data() + sizeof(UserFileHeader);
    const std::size_t bodySize = bytes.size() - sizeof(UserFileHeader);
    if (!md5Equal(md5Digest(body, bodySize).data(), header.digest)) {
        return reject(u"digest mismatch");
    }
    const std::uint32_t storedSize = static_cast<std::uint32_t>(body[0]) | static_cast<std::uint32_t>(body[1]) << 8 |
                                     static_cast<std::uint32_t>(body[2]) << 16 |
                                     static_cast<std::uint32_t>(body[3]) << 24;
    if (storedSize != expectedSize) {
        return reject(u"size mismatch");
    }
    std::vector<std::uint8_t> payload(expectedSize > 0 ? expectedSize : 1);
    uLongf inflated = static_cast<uLongf>(expectedSize);
    uLong consumed = static_cast<uLong>(bodySize - USER_FILE_SIZE_FIELD);
    const int result = uncompress2(payload.data(), &inflated, body + USER_FILE_SIZE_FIELD, &consumed);
    if (result != Z_OK || inflated != expectedSize || consumed != bodySize - USER_FILE_SIZE_FIELD) {
        return reject(u"bad payload");
    }
    if (expectedSize > 0) {
        std::memcpy(record, payload.data(), expectedSize);
    }
    return UserFile::Loaded;
}

bool FileManager::saveUserFile(const void* record, std::size_t size, UStringView folder, UStringView fileName,
                               UStringView version)
{
    const std::string path = FileIO::joinPath(wideToUtf8(folder), wideToUtf8(fileName));
    if (isKeptUnreadable(path)) {
        Logger::logFrom("FileManager::saveUserFile", u"User file '%s' could not be read in this run; not saved over.",
                        path);
        return false;
    }
    constexpr std::size_t headerSize = sizeof(UserFileHeader) + USER_FILE_SIZE_FIELD;
    uLongf packedSize = compressBound(static_cast<uLong>(size));
    std::vector<std::uint8_t> bytes(headerSize + packedSize);
    static const std::uint8_t empty = 0;
    const int result = compress2(bytes.data() + headerSize, &packedSize,
                                 static_cast<const Bytef*>(size > 0 ? record : &empty), static_cast<uLong>(size),
                                 USER_FILE_ZLIB_LEVEL);
    if (result != Z_OK || size > 0xFFFFFFFFu) {
        Logger::logFrom("FileManager::saveUserFile", u"Warning: Could not pack user file '%s' (zlib %d).", path, result);
        return false;
    }
    bytes.resize(headerSize + packedSize);
    const auto stored = static_cast<std::uint32_t>(size);
    for (int i = 0; i < 4; ++i) {
        bytes[sizeof(UserFileHeader) + i] = static_cast<std::uint8_t>(stored >> (8 * i));
    }
    UserFileHeader header;
    copyPadded(header.gameTag, sizeof(header.gameTag), GameInfo::GAME_ID);
    copyPadded(header.version, sizeof(header.version), version);
    const Md5Digest digest = md5Digest(bytes.data() + sizeof(UserFileHeader), bytes.size() - sizeof(UserFileHeader));
    std::memcpy(header.digest, digest.data(), sizeof(header.digest));
    std::memcpy(bytes.data(), &header, sizeof(header));
    if (!FileIO::writeFileReplacing(path, bytes.data(), bytes.size())) {
        const int err = errno;
        Logger::logFrom("FileManager::saveUserFile", u"Warning: Could not write user file '%s' (errno %d:%s).", path,
                        err, std::strerror(err));
        reportFailedSave(path, err);
        return false;
    }
    return true;
}

void FileManager::reportFailedSave(const std::string& path, int err)
{
    FileManager* files = instance();
    if (files != nullptr && files->failedSaveReported.exchange(true)) {
        return;
    }
    std::string folder = FileIO::folderOf(path);
    if (folder.back() != '/') {
        folder += '/';
    }
    const std::string name = path.substr(path.find_last_of('/') + 1);
    std::fprintf(stderr,
                 "Warning: Could not save '%s' in the folder '%s' (errno %d:%s). The game goes on; further failed "
                 "saves are only logged.\n",
                 name.c_str(), folder.c_str(), err, std::strerror(err));
    std::fflush(stderr);
}
