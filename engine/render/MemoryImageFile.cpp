#include "engine/render/MemoryImageFile.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/UColor.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/ImageFileSource.h"
#include "engine/render/StbBmp.h"

namespace {

// Largest number of pixels accepted from a file (64 MB of pixels).
constexpr long long kMaxPixels = 16LL * 1024 * 1024;

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b) { return UColor::fromArgb(a, r, g, b).argb; }

std::uint32_t expand5(unsigned v) { return (v << 3) | (v >> 2); }

// One TGA pixel of `bytes` bytes in the file's order.
std::uint32_t tgaPixel(const std::uint8_t* p, int bytes, bool gray, bool alphaInFile)
{
    if (gray) {
        const unsigned a = bytes == 2 && alphaInFile ? p[1] : 0xFF;
        return argb(a, p[0], p[0], p[0]);
    }
    switch (bytes) {
    case 2: {
        const unsigned v = le16(p);
        const unsigned a = alphaInFile ? ((v & 0x8000) ? 0xFF : 0) : 0xFF;
        return argb(a, expand5((v >> 10) & 31), expand5((v >> 5) & 31), expand5(v & 31));
    }
    case 3: return argb(0xFF, p[2], p[1], p[0]);
    default: return argb(alphaInFile ? p[3] : 0xFF, p[2], p[1], p[0]);
    }
}

// JPEG reading from memory: our own source and error managers.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct JpegSource {
    jpeg_source_mgr pub;
    bool truncated;
};

const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

void jpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void jpegOutputMessage(j_common_ptr) {}
void jpegInitSource(j_decompress_ptr) {}
void jpegTermSource(j_decompress_ptr) {}

boolean jpegFillInput(j_decompress_ptr cinfo)
{
    // The data ran out before the end marker: hand out an end marker and remember the damage.
    auto* src = reinterpret_cast<JpegSource*>(cinfo->src);
    src->truncated = true;
    src->pub.next_input_byte = kFakeEoi;
    src->pub.bytes_in_buffer = 2;
    return TRUE;
}

