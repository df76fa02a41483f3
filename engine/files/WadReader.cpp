#include "engine/files/WadReader.h"

#include <cerrno>
#include <new>
#include <cstring>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/Logger.h"
#include "engine/files/WadFormat.h"
#include "engine/platform/SystemInfo.h"

namespace {
// Deflate cannot expand data by more than about 1032:1; a larger claim is a damaged entry, and refusing
// it keeps a damaged directory from asking for gigabytes.
constexpr std::uint64_t MAX_INFLATE_RATIO = 1032;

// Inflates a zlib stream that must fill `out` exactly. The stream's own Adler-32 trailer is skipped:
// the directory's CRC-32, which the caller checks, covers the same bytes, and computing both would
// cost as much again as the CRC.
bool inflateEntry(const std::uint8_t* in, std::uint32_t inSize, std::uint8_t* out, std::uint32_t outSize)
{
    constexpr std::uint32_t HEADER = 2;
    constexpr std::uint32_t TRAILER = 4;
    if (inSize < HEADER + TRAILER) {
        return false;
    }
    const unsigned cmf = in[0];
    const unsigned flg = in[1];
    const bool deflate = (cmf & 0x0F) == Z_DEFLATED && (cmf >> 4) <= 7;
    const bool presetDictionary = (flg & 0x20) != 0;
    if (!deflate || presetDictionary || (cmf * 256 + flg) % 31 != 0) {
        return false;
    }
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        throw std::bad_alloc();
    }
    std::uint8_t spare = 0; // inflate wants somewhere to write even when nothing is expected
    stream.next_in = const_cast<std::uint8_t*>(in + HEADER);
    stream.avail_in = inSize - HEADER - TRAILER;
    stream.next_out = outSize > 0 ? out : &spare;
    stream.avail_out = outSize;
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.avail_in == 0 && stream.total_out == outSize;
    inflateEnd(&stream);
    return whole;
}

} // namespace

namespace {
// The archive opened for reading; a FIFO does not make the open wait for a writer. Null with errno set.
std::FILE* openArchive(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        const int err = errno;
        ::close(fd);
        errno = err;
    }
    return file;
}
} // namespace

WadReader::WadReader(const std::string& path) : archivePath(path), file(openArchive(path))
{
    int err = file ? 0 : errno;
    struct stat info {};
    if (err == 0 && fstat(fileno(file.get()), &info) != 0) {
        err = errno;
    }
    if (err == 0 && !S_ISREG(info.st_mode)) {
        // A folder or a device is no archive: say what it is rather than what errno last held.
        err = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    }
    if (err != 0) {
        KIV_FATAL(formatString(u"Failed to open file '%s' (errno %d:%s, cwd %s)", path, err, std::strerror(err),
                               SystemInfo::currentFolder()));
    }
    readDirectory(static_cast<std::uint64_t>(info.st_size));
}

WadReader::WadReader(std::string name, std::vector<std::uint8_t> bytes)
    : archivePath(std::move(name)), memory(std::move(bytes))
{
    readDirectory(memory.size());
}

WadReader::~WadReader() = default;

void WadReader::damaged(const std::u16string& why) const
{
    KIV_FATAL(formatString(u"Archive '%s' is damaged (%s).", archivePath, why));
}

void WadReader::readAt(std::uint64_t offset, std::size_t size, void* out) const
{
    if (size == 0) {
        return;
    }
    if (!file) {
        std::memcpy(out, memory.data() + offset, size); // the range was checked against the size
        return;
    }
    if (fseeko(file.get(), static_cast<off_t>(offset), SEEK_SET) != 0 || std::fread(out, 1, size, file.get()) != size) {
        damaged(formatString(u"read of %u bytes at %u failed", static_cast<unsigned>(size), static_cast<unsigned>(offset)));
    }
}

void WadReader::readDirectory(std::uint64_t fileSize)
{
    if (fileSize < sizeof(WadHeader)) {
        damaged(u"shorter than its header");
    }
    WadHeader header;
    readAt(0, sizeof(header), &header);
    if (header.magic != WAD_MAGIC) {
        damaged(u"not an archive");
    }
    const std::uint32_t wadVersion = header.version;
    if (wadVersion != WAD_VERSION) {
        Logger::logFrom("WadReader::readDirectory", u"Archive '%s' is of another version (%d, expected %d).",
                        archivePath, static_cast<int>(wadVersion), static_cast<int>(WAD_VERSION));
    }
    KIV_ASSERT(wadVersion == WAD_VERSION);
    const std::uint64_t directoryEnd =
        static_cast<std::uint64_t>(header.directoryOffset) + static_cast<std::uint64_t>(header.count) * sizeof(WadEntry);
    if (header.directoryOffset < sizeof(WadHeader) || directoryEnd > fileSize) {
        damaged(u"directory outside the file");
    }
    std::vector<WadEntry> raw(header.count);
    readAt(header.directoryOffset, raw.size() * sizeof(WadEntry), raw.data());

    directory.reserve(raw.size());
    std::unordered_set<std::string> keys;
    for (const WadEntry& e : raw) {
        const void* end = std::memchr(e.name, 0, sizeof(e.name));
        if (end == nullptr || end == e.name) {
            damaged(u"an entry without a valid name");
        }
        Entry entry{std::string(e.name, static_cast<const char*>(end)), e.offset, e.packedSize, e.unpackedSize, e.crc32};
        const UString name = utf8ToWide(entry.name);
        if (e.flags != WAD_ENTRY_ZLIB) {
            damaged(formatString(u"entry '%s' has unknown flags %08x", name, e.flags));
        }
        if (e.offset % WAD_ALIGNMENT != 0 || e.offset < sizeof(WadHeader) ||
            static_cast<std::uint64_t>(e.offset) + e.packedSize > header.directoryOffset) {
            damaged(formatString(u"entry '%s' lies outside the data", name));
        }
        if (e.unpackedSize > static_cast<std::uint64_t>(e.packedSize) * MAX_INFLATE_RATIO + 64) {
            damaged(formatString(u"entry '%s' claims an impossible size", name));
        }
        if (!keys.insert(wadLookupKey(entry.name)).second) {
            damaged(formatString(u"entry '%s' appears twice", name));
        }
        directory.push_back(std::move(entry));
    }
}

FileData WadReader::read(std::size_t index) const
{
    KIV_ASSERT(index < directory.size());
    const Entry& e = directory[index];
    packed.resize(e.packedSize);
    readAt(e.offset, e.packedSize, packed.data());

    FileData data;
    data.size = e.unpackedSize;
    data.bytes.reset(new std::uint8_t[data.size > 0 ? data.size : 1]);
    if (!inflateEntry(packed.data(), e.packedSize, data.bytes.get(), e.unpackedSize)) {
        damaged(formatString(u"entry '%s' does not inflate to its size", e.name));
    }
    const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0L, data.bytes.get(), static_cast<uInt>(data.size)));
    if (crc != e.crc32) {
        damaged(formatString(u"entry '%s' fails its CRC check", e.name));
    }
    return data;
}
