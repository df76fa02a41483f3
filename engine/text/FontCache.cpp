#include "engine/text/FontCache.h"

#include <algorithm>

#include "engine/render/KivGraphics.h"

namespace {
// Clear pixels are white with no coverage, so bilinear sampling at a string's edge stays white.
constexpr std::uint32_t BLANK = 0x00FFFFFFu;
} // namespace

FontCache::FontCache(UString name_, int rowHeight_, bool flag, Rasterizer rasterizer_)
    : name(std::move(name_)), rowHeight(std::max(1, rowHeight_)), bFlag(flag), rasterizer(std::move(rasterizer_))
{
}

FontCache::~FontCache()
{
    if (texture != 0) {
        if (KivGraphics* graphics = KivGraphics::instance()) {
            graphics->getDevice().destroyTexture(texture);
        }
    }
}

void FontCache::clear()
{
    entries.clear();
    cursorX = cursorY = shelfHeight = 0;
    // Draws already queued still read the old texture: new text goes into a fresh one, blank around it.
    std::fill(image.begin(), image.end(), BLANK);
    bTextureFresh = false;
}

bool FontCache::place(int w, int h, int& x, int& y)
{
    if (w > TEXTURE_SIZE || h > TEXTURE_SIZE) {
        return false;
    }
    if (cursorX + w > TEXTURE_SIZE) {
        cursorX = 0;
        cursorY += shelfHeight + 1;
        shelfHeight = 0;
    }
    if (cursorY + h > TEXTURE_SIZE) {
        return false;
    }
    x = cursorX;
    y = cursorY;
    cursorX += w + 1; // one clear pixel between strings keeps bilinear sampling clean
    shelfHeight = std::max(shelfHeight, h);
    return true;
}

const FontCacheEntry* FontCache::get(const UString& text)
{
    KivGraphics* graphics = KivGraphics::instance();
    if (text.empty() || graphics == nullptr) {
        return nullptr;
    }
    if (auto it = entries.find(text); it != entries.end()) {
        it->second->lastUse = ++useCounter;
        return it->second.get();
    }
    int w = 0, h = 0;
    std::vector<std::uint32_t> pixels;
    if (!rasterizer || !rasterizer(text, w, h, pixels) || w <= 0 || h <= 0 ||
        pixels.size() != static_cast<std::size_t>(w) * h) {
        return nullptr;
    }
    int x = 0, y = 0;
    if (!place(w, h, x, y)) {
        // Full: start over (the texture is simply overwritten from the top).
        clear();
        if (!place(w, h, x, y)) {
            return nullptr;
        }
    }
    upload(*graphics, x, y, w, h, pixels.data());
    auto entry = std::make_unique<FontCacheEntry>();
    entry->text = text;
    entry->x = x;
    entry->y = y;
    entry->width = w;
    entry->height = h;
    entry->lastUse = ++useCounter;
    ++renderCount;
    const FontCacheEntry* result = entry.get();
    entries.emplace(text, std::move(entry));
    return result;
}

void FontCache::upload(KivGraphics& graphics, int x, int y, int w, int h, const std::uint32_t* pixels)
{
    if (image.empty()) {
        image.assign(static_cast<std::size_t>(TEXTURE_SIZE) * TEXTURE_SIZE, BLANK);
    }
    for (int row = 0; row < h; ++row) {
        std::copy_n(pixels + static_cast<std::size_t>(row) * w, w,
                    image.begin() + static_cast<std::ptrdiff_t>(y + row) * TEXTURE_SIZE + x);
    }
    GLDevice& device = graphics.getDevice();
    if (texture != 0 && bTextureFresh && textureScene == graphics.getSceneCount()) {
        // Only this scene's draws read this texture, and none of them the pixels written now.
        device.updateTextureRect(texture, x, y, w, h, pixels);
        return;
    }
    // Writing into a texture that earlier rendering still reads would wait for that rendering. The fresh
    // one gets the rows in use, down to the clear row under the last shelf; no draw samples below it.
    const TextureHandle fresh = device.createTexture(TEXTURE_SIZE, TEXTURE_SIZE, nullptr);
    const int rowsInUse = std::min(TEXTURE_SIZE, cursorY + shelfHeight + 1);
    device.updateTextureRect(fresh, 0, 0, TEXTURE_SIZE, rowsInUse, image.data());
    device.destroyTexture(texture); // sends the draws queued with it first
    texture = fresh;
    textureScene = graphics.getSceneCount();
    bTextureFresh = true;
}

void FontCache::draw(const FontCacheEntry& entry, const float* world16, std::uint32_t color, float x, float y, float z,
                     float scaleX, float scaleY)
{
    KivGraphics* graphics = KivGraphics::instance();
    if (graphics == nullptr || texture == 0) {
        return;
    }
    const float size = static_cast<float>(TEXTURE_SIZE);
    const float u0 = entry.x / size, v0 = entry.y / size;
    const float u1 = (entry.x + entry.width) / size, v1 = (entry.y + entry.height) / size;
    const float x1 = x + entry.width * scaleX, y1 = y - entry.height * scaleY;
    const Vertex quad[4] = {{x, y, z, color, u0, v0}, {x1, y, z, color, u1, v0}, {x, y1, z, color, u0, v1},
                            {x1, y1, z, color, u1, v1}};
    graphics->draw(quad, 4, Primitive::TriangleStrip, world16, texture, BlendMode::Alpha);
}
