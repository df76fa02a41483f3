#include "engine/text/FontQuad.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "engine/render/Renderable.h"
#include "engine/core/Matrix4.h"
#include "engine/render/Texture.h"
#include "engine/text/FontCache.h"
#include "engine/text/FontGDI.h"
#include "engine/text/FontResources.h"
#include "engine/text/TextAlign.h"

const RuntimeClass FontQuad::classRecord(u"FontQuad", &KivBase::classRecord, &RuntimeClass::factoryOf<FontQuad>);

namespace {
UString gCodePage = u"1252";
bool gCompositeChars = false;
FontGDI* gSystemFont = nullptr;
std::map<UString, std::vector<char16_t>>& tables()
{
    static std::map<UString, std::vector<char16_t>> registered;
    return registered;
}

constexpr char16_t kMarkup = 0x1E;

// Length of a colour code at text[i] (U+001E and the braced code), else 0.
std::size_t markupLength(const UString& text, std::size_t i)
{
    if (text[i] != kMarkup) {
        return 0;
    }
    const std::size_t close = text.find(u'}', i);
    return close == UString::npos ? text.size() - i : close - i + 1;
}

// Calls fn(index, unit) for every unit that is drawn, skipping colour codes; stops when fn returns false.
template <class Fn>
void forEachDrawnUnit(const UString& text, Fn fn)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (const std::size_t skip = markupLength(text, i)) {
            i += skip - 1;
            continue;
        }
        if (!fn(i, text[i])) {
            return;
        }
    }
}

// Accented characters: the character, its base letter and its accent. Accents below the letter
// (cedilla, ogonek) are marked and keep their own place.
struct Composite {
    char16_t character;
    char16_t base;
    char16_t accent;
    bool below;
};

constexpr char16_t GRAVE = 0x60, ACUTE = 0xB4, CIRCUMFLEX = 0x5E, TILDE = 0x2DC, DIAERESIS = 0xA8, RING = 0xB0,
                   CEDILLA = 0xB8, CARON = 0x2C7, BREVE = 0x2D8, OGONEK = 0x2DB, DOUBLE_ACUTE = 0x2DD, DOT = 0x2D9;

constexpr Composite kLatin1[] = {
    {0xC0, 'A', GRAVE, false},      {0xC1, 'A', ACUTE, false},      {0xC2, 'A', CIRCUMFLEX, false},
    {0xC3, 'A', TILDE, false},      {0xC4, 'A', DIAERESIS, false},  {0xC5, 'A', RING, false},
    {0xC7, 'C', CEDILLA, true},     {0xC8, 'E', GRAVE, false},      {0xC9, 'E', ACUTE, false},
    {0xCA, 'E', CIRCUMFLEX, false}, {0xCB, 'E', DIAERESIS, false},  {0xCC, 'I', GRAVE, false},
    {0xCD, 'I', ACUTE, false},      {0xCE, 'I', CIRCUMFLEX, false}, {0xCF, 'I', DIAERESIS, false},
    {0xD1, 'N', TILDE, false},      {0xD2, 'O', GRAVE, false},      {0xD3, 'O', ACUTE, false},
    {0xD4, 'O', CIRCUMFLEX, false}, {0xD5, 'O', TILDE, false},      {0xD6, 'O', DIAERESIS, false},
    {0xD9, 'U', GRAVE, false},      {0xDA, 'U', ACUTE, false},      {0xDB, 'U', CIRCUMFLEX, false},
    {0xDC, 'U', DIAERESIS, false},  {0xDD, 'Y', ACUTE, false},      {0xE0, 'a', GRAVE, false},
    {0xE1, 'a', ACUTE, false},      {0xE2, 'a', CIRCUMFLEX, false}, {0xE3, 'a', TILDE, false},
    {0xE4, 'a', DIAERESIS, false},  {0xE5, 'a', RING, false},       {0xE7, 'c', CEDILLA, true},
    {0xE8, 'e', GRAVE, false},      {0xE9, 'e', ACUTE, false},      {0xEA, 'e', CIRCUMFLEX, false},
    {0xEB, 'e', DIAERESIS, false},  {0xEC, 0x131, GRAVE, false},    {0xED, 0x131, ACUTE, false},
    {0xEE, 0x131, CIRCUMFLEX, false}, {0xEF, 0x131, DIAERESIS, false}, {0xF1, 'n', TILDE, false},
    {0xF2, 'o', GRAVE, false},      {0xF3, 'o', ACUTE, false},      {0xF4, 'o', CIRCUMFLEX, false},
    {0xF5, 'o', TILDE, false},      {0xF6, 'o', DIAERESIS, false},  {0xF9, 'u', GRAVE, false},
    {0xFA, 'u', ACUTE, false},      {0xFB, 'u', CIRCUMFLEX, false}, {0xFC, 'u', DIAERESIS, false},
    {0xFD, 'y', ACUTE, false},      {0xFF, 'y', DIAERESIS, false},  {0x160, 'S', CARON, false},
    {0x161, 's', CARON, false},     {0x17D, 'Z', CARON, false},     {0x17E, 'z', CARON, false},
    {0x178, 'Y', DIAERESIS, false},
};

