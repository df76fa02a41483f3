// Reading every entry of a ~50 MB archive through the file manager, against plain zlib uncompress of
// the same packed streams held in memory, in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <zlib.h>

#include "engine/files/FileManager.h"
#include "engine/files/WadReader.h"
#include "engine/files/WadWriter.h"
#include "support/TempDir.h"

namespace {

constexpr std::size_t ENTRY_COUNT = 200;
constexpr std::size_t ENTRY_SIZE = 256 * 1024; // 200 x 256 KB = 50 MB unpacked

// Game-like contents: runs of repeated text and pixels mixed with noise, so that zlib packs them to
// about a third.
std::vector<std::uint8_t> entryBytes(std::size_t index)
{
    std::vector<std::uint8_t> out(ENTRY_SIZE);
    unsigned seed = static_cast<unsigned>(index) * 7919u + 1;
    for (std::size_t i = 0; i < out.size(); ++i) {
        seed = seed * 214013u + 2531011u;
        const std::size_t phase = (i / 4096 + index) % 3;
        out[i] = phase == 0 ? static_cast<std::uint8_t>(seed >> 16)
                 : phase == 1 ? static_cast<std::uint8_t>("pig apple basket tree "[i % 22])
                              : static_cast<std::uint8_t>((i / 64) & 0xFF);
    }
    return out;
}

struct Archive {
    TempDir dir;
    std::string path = dir.file("bench.dat");
    std::vector<UString> names;
    std::vector<std::vector<std::uint8_t>> packed; // the entries' zlib streams, for the plain-zlib side
    std::size_t unpackedTotal = 0;

    Archive()
    {
        WadWriter writer;
        for (std::size_t i = 0; i < ENTRY_COUNT; ++i) {
            const std::string name = "gfx/bench/entry" + std::to_string(i) + ".tga";
            writer.add(name, entryBytes(i));
            names.push_back(utf8ToWide(name));
            unpackedTotal += ENTRY_SIZE;
        }
        writer.write(path, WadWriter::Packing::Zlib);
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
        WadReader reader(path);
        for (const WadReader::Entry& e : reader.entries()) {
            std::vector<std::uint8_t> bytes(e.packedSize);
            std::fseek(f.get(), static_cast<long>(e.offset), SEEK_SET);
            if (std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
                std::abort();
            }
            packed.push_back(std::move(bytes));
        }
    }
};

Archive& archive()
{
    static Archive a;
    return a;
}

void ArchiveReadEveryEntry(benchmark::State& state)
{
    Archive& a = archive();
    FileManager files;
    files.useWad(utf8ToWide(a.path));
    for (auto _ : state) {
        for (const UString& name : a.names) {
            FileData data = files.open(name);
            benchmark::DoNotOptimize(data.bytes.get());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * a.unpackedTotal));
}

void ZlibUncompressEveryEntry(benchmark::State& state)
{
    Archive& a = archive();
    for (auto _ : state) {
        for (const std::vector<std::uint8_t>& stream : a.packed) {
            std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[ENTRY_SIZE]);
            uLongf size = ENTRY_SIZE;
            if (uncompress(out.get(), &size, stream.data(), stream.size()) != Z_OK) {
                state.SkipWithError("uncompress failed");
            }
            benchmark::DoNotOptimize(out.get());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * a.unpackedTotal));
}

} // namespace

BENCHMARK(ZlibUncompressEveryEntry)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ArchiveReadEveryEntry)->Unit(benchmark::kMillisecond)->MinTime(2.0);
