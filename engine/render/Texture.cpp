#include "engine/render/Texture.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/files/MemoryIniFile.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/ImageFileSource.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"

const RuntimeClass Texture::classRecord(u"Texture", &KivBase::classRecord, &RuntimeClass::factoryOf<Texture>);

UString Texture::sheetPathFor(const UString& imagePath)
{
    const std::size_t dot = imagePath.find_last_of(u'.');
    const std::size_t slash = imagePath.find_last_of(u"/\\");
    if (dot == UString::npos || (slash != UString::npos && dot < slash)) {
        return imagePath + u".ini";
    }
    return imagePath.substr(0, dot) + u".ini";
}

Texture::Texture(std::uint32_t flags_, const UString& name) : flags(flags_), fileName(name)
{
    MemoryImageFile loaded(0, name);
    width = loaded.getWidth();
    height = loaded.getHeight();
    std::vector<std::uint8_t> sheet;
    if (readOptionalFile(sheetPathFor(name), sheet)) {
        loadSkinSheet(sheet.data(), sheet.size());
    } else {
        addSkin(0, 0, static_cast<float>(width), static_cast<float>(height), 0, 0);
    }
    // With the engine's delayed loading the file is only verified; the device texture comes with unpurge.
    if (Kiv::instance() != nullptr && Kiv::instance()->bEnableDelayedLoad) {
        bDelayed = true;
        return;
    }
    createFromImage(loaded);
}

Texture::~Texture()
{
    for (Quad* skin : skins) {
        delete skin;
    }
    if (handle != 0) {
        if (KivGraphics* graphics = KivGraphics::instance()) {
            graphics->getDevice().destroyTexture(handle);
        }
    }
}

Texture* Texture::TextureFromImage(const MemoryImageFile& source, std::uint32_t flags)
{
    auto* texture = new Texture();
    texture->flags = flags;
    texture->fileName = source.getFileName();
    texture->width = source.getWidth();
    texture->height = source.getHeight();
    texture->addSkin(0, 0, static_cast<float>(texture->width), static_cast<float>(texture->height), 0, 0);
    MemoryImageFile copy = source;
    texture->createFromImage(copy);
    return texture;
}

void Texture::createFromImage(MemoryImageFile& source)
{
    if (!source.isLoaded()) {
        KIV_FATAL(formatString(u"Texture '%s' has no pixels.", fileName));
    }
    bImageAlpha = source.hasAlpha();
    if (flags & KEEP_IMAGE) {
        image = std::make_unique<MemoryImageFile>(source);
    }
    KivGraphics* graphics = KivGraphics::instance();
    if (graphics == nullptr) {
        return;
    }
    int limit = graphics->getDevice().maxTextureSize();
    if (graphics->bSimulate256x256TextureHW) {
        limit = (flags & ALLOW_512) ? 512 : 256;
    }
    MemoryImageFile* pixels = &source;
    MemoryImageFile halved;
    if (source.getWidth() > limit || source.getHeight() > limit) {
        if (!(flags & MAY_HALVE) && !graphics->bSimulate256x256TextureHW) {
            KIV_FATAL(formatString(u"Texture '%s' (%dx%d) is larger than the device allows (%d).", fileName,
                                   source.getWidth(), source.getHeight(), limit));
        }
        halved = source;
        while (halved.getWidth() > limit || halved.getHeight() > limit) {
            halved.halve();
        }
        pixels = &halved;
    }
    if (handle != 0) {
        graphics->getDevice().destroyTexture(handle);
    }
    handle = graphics->getDevice().createTexture(pixels->getWidth(), pixels->getHeight(), pixels->getPixels());
}

void Texture::addSkin(float left, float top, float w, float h, float originX, float originY)
{
    auto* quad = new Quad();
    quad->pTexture = this;
    const float tw = static_cast<float>(width > 0 ? width : 1), th = static_cast<float>(height > 0 ? height : 1);
    quad->texLeft = left / tw;
    quad->texTop = top / th;
    quad->texRight = (left + w) / tw;
    quad->texBottom = (top + h) / th;
    quad->rebuild();
    quad->origin = V3(originX, originY, 0.0f);
    skins.push_back(quad);
}

void Texture::loadSkinSheet(const void* bytes, std::size_t size)
{
    MemoryIniFile sheet = MemoryIniFile::fromText(bytes, size);
    for (int i = 0;; ++i) {
        const UString section = formatString(u"Skin %d", i);
        if (!sheet.keyExists(section, u"left") && !sheet.keyExists(section, u"width")) {
            break;
        }
        const int left = sheet.getInt(section, u"left", 0);
        const int top = sheet.getInt(section, u"top", 0);
        const int w = sheet.getInt(section, u"width", 0);
        const int h = sheet.getInt(section, u"height", 0);
        const int ox = sheet.getInt(section, u"origin_adjust_x", 0);
        const int oy = sheet.getInt(section, u"origin_adjust_y", 0);
        if (left < 0 || top < 0 || w <= 0 || h <= 0 || static_cast<long long>(left) + w > width ||
            static_cast<long long>(top) + h > height) {
            KIV_FATAL(formatString(u"Skin %d (%d, %d, %dx%d) of '%s' lies outside the %dx%d image.", i, left, top, w, h,
                                   fileName, width, height));
        }
        // The sheet counts y downwards; the scene counts it upwards.
        addSkin(static_cast<float>(left), static_cast<float>(top), static_cast<float>(w), static_cast<float>(h),
                static_cast<float>(ox), static_cast<float>(-oy));
    }
    if (skins.empty()) {
        addSkin(0, 0, static_cast<float>(width), static_cast<float>(height), 0, 0);
    }
}

void Texture::purge()
{
    if (handle != 0) {
        if (KivGraphics* graphics = KivGraphics::instance()) {
            graphics->getDevice().destroyTexture(handle);
        }
        handle = 0;
    }
}

void Texture::unpurge()
{
    if (handle != 0 || fileName.empty()) {
        return;
    }
    if (image) {
        MemoryImageFile copy = *image;
        createFromImage(copy);
        return;
    }
    MemoryImageFile loaded(0, fileName);
    createFromImage(loaded);
}
