#pragma once
// The system font: a TrueType face rasterised with FreeType (DejaVu Sans stands in for "Arial"), drawn
// through its own string cache. Used by the text flag 0x200 and by the console.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/UString.h"
#include "engine/text/FontCache.h"

class FontGDI {
public:
    // The face by name at a pixel height. A face that cannot be loaded is fatal.
    FontGDI(const UString& faceName, int pixelHeight);
    ~FontGDI();
    FontGDI(const FontGDI&) = delete;
    FontGDI& operator=(const FontGDI&) = delete;

    // The file that stands in for a face name.
    static std::string fontFileFor(const UString& faceName);

    int getLineHeight() const { return lineHeight; }
    int getAscent() const { return ascent; }
    int getPixelHeight() const { return pixelHeight; }
    const UString& getFaceName() const { return faceName; }
    // Width of the text in pixels (the sum of the glyph advances).
    int measureLine(const UString& text) const;
    // Renders the text white on clear (alpha = coverage) into a buffer of measureLine x line height.
    bool rasterize(const UString& text, int& width, int& height, std::vector<std::uint32_t>& pixels) const;

    // Draws the text in local space through the world matrix at the anchor (x, y, z) with the alignment flags.
    void drawText(const float* world16, std::uint32_t color, std::uint32_t flags, const UString& text, float x = 0.0f,
                  float y = 0.0f, float z = 0.0f, float scaleX = 1.0f, float scaleY = 1.0f);

    FontCache& getCache() { return *cache; }

private:
    struct Face;
    std::unique_ptr<Face> face;
    UString faceName;
    int pixelHeight;
    int lineHeight = 0;
    int ascent = 0;
    std::unique_ptr<FontCache> cache;
};
