#pragma once
// An image in memory: width, height and 32-bit pixels 0xAARRGGBB, rows top-down. Decodes TGA, BMP and
// JPG; a damaged, truncated or absurdly large file stops the program with a clear message. Also writes
// the screenshots (TGA and JPG) and offers the halving and 16-bit dithering that textures need.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/UString.h"

class MemoryImageFile {
public:
    // The largest edge accepted from a file.
    static constexpr int MAX_DIMENSION = 16384;

    enum Flags : std::uint32_t {
        VERIFY_ONLY = 0x1, // with the engine's verify switch on, only check that the file can be read
    };

    MemoryImageFile() = default;
    // Loads the image file (".tga", ".bmp" or ".jpg") through the file layer.
    MemoryImageFile(std::uint32_t flags, const UString& fileName);
    virtual ~MemoryImageFile() = default;

    // An image of that size, every pixel 0.
    static MemoryImageFile MemoryImageFileBlank(int width, int height);

    // Decodes an image file held in memory; the type is taken from the data, the name is for messages.
    void decode(const std::uint8_t* data, std::size_t size, const UString& name);
    // Reloads the pixels from the file the image came from.
    void unpurge();
    // Drops the pixels (width and height stay known).
    void purge();

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // True when a pixel is not fully opaque.
    bool hasAlpha() const;
    const UString& getFileName() const { return fileName; }
    std::uint32_t* getPixels() { return pixels.data(); }
    const std::uint32_t* getPixels() const { return pixels.data(); }
    bool isLoaded() const { return !pixels.empty(); }
    std::uint32_t getPixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t argb);

    // Halves both sizes (never below 1) with a 2 x 2 box filter.
    void halve();
    // Reduces the colours to what a 16-bit display shows (5-6-5, or 4-4-4-4 with alpha), with ordered
    // dithering, keeping 32-bit storage.
    void dither();

    // Screenshot writers; rows top-down, alpha ignored. False when the file could not be written.
    static bool writeTGA(const std::string& path, const std::uint32_t* argb, int width, int height);
    static bool writeJPG(const std::string& path, const std::uint32_t* argb, int width, int height, int quality);

protected:
    void decodeTGA(const std::uint8_t* data, std::size_t size);
    void decodeBMP(const std::uint8_t* data, std::size_t size);
    void decodeJPG(const std::uint8_t* data, std::size_t size);
    void allocate(int w, int h);
    [[noreturn]] void fail(const char* what) const;

    int width = 0;
    int height = 0;
    std::uint32_t flags = 0;
    UString fileName;
    std::vector<std::uint32_t> pixels;
};
