#include "support/PngFile.h"

#include <cstdio>

#include <zlib.h>

namespace {
void putBig32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(v >> shift));
    }
}

void putChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, static_cast<std::uint32_t>(crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start))));
}
} // namespace

bool writePng(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height)
{
    // Each row with filter 2 (each byte less the one above it), which leaves the smooth pictures mostly
    // zeros: the fastest compression packs them well.
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t stride = w * 3;
    std::vector<unsigned char> raw(static_cast<std::size_t>(height) * (stride + 1));
    const std::vector<std::uint32_t> none(w, 0u);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        unsigned char* out = raw.data() + y * (stride + 1);
        const std::uint32_t* row = pixels.data() + y * w;
        const std::uint32_t* above = y > 0 ? row - w : none.data();
        *out++ = 2;
        for (std::size_t x = 0; x < w; ++x) {
            *out++ = static_cast<unsigned char>((row[x] >> 16) - (above[x] >> 16));
            *out++ = static_cast<unsigned char>((row[x] >> 8) - (above[x] >> 8));
            *out++ = static_cast<unsigned char>(row[x] - above[x]);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK) {
        return false;
    }
    packed.resize(packedSize);
    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    putBig32(header, static_cast<std::uint32_t>(width));
    putBig32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", packed);
    putChunk(file, "IEND", {});
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}
