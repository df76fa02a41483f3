#pragma once
// A cache of rendered strings. Each string is rasterised once into a shared texture (white with alpha
// coverage) and afterwards drawn as one textured rectangle tinted with the draw colour, so a text costs one
// quad and every cached text of a font shares one texture. When the texture is full the cache starts over.
// The cache keeps its own copy of the texture's pixels: new text is written into the texture in place only
// while the texture is new this scene; otherwise a fresh texture is made from the copy, so that adding text
// never waits for the GPU to finish rendering that still reads the old texture.
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/core/UString.h"
#include "engine/platform/video/GLDevice.h"
#include "engine/text/FontCacheEntry.h"

class KivGraphics;

class FontCache {
public:
    // Renders `text` into `pixels` (0xAARRGGBB, rows top-down) of width x height; false when it cannot.
    using Rasterizer = std::function<bool(const UString& text, int& width, int& height, std::vector<std::uint32_t>& pixels)>;

    static constexpr int TEXTURE_SIZE = 1024;

    // rowHeight: the height of a cache row in pixels; flag: handed over by the font (kept for its owner).
    FontCache(UString name, int rowHeight, bool flag, Rasterizer rasterizer);
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The entry of the text, rendering it when it is not cached; null when it cannot be cached (too large,
    // empty, or no graphics service).
    const FontCacheEntry* get(const UString& text);
    // Draws an entry with its top-left corner at (x, y) of the local space (y up), scaled.
    void draw(const FontCacheEntry& entry, const float* world16, std::uint32_t color, float x, float y, float z,
              float scaleX, float scaleY);
    void clear();

    const UString& getName() const { return name; }
    int getRowHeight() const { return rowHeight; }
    bool getFlag() const { return bFlag; }
    std::size_t size() const { return entries.size(); }
    // How many strings were rasterised since the cache was made.
    int getRenderCount() const { return renderCount; }

private:
    bool place(int w, int h, int& x, int& y);
    // Puts the rectangle of the image at (x, y, w, h) on the device, in place or by a fresh texture.
    void upload(KivGraphics& graphics, int x, int y, int w, int h, const std::uint32_t* pixels);

    UString name;
    int rowHeight;
    bool bFlag;
    Rasterizer rasterizer;
    TextureHandle texture = 0;
    // The texture's pixels (TEXTURE_SIZE x TEXTURE_SIZE, made with the first text).
    std::vector<std::uint32_t> image;
    // The scene the texture was made in.
    std::uint64_t textureScene = 0;
    // False when queued draws may read pixels the next text overwrites (after a start over).
    bool bTextureFresh = false;
    std::unordered_map<UString, std::unique_ptr<FontCacheEntry>> entries;
    int cursorX = 0, cursorY = 0, shelfHeight = 0;
    std::uint64_t useCounter = 0;
    int renderCount = 0;
};
