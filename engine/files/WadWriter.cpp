#include "engine/files/WadWriter.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <zlib.h>
#include <zopfli/zlib_container.h>
#include <zopfli/zopfli.h>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/files/FileIO.h"
#include "engine/files/WadFormat.h"
#include "engine/platform/SystemInfo.h"

namespace {

std::vector<std::uint8_t> pack(const std::vector<std::uint8_t>& in, WadWriter::Packing packing)
{
    static const std::uint8_t nothing = 0;
    const std::uint8_t* source = in.empty() ? &nothing : in.data();
    if (packing == WadWriter::Packing::Zlib) {
        uLongf size = compressBound(static_cast<uLong>(in.size()));
        std::vector<std::uint8_t> out(size);
        if (compress2(out.data(), &size, source, static_cast<uLong>(in.size()), 6) != Z_OK) {
            return {}; // reported by the caller, outside the workers
        }
        out.resize(size);
        return out;
    }
    ZopfliOptions options;
    ZopfliInitOptions(&options);
    options.numiterations = 1;
    options.blocksplittingmax = 15;
    unsigned char* packed = nullptr;
    std::size_t size = 0;
    ZopfliZlibCompress(&options, source, in.size(), &packed, &size);
    std::vector<std::uint8_t> out(packed, packed + size);
    std::free(packed);
    return out;
}

void putPadding(std::vector<std::uint8_t>& out)
{
    out.resize((out.size() + WAD_ALIGNMENT - 1) / WAD_ALIGNMENT * WAD_ALIGNMENT, 0);
}

} // namespace

void WadWriter::add(std::string_view name, const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    add(name, std::vector<std::uint8_t>(p, p + size));
}

void WadWriter::add(std::string_view name, std::vector<std::uint8_t> bytes)
{
    File file{wadEntryName(name), wadLookupKey(name), std::move(bytes)};
    if (file.name.empty() || file.name.size() >= WAD_NAME_SIZE) {
        KIV_FATAL(formatString(u"Archive entry name '%s' must have 1 to %d bytes.", name, int(WAD_NAME_SIZE - 1)));
    }
    if (file.bytes.size() > 0xFFFFFFFFu) {
        KIV_FATAL(formatString(u"Archive entry '%s' is too large.", name));
    }
    KIV_ASSERT(!contains(file.name));
    files.push_back(std::move(file));
}

bool WadWriter::contains(std::string_view name) const
{
    const std::string key = wadLookupKey(name);
    return std::any_of(files.begin(), files.end(), [&](const File& f) { return f.key == key; });
}

std::vector<std::uint8_t> WadWriter::build(Packing packing) const
{
    // Entries are packed independently, so they can be packed side by side; the result does not depend
    // on the number of workers.
    std::vector<std::vector<std::uint8_t>> packed(files.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
            packed[i] = pack(files[i].bytes, packing);
        }
    };
    const std::size_t workers = std::min<std::size_t>({4, std::max(1u, std::thread::hardware_concurrency()), files.size()});
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < workers; ++i) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& t : threads) {
        t.join();
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (packed[i].empty()) {
            KIV_FATAL(formatString(u"Could not pack archive entry '%s'.", files[i].name));
        }
    }

    std::vector<std::uint8_t> out(sizeof(WadHeader), 0);
    std::vector<WadEntry> entries(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        putPadding(out);
        WadEntry& e = entries[i];
        std::memset(&e, 0, sizeof(e));
        std::memcpy(e.name, files[i].name.data(), files[i].name.size());
        e.offset = static_cast<std::uint32_t>(out.size());
        e.packedSize = static_cast<std::uint32_t>(packed[i].size());
        e.unpackedSize = static_cast<std::uint32_t>(files[i].bytes.size());
        e.flags = WAD_ENTRY_ZLIB;
        e.crc32 = static_cast<std::uint32_t>(crc32(0L, files[i].bytes.data(), static_cast<uInt>(files[i].bytes.size())));
        out.insert(out.end(), packed[i].begin(), packed[i].end());
        std::vector<std::uint8_t>().swap(packed[i]);
        if (out.size() > 0xFFFFFFFFu) {
            KIV_FATAL(u"Archive is larger than 4 GB.");
        }
    }
    putPadding(out);
    const WadHeader header{WAD_MAGIC, WAD_VERSION, static_cast<std::uint32_t>(entries.size()),
                           static_cast<std::uint32_t>(out.size())};
    std::memcpy(out.data(), &header, sizeof(header));
    const auto* directory = reinterpret_cast<const std::uint8_t*>(entries.data());
    out.insert(out.end(), directory, directory + entries.size() * sizeof(WadEntry));
    if (out.size() > 0xFFFFFFFFu) {
        KIV_FATAL(u"Archive is larger than 4 GB.");
    }
    return out;
}

void WadWriter::write(const std::string& path, Packing packing) const
{
    const std::vector<std::uint8_t> bytes = build(packing);
    if (!FileIO::writeFileReplacing(path, bytes.data(), bytes.size())) {
        const int err = errno;
        KIV_FATAL(formatString(u"Failed to write file '%s' (errno %d:%s, cwd %s)", path, err, std::strerror(err),
                               SystemInfo::currentFolder()));
    }
}
