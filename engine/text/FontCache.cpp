#include "engine/text/FontCache.h"

#include <algorithm>

#include "engine/render/KivGraphics.h"

namespace {
// Clear pixels are white with no coverage, so bilinear sampling at a string's edge stays white.
constexpr std::uint32_t BLANK = 0x00FFFFFFu;
} // namespace

static_assert(FontCache::TEXTURES >= 2, "a texture in use and one to take over from it");

FontCache::FontCache(UString name_, int rowHeight_, bool flag, Rasterizer rasterizer_)
    : name(std::move(name_)), rowHeight(std::max(1, rowHeight_)), bFlag(flag), rasterizer(std::move(rasterizer_))
{
    pages.reserve(TEXTURES);
}

FontCache::~FontCache()
{
    if (KivGraphics* graphics = KivGraphics::instance()) {
        for (const Page& page : pages) {
            graphics->getDevice().destroyTexture(page.texture);
        }
    }
}

void FontCache::clear()
{
    entries.clear();
    cursorX = cursorY = shelfHeight = 0;
    // Draws already queued still read the old pixels: the texture in use is written again only once they
    // are done, else another one takes over.
    std::fill(image.begin(), image.end(), BLANK);
    ++generation;
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
    if (entries.size() >= MAX_ENTRIES || !place(w, h, x, y)) {
        // Full: start over (the image is simply overwritten from the top).
        clear();
        if (!place(w, h, x, y)) {
            return nullptr;
        }
    }
    if (image.empty()) {
        image.assign(static_cast<std::size_t>(TEXTURE_SIZE) * TEXTURE_SIZE, BLANK);
    }
    for (int row = 0; row < h; ++row) {
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(row) * w, w,
                    image.begin() + static_cast<std::ptrdiff_t>(y + row) * TEXTURE_SIZE + x);
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

int FontCache::rowsInUse() const { return std::min(TEXTURE_SIZE, cursorY + shelfHeight + 1); }

bool FontCache::isIdle(const GLDevice& device, const Page& page) const
{
    return !page.bDrawn || device.framesPresented() >= page.drawnFrame + 2;
}

void FontCache::bringUpToDate(GLDevice& device, Page& page, std::uint64_t scene)
{
    const int from = page.generation == generation ? page.stable : 0;
    const int to = rowsInUse();
    if (to > from) {
        device.updateTextureRect(page.texture, 0, from, TEXTURE_SIZE, to - from,
                                 image.data() + static_cast<std::size_t>(from) * TEXTURE_SIZE);
    }
    page.generation = generation;
    page.stable = cursorY;
    page.synced = to;
    page.scene = scene;
}

FontCache::Page& FontCache::pickNextPage(KivGraphics& graphics)
{
    GLDevice& device = graphics.getDevice();
    auto drawnEarlier = [](const Page& a, const Page& b) {
        return !a.bDrawn || (b.bDrawn && a.drawnFrame < b.drawnFrame);
    };
    int pick = -1;
    for (int i = 0; i < static_cast<int>(pages.size()); ++i) {
        if (i != current && isIdle(device, pages[i]) && (pick < 0 || drawnEarlier(pages[i], pages[pick]))) {
            pick = i;
        }
    }
    if (pick < 0 && static_cast<int>(pages.size()) < TEXTURES) {
        Page page;
        page.texture = device.createTexture(TEXTURE_SIZE, TEXTURE_SIZE, nullptr);
        pages.push_back(page);
        pick = static_cast<int>(pages.size()) - 1;
    }
    if (pick < 0) {
        // More start overs in a frame than the ring covers: the oldest is written in place. The GPU may
        // have to finish with it first; draws of this frame still queued with it go first, so they show
        // what they were queued with.
        for (int i = 0; i < static_cast<int>(pages.size()); ++i) {
            if (i != current && (pick < 0 || drawnEarlier(pages[i], pages[pick]))) {
                pick = i;
            }
        }
        if (pages[pick].bDrawn && pages[pick].drawnFrame == device.framesPresented()) {
            device.flush();
        }
    }
    current = pick;
    return pages[pick];
}

void FontCache::upload(KivGraphics& graphics, int x, int y, int w, int h, const std::uint32_t* pixels)
{
    GLDevice& device = graphics.getDevice();
    const std::uint64_t scene = graphics.getSceneCount();
    if (current >= 0) {
        Page& page = pages[current];
        const bool sameImage = page.generation == generation;
        // Draws of this scene that read the page read none of the pixels written now, unless the cache
        // started over since it was brought up to date.
        if (isIdle(device, page) || (sameImage && page.scene == scene)) {
            if (sameImage && y + h < page.synced) {
                // The rows around the text (its clear pixels included) are on the page already.
                device.updateTextureRect(page.texture, x, y, w, h, pixels);
                page.scene = scene; // (when idle, no earlier scene reads it any more)
            } else {
                bringUpToDate(device, page, scene);
            }
            return;
        }
    }
    // Writing into a texture that earlier rendering still reads would wait for that rendering: another one
    // takes over, with the rows changed since it was last in use.
    bringUpToDate(device, pickNextPage(graphics), scene);
}

void FontCache::draw(const FontCacheEntry& entry, const float* world16, std::uint32_t color, float x, float y, float z,
                     float scaleX, float scaleY)
{
    KivGraphics* graphics = KivGraphics::instance();
    if (graphics == nullptr || current < 0) {
        return;
    }
    Page& page = pages[current];
    page.bDrawn = true;
    page.drawnFrame = graphics->getDevice().framesPresented();
    const float size = static_cast<float>(TEXTURE_SIZE);
    const float u0 = entry.x / size, v0 = entry.y / size;
    const float u1 = (entry.x + entry.width) / size, v1 = (entry.y + entry.height) / size;
    const float x1 = x + entry.width * scaleX, y1 = y - entry.height * scaleY;
    const Vertex quad[4] = {{x, y, z, color, u0, v0}, {x1, y, z, color, u1, v0}, {x, y1, z, color, u0, v1},
                            {x1, y1, z, color, u1, v1}};
    graphics->draw(quad, 4, Primitive::TriangleStrip, world16, page.texture, BlendMode::Alpha);
}
