#pragma once
// A bitmap font: glyph pages (textures whose skins are the glyphs) mapped to UTF-16 code points through
// the code-page table of the current language ("%s.codepointLUT": 256 little-endian u16 code points), GUI
// symbol pages taken by raw code, accented characters composed from a base and an accent glyph, alignment
// by flags, and drawing either glyph by glyph or through the font's string cache.
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/UColor.h"
#include "engine/core/UString.h"
#include "engine/core/V3.h"

class FontCache;
class FontGDI;
class Quad;
class Renderable;
class Texture;
struct Matrix4;

class FontQuad : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    static constexpr int CODEPAGE_ENTRIES = 256;
    static constexpr int CONTINUE = 0xFFFF; // first glyph index: after the previous texture

    // The glyph record of one UTF-16 unit.
    struct Symbol {
        Quad* pBaseQuad = nullptr;
        Quad* pAccentQuad = nullptr;
        int extraSpacing = 0;
        int accentX = 0;
        int accentY = 0; // pixels the accent is moved down from the glyph's top
    };

    FontQuad();
    ~FontQuad() override;

    // The language's code page ("1252") and composite option, as the language sets them for every font.
    static void setLanguage(const UString& codePage, bool compositeChars);
    static const UString& getLanguageCodePage();
    // A code-page table held by the font layer (256 little-endian u16 values); the resource layer's
    // "%s.codepointLUT" blocks are found through the resource manager as well.
    static void registerCodePageTable(const UString& codePage, const std::uint8_t* bytes, std::size_t size);
    // The system font used by text flag 0x200 (without one: the engine's).
    static void setSystemFont(FontGDI* font);

    // Adds the skins of a glyph page. raw: the skin index plus the first glyph is the code point;
    // otherwise it is an index into the code-page table. False when the texture is missing.
    bool addSourceTexture(Texture* texture, int firstGlyph, bool raw);
    // Adds the registered textures "%s%d" for n = 1, 2, ... and then "%sExtra%d".
    void addSourceTextures(const UString& baseName);
    void setupCompositeChars();
    void emptyHook() {}
    void enableFontCache();
    void createFontCache();

    const Symbol* getSymbol(char16_t unit) const;
    int getLineHeight() const { return fontHeightRaw; }
    int getScaledLineHeight() const;
    float getScaleX() const;
    float getScaleY() const;
    // Width in pixels (the sum of the glyph advances); colour markup takes no room.
    int measureLine(const UString& text) const;
    // How many characters of the text fit into the width.
    int measureLine(const UString& text, float widthLimit) const;
    void getTextExtent(const UString& text, int& width, int& height) const;

    // One line with the renderable's transform and colour.
    void drawText(Renderable& renderable, std::uint32_t flags, const UString& text);
    void drawTextEllipsis(Renderable& renderable, std::uint32_t flags, float widthLimit, const UString& text);
    // While the graphics detail flag is on, first the text displaced by the offset in the shadow colour.
    void drawTextOffset(Renderable& renderable, std::uint32_t flags, const V3& offset, UColor shadow, const UString& text);
    // Immediate draws in the current context's view.
    void print(const V3& position, UColor color, std::uint32_t flags, const UString& text);
    void printOffset(const V3& position, UColor color, const V3& offset, UColor shadow, const UString& text);

    // Draws with a transform, colour and flags; local anchor (x, y, z). The core of the draw calls.
    void drawLine(const Matrix4& world, std::uint32_t color, std::uint32_t flags, const UString& text, float x = 0.0f,
                  float y = 0.0f, float z = 0.0f, bool allowCache = true);

    UString name = u"<unknown>";
    int spaceAdvance = 4;
    int glyphSpacing = 1;
    int fontHeightRaw = 0;
    int capHeight = 0;
    int accentOffsetCapital = 0;
    int accentOffsetSmall = 0;
    bool bAllowCachedDrawing = true;
    bool bCacheFlag = false;
    bool bUseDisplayScale = false;
    float scale[3] = {1.0f, 1.0f, 1.0f};
    int nextSymbolToLoad = 0;
    FontCache* getCache() const { return cache.get(); }

private:
    std::vector<char16_t> codePageTable(const UString& codePage) const;
    bool rasterize(const UString& text, int& width, int& height, std::vector<std::uint32_t>& pixels) const;
    int advanceOf(char16_t unit) const;
    // The characters that fit into the width limit, and their width.
    int measureUpTo(const UString& text, float widthLimit, int& width) const;

    std::unordered_map<char16_t, Symbol> symbols;
    std::unique_ptr<FontCache> cache;
};