void jpegSkipInput(j_decompress_ptr cinfo, long count)
{
    auto* src = reinterpret_cast<JpegSource*>(cinfo->src);
    if (count <= 0) {
        return;
    }
    if (static_cast<std::size_t>(count) > src->pub.bytes_in_buffer) {
        jpegFillInput(cinfo);
        return;
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

enum class JpegResult { Ok, Error, Truncated, TooLarge, Unsupported };

// Plain C-style on purpose: longjmp must not cross objects with destructors.
JpegResult decodeJpegRaw(const std::uint8_t* data, std::size_t size, int* outW, int* outH, std::uint32_t** outPixels,
                         char* message)
{
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    JpegSource src;
    std::uint32_t* volatile pixels = nullptr;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.output_message = jpegOutputMessage;
    err.message[0] = 0;
    if (setjmp(err.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        jpeg_destroy_decompress(&cinfo);
        std::free(pixels);
        // An error after the data ran out is the truncation's doing.
        return *static_cast<volatile bool*>(&src.truncated) ? JpegResult::Truncated : JpegResult::Error;
    }
    jpeg_create_decompress(&cinfo);
    src.pub.next_input_byte = data;
    src.pub.bytes_in_buffer = size;
    src.pub.init_source = jpegInitSource;
    src.pub.fill_input_buffer = jpegFillInput;
    src.pub.skip_input_data = jpegSkipInput;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = jpegTermSource;
    src.truncated = false;
    cinfo.src = &src.pub;

    jpeg_read_header(&cinfo, TRUE);
    if (src.truncated) {
        jpeg_destroy_decompress(&cinfo);
        return JpegResult::Truncated;
    }
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > MemoryImageFile::MAX_DIMENSION ||
        cinfo.image_height > MemoryImageFile::MAX_DIMENSION ||
        static_cast<long long>(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        *outW = static_cast<int>(cinfo.image_width);
        *outH = static_cast<int>(cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        return JpegResult::TooLarge;
    }
    if (cinfo.jpeg_color_space != JCS_GRAYSCALE && cinfo.jpeg_color_space != JCS_YCbCr &&
        cinfo.jpeg_color_space != JCS_RGB) {
        jpeg_destroy_decompress(&cinfo);
        return JpegResult::Unsupported;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width);
    const int h = static_cast<int>(cinfo.output_height);
    pixels = static_cast<std::uint32_t*>(std::malloc(static_cast<std::size_t>(w) * h * 4));
    if (pixels == nullptr) {
        jpeg_destroy_decompress(&cinfo);
        return JpegResult::TooLarge;
    }
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                static_cast<JDIMENSION>(w * 3), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, row, 1);
        std::uint32_t* out = pixels + static_cast<std::size_t>(y) * w;
        const JSAMPLE* in = row[0];
        for (int x = 0; x < w; ++x) {
            out[x] = argb(0xFF, in[x * 3], in[x * 3 + 1], in[x * 3 + 2]);
        }
    }
    const bool truncated = src.truncated;
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (truncated) {
        std::free(pixels);
        return JpegResult::Truncated;
    }
    *outW = w;
    *outH = h;
    *outPixels = pixels;
    return JpegResult::Ok;
}

bool writeJpegRaw(std::FILE* file, const std::uint32_t* argbPixels, int w, int h, int quality, unsigned char* row)
{
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.output_message = jpegOutputMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint32_t* in = argbPixels + static_cast<std::size_t>(cinfo.next_scanline) * w;
        for (int x = 0; x < w; ++x) {
            row[x * 3] = static_cast<unsigned char>(in[x] >> 16);
            row[x * 3 + 1] = static_cast<unsigned char>(in[x] >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(in[x]);
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

MemoryImageFile::MemoryImageFile(std::uint32_t flags_, const UString& name) : flags(flags_), fileName(name)
{
    const std::vector<std::uint8_t> bytes = readImageFile(name);
    if ((flags & VERIFY_ONLY) && Kiv::instance() != nullptr && Kiv::instance()->bEnableDelayedLoad) {
        // Only make sure that the file is there and decodes; keep nothing.
        decode(bytes.data(), bytes.size(), name);
        purge();
        return;
    }
    decode(bytes.data(), bytes.size(), name);
}

MemoryImageFile MemoryImageFile::MemoryImageFileBlank(int w, int h)
{
    MemoryImageFile image;
    if (w <= 0 || h <= 0 || w > MAX_DIMENSION || h > MAX_DIMENSION) {
        KIV_FATAL(formatString(u"Invalid image size %dx%d.", w, h));
    }
    image.allocate(w, h);
    return image;
}

void MemoryImageFile::allocate(int w, int h)
{
    width = w;
    height = h;
    pixels.assign(static_cast<std::size_t>(w) * h, 0u);
}

void MemoryImageFile::fail(const char* what) const
{
    KIV_FATAL(formatString(u"Could not read image '%s': %s.", fileName, what));
}

void MemoryImageFile::decode(const std::uint8_t* data, std::size_t size, const UString& name)
{
    fileName = name;
    pixels.clear();
    width = height = 0;
    if (data == nullptr || size < 4) {
        fail("the file is empty or truncated");
    }
    if (data[0] == 0xFF && data[1] == 0xD8) {
        decodeJPG(data, size);
    } else if (data[0] == 'B' && data[1] == 'M') {
        decodeBMP(data, size);
    } else {
        decodeTGA(data, size);
    }
}

void MemoryImageFile::decodeTGA(const std::uint8_t* data, std::size_t size)
{
    if (size < 18) {
        fail("the TGA header is truncated");
    }
    const unsigned idLength = data[0];
    const unsigned colorMapType = data[1];
    const unsigned type = data[2];
    const unsigned mapFirst = le16(data + 3);
    const unsigned mapLength = le16(data + 5);
    const unsigned mapBits = data[7];
    const int w = le16(data + 12);
    const int h = le16(data + 14);
    const unsigned bits = data[16];
    const unsigned descriptor = data[17];
    const bool rle = type == 9 || type == 10 || type == 11;
    const unsigned baseType = rle ? type - 8 : type;
    if (baseType < 1 || baseType > 3 || colorMapType > 1) {
        fail("not a supported TGA image");
    }
    if (w <= 0 || h <= 0) {
        fail("the TGA image has no pixels");
    }
    if (w > MAX_DIMENSION || h > MAX_DIMENSION || static_cast<long long>(w) * h > kMaxPixels) {
        fail("the image is too large");
    }
    const bool gray = baseType == 3;
    const bool mapped = baseType == 1;
    if ((mapped && (bits != 8 || colorMapType != 1)) || (gray && bits != 8 && bits != 16) ||
        (baseType == 2 && bits != 15 && bits != 16 && bits != 24 && bits != 32)) {
        fail("unsupported TGA pixel format");
    }
    const int bytesPerPixel = static_cast<int>((bits + 7) / 8);
    const bool alphaInFile = (descriptor & 0x0F) != 0;
    std::size_t pos = 18 + idLength;
    // The colour map.
    std::vector<std::uint32_t> palette;
    if (colorMapType == 1) {
        const int entryBytes = static_cast<int>((mapBits + 7) / 8);
        if (entryBytes < 2 || entryBytes > 4) {
            fail("unsupported TGA colour map");
        }
        if (pos + static_cast<std::size_t>(mapLength) * entryBytes > size) {
            fail("the TGA colour map is truncated");
        }
        palette.assign(mapFirst + mapLength, 0xFF000000u);
        for (unsigned i = 0; i < mapLength; ++i) {
            palette[mapFirst + i] = tgaPixel(data + pos + static_cast<std::size_t>(i) * entryBytes, entryBytes, false,
                                             alphaInFile || entryBytes == 4);
        }
        pos += static_cast<std::size_t>(mapLength) * entryBytes;
    }
    auto readOne = [&](const std::uint8_t* p) -> std::uint32_t {
        if (mapped) {
            if (p[0] >= palette.size()) {
                fail("a TGA colour index is outside the colour map");
            }
            return palette[p[0]];
        }
        return tgaPixel(p, bytesPerPixel, gray, alphaInFile);
    };
    const std::size_t total = static_cast<std::size_t>(w) * h;
    if (!rle && pos + total * bytesPerPixel > size) {
        fail("the TGA pixel data is truncated");
    }
    // A run packet (a header and one pixel) covers at most 128 pixels: fewer bytes cannot hold the image.
    if (rle && (pos >= size || total > (size - pos) / static_cast<std::size_t>(1 + bytesPerPixel) * 128 + 128)) {
        fail("the TGA pixel data is truncated");
    }
    allocate(w, h);
    if (!rle) {
        for (std::size_t i = 0; i < total; ++i) {
            pixels[i] = readOne(data + pos + i * bytesPerPixel);
        }
    } else {
        std::size_t i = 0;
        while (i < total) {
            if (pos >= size) {
                fail("the TGA pixel data is truncated");
            }
            const unsigned header = data[pos++];
            const std::size_t count = std::min<std::size_t>((header & 0x7F) + 1, total - i);
            if (header & 0x80) {
                if (pos + bytesPerPixel > size) {
                    fail("the TGA pixel data is truncated");
                }
                const std::uint32_t value = readOne(data + pos);
                pos += bytesPerPixel;
                std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(i), count, value);
            } else {
                if (pos + count * bytesPerPixel > size) {
                    fail("the TGA pixel data is truncated");
                }
                for (std::size_t k = 0; k < count; ++k) {
                    pixels[i + k] = readOne(data + pos + k * bytesPerPixel);
                }
                pos += count * bytesPerPixel;
            }
            i += count;
        }
    }
    // Rows are stored bottom-up unless the descriptor says top-down; right-to-left when bit 4 is set.
    if (!(descriptor & 0x20)) {
        for (int y = 0; y < h / 2; ++y) {
            std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(y) * w,
                             pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * w,
                             pixels.begin() + static_cast<std::ptrdiff_t>(h - 1 - y) * w);
        }
    }
    if (descriptor & 0x10) {
        for (int y = 0; y < h; ++y) {
            std::reverse(pixels.begin() + static_cast<std::ptrdiff_t>(y) * w,
                         pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * w);
        }
    }
}

void MemoryImageFile::decodeBMP(const std::uint8_t* data, std::size_t size)
{
    if (size < 26) {
        fail("the BMP header is truncated");
    }
    const std::uint32_t dataOffset = le32(data + 10);
    const std::uint32_t headerSize = le32(data + 14);
    long long w = 0, h = 0;
    unsigned bits = 0, compression = 0;
    if (headerSize == 12) {
        w = le16(data + 18);
        h = le16(data + 20);
        bits = le16(data + 24);
    } else {
        if (size < 54 || headerSize < 40) {
            fail("the BMP header is truncated");
        }
        w = static_cast<std::int32_t>(le32(data + 18));
        h = static_cast<std::int32_t>(le32(data + 22));
        bits = le16(data + 28);
        compression = le32(data + 30);
    }
    if (h < 0) {
        h = -h;
    }
    if (w <= 0 || h <= 0) {
        fail("the BMP image has no pixels");
    }
    if (w > MAX_DIMENSION || h > MAX_DIMENSION || w * h > kMaxPixels) {
        fail("the image is too large");
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        fail("unsupported BMP pixel format");
    }
    if (compression == 0 || compression == 3) {
        const long long stride = ((w * bits + 31) / 32) * 4;
        if (dataOffset > size || static_cast<long long>(size - dataOffset) < stride * h) {
            fail("the BMP pixel data is truncated");
        }
    } else {
        fail("unsupported BMP compression");
    }
    int outW = 0, outH = 0;
    std::uint32_t* decoded = decodeBmpWithStb(data, size, &outW, &outH);
    if (decoded == nullptr) {
        fail("the BMP data is damaged");
    }
    allocate(outW, outH);
    std::memcpy(pixels.data(), decoded, pixels.size() * 4);
    std::free(decoded);
}

void MemoryImageFile::decodeJPG(const std::uint8_t* data, std::size_t size)
{
    int w = 0, h = 0;
    std::uint32_t* decoded = nullptr;
    char message[JMSG_LENGTH_MAX] = {};
    switch (decodeJpegRaw(data, size, &w, &h, &decoded, message)) {
    case JpegResult::Ok: break;
    case JpegResult::Truncated: fail("the JPG data is truncated");
    case JpegResult::TooLarge: fail("the image is too large");
    case JpegResult::Unsupported: fail("unsupported JPG colour space");
    case JpegResult::Error:
        KIV_FATAL(formatString(u"Could not read image '%s': JPG error '%s'.", fileName, message));
    }
    allocate(w, h);
    std::memcpy(pixels.data(), decoded, pixels.size() * 4);
    std::free(decoded);
}

void MemoryImageFile::unpurge()
{
    if (fileName.empty()) {
        return;
    }
    const std::vector<std::uint8_t> bytes = readImageFile(fileName);
    decode(bytes.data(), bytes.size(), fileName);
}

bool MemoryImageFile::hasAlpha() const
{
    return std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0xFF; });
}

void MemoryImageFile::purge() { std::vector<std::uint32_t>().swap(pixels); }

std::uint32_t MemoryImageFile::getPixel(int x, int y) const
{
    KIV_ASSERT(x >= 0 && y >= 0 && x < width && y < height && !pixels.empty());
    return pixels[static_cast<std::size_t>(y) * width + x];
}

void MemoryImageFile::setPixel(int x, int y, std::uint32_t value)
{
    KIV_ASSERT(x >= 0 && y >= 0 && x < width && y < height && !pixels.empty());
    pixels[static_cast<std::size_t>(y) * width + x] = value;
}

void MemoryImageFile::halve()
{
    if (pixels.empty() || (width <= 1 && height <= 1)) {
        return;
    }
    const int nw = std::max(1, width / 2);
    const int nh = std::max(1, height / 2);
    std::vector<std::uint32_t> out(static_cast<std::size_t>(nw) * nh);
    for (int y = 0; y < nh; ++y) {
        for (int x = 0; x < nw; ++x) {
            const int x0 = std::min(x * 2, width - 1), x1 = std::min(x * 2 + 1, width - 1);
            const int y0 = std::min(y * 2, height - 1), y1 = std::min(y * 2 + 1, height - 1);
            const std::uint32_t p[4] = {pixels[static_cast<std::size_t>(y0) * width + x0],
                                        pixels[static_cast<std::size_t>(y0) * width + x1],
                                        pixels[static_cast<std::size_t>(y1) * width + x0],
                                        pixels[static_cast<std::size_t>(y1) * width + x1]};
            std::uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                unsigned sum = 0;
                for (std::uint32_t v : p) {
                    sum += (v >> shift) & 0xFF;
                }
                result |= ((sum + 2) / 4) << shift;
            }
            out[static_cast<std::size_t>(y) * nw + x] = result;
        }
    }
    width = nw;
    height = nh;
    pixels.swap(out);
}