constexpr Composite kCentralEurope[] = {
    {0x102, 'A', BREVE, false},  {0x103, 'a', BREVE, false},  {0x104, 'A', OGONEK, true},  {0x105, 'a', OGONEK, true},
    {0x106, 'C', ACUTE, false},  {0x107, 'c', ACUTE, false},  {0x10C, 'C', CARON, false},  {0x10D, 'c', CARON, false},
    {0x10E, 'D', CARON, false},  {0x10F, 'd', CARON, false},  {0x118, 'E', OGONEK, true},  {0x119, 'e', OGONEK, true},
    {0x11A, 'E', CARON, false},  {0x11B, 'e', CARON, false},  {0x139, 'L', ACUTE, false},  {0x13A, 'l', ACUTE, false},
    {0x13D, 'L', CARON, false},  {0x13E, 'l', CARON, false},  {0x143, 'N', ACUTE, false},  {0x144, 'n', ACUTE, false},
    {0x147, 'N', CARON, false},  {0x148, 'n', CARON, false},  {0x150, 'O', DOUBLE_ACUTE, false},
    {0x151, 'o', DOUBLE_ACUTE, false}, {0x154, 'R', ACUTE, false}, {0x155, 'r', ACUTE, false},
    {0x158, 'R', CARON, false},  {0x159, 'r', CARON, false},  {0x15A, 'S', ACUTE, false},  {0x15B, 's', ACUTE, false},
    {0x15E, 'S', CEDILLA, true}, {0x15F, 's', CEDILLA, true}, {0x164, 'T', CARON, false},  {0x165, 't', CARON, false},
    {0x162, 'T', CEDILLA, true}, {0x163, 't', CEDILLA, true}, {0x16E, 'U', RING, false},   {0x16F, 'u', RING, false},
    {0x170, 'U', DOUBLE_ACUTE, false}, {0x171, 'u', DOUBLE_ACUTE, false}, {0x179, 'Z', ACUTE, false},
    {0x17A, 'z', ACUTE, false},  {0x17B, 'Z', DOT, false},    {0x17C, 'z', DOT, false},
};

void addGlyphQuad(std::vector<Vertex>& out, float x0, float y0, float w, float h, const Quad& q, std::uint32_t color,
                  float z)
{
    const float x1 = x0 + w, y1 = y0 - h;
    const Vertex tl{x0, y0, z, color, q.texLeft, q.texTop}, tr{x1, y0, z, color, q.texRight, q.texTop};
    const Vertex bl{x0, y1, z, color, q.texLeft, q.texBottom}, br{x1, y1, z, color, q.texRight, q.texBottom};
    out.insert(out.end(), {tl, tr, bl, tr, br, bl});
}
} // namespace

FontQuad::FontQuad() = default;
FontQuad::~FontQuad() = default;

void FontQuad::setLanguage(const UString& codePage, bool compositeChars)
{
    gCodePage = codePage;
    gCompositeChars = compositeChars;
}

const UString& FontQuad::getLanguageCodePage() { return gCodePage; }

void FontQuad::setSystemFont(FontGDI* font) { gSystemFont = font; }

void FontQuad::registerCodePageTable(const UString& codePage, const std::uint8_t* bytes, std::size_t size)
{
    if (size < CODEPAGE_ENTRIES * 2) {
        KIV_FATAL(formatString(u"The code-page table '%s' is truncated (%d bytes).", codePage, static_cast<int>(size)));
    }
    std::vector<char16_t> table(CODEPAGE_ENTRIES);
    for (int i = 0; i < CODEPAGE_ENTRIES; ++i) {
        table[i] = static_cast<char16_t>(bytes[i * 2] | (bytes[i * 2 + 1] << 8));
    }
    tables()[codePage] = std::move(table);
}

