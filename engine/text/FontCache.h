#pragma once
// A cache of rendered strings. Each string is rasterised once into a shared image (white with alpha
// coverage) and afterwards drawn as one textured rectangle tinted with the draw colour, so a text costs one
// quad and every cached text of a font shares one texture. When the image is full, or holds MAX_ENTRIES
// strings, the cache starts over.
// The cache keeps its own copy of the image and shows it through a small ring of textures (at most
// TEXTURES). New text is written into the texture in use only while no rendering the GPU may still be doing
// reads it (it became the one in use this scene, or the GPU is done with it); otherwise the next texture of
// the ring that the GPU is done with takes over, brought up to date by uploading only the rows changed since
// it was last in use. So adding text never waits for the GPU, and text that changes every frame costs an
// upload of a few rows, never a new texture.
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
    // The most textures a cache makes: the one in use, the one or two the GPU may still be drawing from
    // (the device keeps two frames in flight) and one for a start over within a frame.
    static constexpr int TEXTURES = 4;
    // The most strings a cache holds before it starts over.
    static constexpr std::size_t MAX_ENTRIES = 4096;

    // rowHeight: the height of a cache row in pixels; flag: handed over by the font (kept for its owner).
    FontCache(UString name, int rowHeight, bool flag, Rasterizer rasterizer);
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The entry of the text, rendering it when it is not cached; null when it cannot be cached (too large,
    // empty, or no graphics service). The entry stays valid until the cache starts over.
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
    // How many textures the cache holds now (at most TEXTURES).
    int getTextureCount() const { return static_cast<int>(pages.size()); }

private:
    // One texture of the ring and what it holds of the image.
    struct Page {
        TextureHandle texture = 0;
        // The start over of the image whose rows it holds (0: none yet).
        std::uint64_t generation = 0;
        // Rows [0, stable) hold the image's and no later text changes them (they lie above the open shelf).
        int stable = 0;
        // Rows [0, synced) held the image's when the page was last brought up to date.
        int synced = 0;
        // The scene in which it became the texture in use.
        std::uint64_t scene = 0;
        // The device's frame count when it was last drawn (bDrawn: it was drawn at all).
        std::uint64_t drawnFrame = 0;
        bool bDrawn = false;
    };

    bool place(int w, int h, int& x, int& y);
    // Puts the text just written into the image at (x, y) (its pixels, w x h) on the device.
    void upload(KivGraphics& graphics, int x, int y, int w, int h, const std::uint32_t* pixels);
    // Whether the GPU has done every draw that read the page.
    bool isIdle(const GLDevice& device, const Page& page) const;
    // The page to take over from the one in use: one the GPU is done with, else a new one while fewer than
    // TEXTURES exist, else the one drawn longest ago (sending the draws queued with it first).
    Page& pickNextPage(KivGraphics& graphics);
    // Uploads to the page the image's rows in use that changed since it was last brought up to date (all of
    // them after a start over), and makes it the one in use from `scene` on.
    void bringUpToDate(GLDevice& device, Page& page, std::uint64_t scene);
    // The image's rows in use: down to the clear row under the open shelf.
    int rowsInUse() const;

    UString name;
    int rowHeight;
    bool bFlag;
    Rasterizer rasterizer;
    // The image's pixels (TEXTURE_SIZE x TEXTURE_SIZE, made with the first text).
    std::vector<std::uint32_t> image;
    // Counts the start overs of the image (the first image is 1).
    std::uint64_t generation = 1;
    std::vector<Page> pages;
    int current = -1; // the page in use (-1: none yet)
    std::unordered_map<UString, std::unique_ptr<FontCacheEntry>> entries;
    int cursorX = 0, cursorY = 0, shelfHeight = 0;
    std::uint64_t useCounter = 0;
    int renderCount = 0;
};