void MemoryImageFile::dither()
{
    const bool withAlpha = hasAlpha();
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    auto reduce = [](unsigned value, int bitsKept, int threshold) {
        const int levels = (1 << bitsKept) - 1;
        // Value scaled to the kept levels, rounded with the ordered threshold.
        const int scaled = (static_cast<int>(value) * levels * 16 + threshold * 255) / (255 * 16);
        const int q = std::clamp(scaled, 0, levels);
        return static_cast<unsigned>((q * 255 + levels / 2) / levels);
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t& p = pixels[static_cast<std::size_t>(y) * width + x];
            const int t = bayer[y & 3][x & 3];
            if (withAlpha) {
                p = argb(reduce(p >> 24, 4, t), reduce((p >> 16) & 0xFF, 4, t), reduce((p >> 8) & 0xFF, 4, t),
                         reduce(p & 0xFF, 4, t));
            } else {
                p = argb(0xFF, reduce((p >> 16) & 0xFF, 5, t), reduce((p >> 8) & 0xFF, 6, t), reduce(p & 0xFF, 5, t));
            }
        }
    }
}

bool MemoryImageFile::writeTGA(const std::string& path, const std::uint32_t* argbPixels, int w, int h)
{
    if (w <= 0 || h <= 0 || w > 0xFFFF || h > 0xFFFF) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::uint8_t header[18] = {};
    header[2] = 2;
    header[12] = static_cast<std::uint8_t>(w);
    header[13] = static_cast<std::uint8_t>(w >> 8);
    header[14] = static_cast<std::uint8_t>(h);
    header[15] = static_cast<std::uint8_t>(h >> 8);
    header[16] = 24;
    header[17] = 0x20; // rows top-down
    bool ok = std::fwrite(header, 1, sizeof(header), file) == sizeof(header);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * 3);
    for (int y = 0; ok && y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = argbPixels[static_cast<std::size_t>(y) * w + x];
            row[x * 3] = static_cast<std::uint8_t>(p);
            row[x * 3 + 1] = static_cast<std::uint8_t>(p >> 8);
            row[x * 3 + 2] = static_cast<std::uint8_t>(p >> 16);
        }
        ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    return std::fclose(file) == 0 && ok;
}

bool MemoryImageFile::writeJPG(const std::string& path, const std::uint32_t* argbPixels, int w, int h, int quality)
{
    if (w <= 0 || h <= 0) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    const bool ok = writeJpegRaw(file, argbPixels, w, h, quality, row.data());
    return std::fclose(file) == 0 && ok;
}