std::vector<char16_t> FontQuad::codePageTable(const UString& codePage) const
{
    if (auto it = tables().find(codePage); it != tables().end()) {
        return it->second;
    }
    std::vector<std::uint8_t> bytes;
    if (FontResources::findCodePageTable(formatString(u"%s.codepointLUT", codePage), bytes)) {
        registerCodePageTable(codePage, bytes.data(), bytes.size());
        return tables()[codePage];
    }
    KIV_FATAL(formatString(u"No LUT for codepage '%s'.", codePage));
}

bool FontQuad::addSourceTexture(Texture* texture, int firstGlyph, bool raw)
{
    if (texture == nullptr) {
        return false;
    }
    if (firstGlyph != CONTINUE) {
        nextSymbolToLoad = firstGlyph;
    }
    std::vector<char16_t> table;
    if (!raw) {
        table = codePageTable(gCodePage);
        const std::size_t codepage2unicodeEntries = table.size();
        const Texture* _pTexture = texture;
        KIV_ASSERT(nextSymbolToLoad + _pTexture->skins.size() <= codepage2unicodeEntries);
        if (fontHeightRaw == 0) {
            for (const Quad* q : texture->skins) {
                fontHeightRaw = std::max(fontHeightRaw, static_cast<int>(q->height));
            }
        }
    }
    for (Quad* quad : texture->skins) {
        const char16_t code = raw ? static_cast<char16_t>(nextSymbolToLoad) : table[static_cast<std::size_t>(nextSymbolToLoad)];
        ++nextSymbolToLoad;
        Symbol& symbol = symbols[code];
        Symbol* sym = &symbol;
        sym->pBaseQuad = quad;
        sym->pAccentQuad = nullptr;
        sym->extraSpacing = glyphSpacing;
        if (!raw) {
            KIV_ASSERT(sym->pBaseQuad->height <= fontHeightRaw);
        }
    }
    return true;
}

void FontQuad::addSourceTextures(const UString& baseName)
{
    for (int n = 1;; ++n) {
        Texture* page = FontResources::findTexture(formatString(u"%s%d", baseName, n));
        if (page == nullptr) {
            break;
        }
        addSourceTexture(page, n == 1 ? 33 : CONTINUE, false);
    }
    for (int n = 1;; ++n) {
        Texture* page = FontResources::findTexture(formatString(u"%sExtra%d", baseName, n));
        if (page == nullptr) {
            break;
        }
        addSourceTexture(page, CONTINUE, false);
    }
}

void FontQuad::setupCompositeChars()
{
    if (!gCompositeChars || (gCodePage != u"1250" && gCodePage != u"1252")) {
        return;
    }
    auto build = [this](const Composite& c) {
        if (symbols.count(c.character) != 0) {
            return; // the font draws it itself
        }
        const Symbol* base = getSymbol(c.base);
        if (base == nullptr && c.base == 0x131) {
            base = getSymbol('i');
        }
        const Symbol* accent = getSymbol(c.accent);
        if (base == nullptr || accent == nullptr || base->pBaseQuad == nullptr || accent->pBaseQuad == nullptr) {
            return;
        }
        Symbol composed = *base;
        composed.pAccentQuad = accent->pBaseQuad;
        composed.accentX = (static_cast<int>(base->pBaseQuad->width) - static_cast<int>(accent->pBaseQuad->width)) / 2;
        const bool small = (c.base >= 'a' && c.base <= 'z') || c.base == 0x131;
        composed.accentY = c.below ? 0 : (small ? accentOffsetSmall : accentOffsetCapital);
        symbols[c.character] = composed;
    };
    for (const Composite& c : kLatin1) {
        build(c);
    }
    if (gCodePage == u"1250") {
        for (const Composite& c : kCentralEurope) {
            build(c);
        }
    }
}

void FontQuad::enableFontCache()
{
    const KivGraphics* graphics = KivGraphics::instance();
    if (graphics != nullptr && graphics->fontScaleMode == 0) {
        bUseDisplayScale = true;
    }
}

void FontQuad::createFontCache()
{
    for (char16_t c : {u'A', u'a', u'0'}) {
        if (const Symbol* s = getSymbol(c); s != nullptr && s->pBaseQuad != nullptr) {
            capHeight = static_cast<int>(s->pBaseQuad->height);
            break;
        }
    }
    const KivGraphics* graphics = KivGraphics::instance();
    const int renderMode = graphics != nullptr ? graphics->heightRenderMode : 1;
    cache = std::make_unique<FontCache>(formatString(u"%s%dpx", name, fontHeightRaw), renderMode * fontHeightRaw + 1,
                                        bCacheFlag,
                                        [this](const UString& text, int& w, int& h, std::vector<std::uint32_t>& px) {
                                            return rasterize(text, w, h, px);
                                        });
}

const FontQuad::Symbol* FontQuad::getSymbol(char16_t unit) const
{
    const auto it = symbols.find(unit);
    return it == symbols.end() ? nullptr : &it->second;
}

float FontQuad::getScaleX() const
{
    const KivGraphics* graphics = KivGraphics::instance();
    return bUseDisplayScale && graphics != nullptr ? graphics->pixelFactor[0] : scale[0];
}

float FontQuad::getScaleY() const
{
    const KivGraphics* graphics = KivGraphics::instance();
    return bUseDisplayScale && graphics != nullptr ? graphics->pixelFactor[1] : scale[1];
}

int FontQuad::getScaledLineHeight() const { return static_cast<int>(static_cast<float>(fontHeightRaw) * getScaleY()); }

int FontQuad::advanceOf(char16_t unit) const
{
    const Symbol* s = getSymbol(unit);
    if (s == nullptr || s->pBaseQuad == nullptr) {
        return spaceAdvance;
    }
    return static_cast<int>(s->pBaseQuad->width) + s->extraSpacing;
}

int FontQuad::measureLine(const UString& text) const
{
    int width = 0;
    measureUpTo(text, std::numeric_limits<float>::infinity(), width);
    return width;
}

int FontQuad::measureLine(const UString& text, float widthLimit) const
{
    int width = 0;
    return measureUpTo(text, widthLimit, width);
}

int FontQuad::measureUpTo(const UString& text, float widthLimit, int& width) const
{
    width = 0;
    int fits = static_cast<int>(text.size());
    forEachDrawnUnit(text, [&](std::size_t i, char16_t unit) {
        const int next = width + advanceOf(unit);
        if (static_cast<float>(next) > widthLimit) {
            fits = static_cast<int>(i);
            return false;
        }
        width = next;
        return true;
    });
    return fits;
    return static_cast<int>(text.size());
}

void FontQuad::getTextExtent(const UString& text, int& width, int& height) const
{
    width = measureLine(text);
    height = fontHeightRaw;
}

bool FontQuad::rasterize(const UString& text, int& width, int& height, std::vector<std::uint32_t>& pixels) const
{
    width = measureLine(text);
    height = fontHeightRaw;
    if (width <= 0 || height <= 0) {
        return false;
    }
    pixels.assign(static_cast<std::size_t>(width) * height, 0x00FFFFFFu);
    auto blit = [&](const Quad* q, int penX, int top) {
        const Texture* texture = q->pTexture;
        const MemoryImageFile* image = texture != nullptr ? texture->getImage() : nullptr;
        if (image == nullptr || !image->isLoaded()) {
            return false;
        }
        const int sx = static_cast<int>(q->texLeft * image->getWidth() + 0.5f);
        const int sy = static_cast<int>(q->texTop * image->getHeight() + 0.5f);
        const int w = static_cast<int>(q->width), h = static_cast<int>(q->height);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int dx = penX + x, dy = top + y;
                if (dx < 0 || dy < 0 || dx >= width || dy >= height || sx + x >= image->getWidth() ||
                    sy + y >= image->getHeight()) {
                    continue;
                }
                const std::uint32_t src = image->getPixel(sx + x, sy + y);
                std::uint32_t& dst = pixels[static_cast<std::size_t>(dy) * width + dx];
                if ((src >> 24) >= (dst >> 24)) {
                    dst = src;
                }
            }
        }
        return true;
    };
    int penX = 0;
    bool complete = true;
    forEachDrawnUnit(text, [&](std::size_t, char16_t unit) {
        const Symbol* s = getSymbol(unit);
        if (s != nullptr && s->pBaseQuad != nullptr) {
            complete = blit(s->pBaseQuad, penX, 0) &&
                       (s->pAccentQuad == nullptr || blit(s->pAccentQuad, penX + s->accentX, s->accentY));
        }
        penX += advanceOf(unit);
        return complete;
    });
    return complete;
}

void FontQuad::drawLine(const Matrix4& world, std::uint32_t color, std::uint32_t flags, const UString& text, float x,
                        float y, float z, bool allowCache)
{
    KivGraphics* graphics = KivGraphics::instance();
    if (graphics == nullptr || text.empty()) {
        return;
    }
    const float sx = getScaleX(), sy = getScaleY();
    FontGDI* systemFont = gSystemFont;
    if (systemFont == nullptr && Kiv::instance() != nullptr) {
        systemFont = Kiv::instance()->systemFont;
    }
    if ((flags & TextAlign::SYSTEM_FONT) && systemFont != nullptr) {
        systemFont->drawText(world.data(), color, flags, text, x, y, z, sx, sy);
        return;
    }
    // A cached string knows its width already.
    if (allowCache && bAllowCachedDrawing && graphics->bEnableFontCache && cache != nullptr && text.size() >= 4) {
        if (const FontCacheEntry* entry = cache->get(text)) {
            const TextAlign::Offset offset =
                TextAlign::compute(flags, entry->width, fontHeightRaw, capHeight, fontHeightRaw - capHeight, sx, sy);
            cache->draw(*entry, world.data(), color, x + offset.x, y + offset.y, z, sx, sy);
            return;
        }
    }
    const int width = measureLine(text);
    const TextAlign::Offset offset =
        TextAlign::compute(flags, width, fontHeightRaw, capHeight, fontHeightRaw - capHeight, sx, sy);
    const float left = x + offset.x, top = y + offset.y;
    // Glyph by glyph, one vertex run per glyph page.
    struct Run {
        Texture* texture;
        std::vector<Vertex> vertices;
    };
    std::vector<Run> runs;
    auto runFor = [&](Texture* texture) -> std::vector<Vertex>& {
        for (Run& r : runs) {
            if (r.texture == texture) {
                return r.vertices;
            }
        }
        runs.push_back({texture, {}});
        return runs.back().vertices;
    };
    float penX = left;
    forEachDrawnUnit(text, [&](std::size_t, char16_t unit) {
        const Symbol* s = getSymbol(unit);
        if (s != nullptr && s->pBaseQuad != nullptr) {
            const Quad& q = *s->pBaseQuad;
            addGlyphQuad(runFor(q.pTexture), penX, top, q.width * sx, q.height * sy, q, color, z);
            if (s->pAccentQuad != nullptr) {
                const Quad& a = *s->pAccentQuad;
                addGlyphQuad(runFor(a.pTexture), penX + s->accentX * sx, top - s->accentY * sy, a.width * sx,
                             a.height * sy, a, color, z);
            }
        }
        penX += static_cast<float>(advanceOf(unit)) * sx;
        return true;
    });
    for (const Run& run : runs) {
        const TextureHandle handle = run.texture != nullptr ? run.texture->getHandle() : 0;
        graphics->draw(run.vertices.data(), static_cast<int>(run.vertices.size()), Primitive::TriangleList, world.data(),
                       handle, BlendMode::Alpha);
    }
}

void FontQuad::drawText(Renderable& renderable, std::uint32_t flags, const UString& text)
{
    drawLine(renderable.world, renderable.color.argb, flags, text);
}

void FontQuad::drawTextEllipsis(Renderable& renderable, std::uint32_t flags, float widthLimit, const UString& text)
{
    if (static_cast<float>(measureLine(text)) <= widthLimit) {
        drawText(renderable, flags, text);
        return;
    }
    const float room = widthLimit - static_cast<float>(measureLine(u"..."));
    const int fit = room > 0.0f ? measureLine(text, room) : 0;
    drawText(renderable, flags, text.substr(0, static_cast<std::size_t>(fit)) + u"...");
}

void FontQuad::drawTextOffset(Renderable& renderable, std::uint32_t flags, const V3& offset, UColor shadow,
                              const UString& text)
{
    const KivGraphics* graphics = KivGraphics::instance();
    if (graphics != nullptr && graphics->bDetail) {
        drawLine(renderable.world, shadow.argb, flags, text, offset.x, offset.y, offset.z);
    }
    drawText(renderable, flags, text);
}

void FontQuad::print(const V3& position, UColor color, std::uint32_t flags, const UString& text)
{
    Renderable temporary;
    temporary.color = color;
    temporary.setPosition(position);
    drawText(temporary, flags, text);
}

void FontQuad::printOffset(const V3& position, UColor color, const V3& offset, UColor shadow, const UString& text)
{
    Renderable temporary;
    temporary.color = color;
    temporary.setPosition(position);
    drawTextOffset(temporary, 0x24, offset, shadow, text);
}
